#include "platform/terminal.h"

#ifndef _WIN32
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace platform {
namespace {

std::atomic<TerminalReleaseHook> releaseHook{nullptr};

#ifndef _WIN32

std::vector<std::string> ReadLines(const char* path, bool* ok) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  *ok = static_cast<bool>(in);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string shown;
    for (char c : line) {
      if (c == '\t') {
        shown.append(8 - shown.size() % 8, ' ');
      } else if (static_cast<unsigned char>(c) >= 0x20 || c < 0) {
        shown += c;
      }
    }
    lines.push_back(shown);
  }
  return lines;
}

void Write(const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(1, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

#endif

}  // namespace

bool ScreenTerminal() {
#ifdef _WIN32
  return false;  // the Windows build has no full-screen frontend
#else
  const char* term = std::getenv("TERM");
  if (!term || !*term || std::strcmp(term, "dumb") == 0) return false;
  return ::isatty(0) == 1 && ::isatty(1) == 1;
#endif
}

bool ScreenFrontendChosen() {
  const char* kind = std::getenv("ORVIK_UI");
  if (kind && *kind) return std::strcmp(kind, "screen") == 0;
  return ScreenTerminal();
}

void SetTerminalReleaseHook(TerminalReleaseHook hook) { releaseHook.store(hook); }

void ReleaseTerminal() {
  if (TerminalReleaseHook hook = releaseHook.load()) hook();
}

#ifndef _WIN32
// Windows shows read-me files with the host's own viewer.
int PageTextFile(const char* hostPath) {
  bool ok = false;
  std::vector<std::string> lines = ReadLines(hostPath, &ok);
  if (!ok) return 1;
  termios saved{};
  bool raw = ::tcgetattr(0, &saved) == 0;
  if (raw) {
    termios t = saved;
    t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::tcsetattr(0, TCSANOW, &t);
  }
  size_t top = 0;
  for (;;) {
    winsize ws{};
    int rows = 24, cols = 80;
    if (::ioctl(1, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 1 && ws.ws_col > 0) {
      rows = ws.ws_row;
      cols = ws.ws_col;
    }
    size_t page = static_cast<size_t>(rows - 1);
    std::string out = "\x1b[H\x1b[2J";
    for (size_t i = top; i < lines.size() && i < top + page; ++i) {
      out += lines[i].substr(0, static_cast<size_t>(cols)) + "\r\n";
    }
    bool last = top + page >= lines.size();
    out += "\x1b[" + std::to_string(rows) + ";1H\x1b[7m";
    out += last ? " (end)  b: back  q: quit " : " Space: next page  b: back  q: quit ";
    out += "\x1b[0m";
    Write(out);
    char key[8];
    ssize_t n = ::read(0, key, sizeof key);
    if (n <= 0) break;
    std::string k(key, static_cast<size_t>(n));
    if (k == "q" || k == "Q" || k == "\x1b") break;
    if (k == " " || k == "\x1b[6~" || k == "f") {
      if (!last) top += page;
    } else if (k == "\r" || k == "\n" || k == "\x1b[B" || k == "j") {
      if (!last) ++top;
    } else if (k == "b" || k == "\x1b[5~") {
      top = top > page ? top - page : 0;
    } else if (k == "\x1b[A" || k == "k") {
      if (top > 0) --top;
    }
  }
  Write("\x1b[H\x1b[2J");
  if (raw) ::tcsetattr(0, TCSANOW, &saved);
  return 0;
}
#endif

}  // namespace platform
