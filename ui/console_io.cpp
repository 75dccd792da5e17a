#include "ui/console_io.h"

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <mutex>

namespace ui::detail {
namespace {

std::mutex inputMutex;
std::string inputBuffer;
bool inputEnded = false;

std::mutex outputMutex;
std::atomic<const void*> lastPrinter{nullptr};

long long Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool TakeBufferedLine(std::string* line) {
  size_t end = inputBuffer.find('\n');
  if (end == std::string::npos) {
    if (!inputEnded || inputBuffer.empty()) return false;
    end = inputBuffer.size();
  }
  *line = inputBuffer.substr(0, end);
  inputBuffer.erase(0, end < inputBuffer.size() ? end + 1 : end);
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

}  // namespace

InputResult ReadConsoleLine(int timeoutMs, std::string* line) {
  std::lock_guard<std::mutex> lock(inputMutex);
  long long deadline = Now() + (timeoutMs > 0 ? timeoutMs : 0);
  for (;;) {
    if (TakeBufferedLine(line)) return InputResult::Line;
    if (inputEnded) return InputResult::End;
    long long left = deadline - Now();
    if (left < 0) return InputResult::Timeout;
    pollfd fd{0, POLLIN, 0};
    int ready = poll(&fd, 1, static_cast<int>(left));
    if (ready < 0) {
      if (errno == EINTR) continue;
      inputEnded = true;
      continue;
    }
    if (ready == 0) return InputResult::Timeout;
    if (fd.revents & POLLNVAL) {
      inputEnded = true;
      continue;
    }
    // A terminal hands over one line per read. From a pipe or a file only
    // up to the next line end is taken, so input meant for a program this
    // one starts (the installer after the bootstrap) is left to it.
    char chunk[4096];
    static const bool terminal = isatty(0) == 1;
    ssize_t n = read(0, chunk, terminal ? sizeof chunk : 1);
    if (n > 0) {
      inputBuffer.append(chunk, static_cast<size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      inputEnded = true;
    }
  }
}

bool ConsoleIsTerminal() { return isatty(0) == 1; }

void ConsoleWrite(const std::string& text) {
  std::lock_guard<std::mutex> lock(outputMutex);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

const void* LastPrinter() { return lastPrinter.load(); }
void SetLastPrinter(const void* window) { lastPrinter.store(window); }

}  // namespace ui::detail
