#include "ui/console_io.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

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

enum class Ready { Yes, Timeout, Ended };

#ifdef _WIN32
HANDLE Input() { return ::GetStdHandle(STD_INPUT_HANDLE); }

bool InputIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(Input(), &mode) != 0;
}

// A pipe says how much it holds; a console signals its handle; a file is
// always ready.
Ready WaitForInput(long long ms) {
  HANDLE in = Input();
  if (in == nullptr || in == INVALID_HANDLE_VALUE) return Ready::Ended;
  if (::GetFileType(in) == FILE_TYPE_PIPE) {
    long long deadline = Now() + ms;
    for (;;) {
      DWORD available = 0;
      if (!::PeekNamedPipe(in, nullptr, 0, nullptr, &available, nullptr)) {
        // A pipe that cannot be looked into (Wine's stand-in for a POSIX
        // pipe) is read without a time limit.
        return ::GetLastError() == ERROR_BROKEN_PIPE ? Ready::Ended : Ready::Yes;
      }
      if (available > 0) return Ready::Yes;
      if (Now() >= deadline) return Ready::Timeout;
      ::Sleep(10);
    }
  }
  if (InputIsTerminal()) {
    return ::WaitForSingleObject(in, static_cast<DWORD>(ms)) == WAIT_OBJECT_0 ? Ready::Yes : Ready::Timeout;
  }
  return Ready::Yes;
}

// Bytes read: 0 at the end of the input, below 0 when to try again.
long ReadInput(char* buffer, size_t size) {
  DWORD read = 0;
  if (!::ReadFile(Input(), buffer, static_cast<DWORD>(size), &read, nullptr)) return 0;
  return static_cast<long>(read);
}
#else
bool InputIsTerminal() { return isatty(0) == 1; }

Ready WaitForInput(long long ms) {
  for (;;) {
    pollfd fd{0, POLLIN, 0};
    int ready = poll(&fd, 1, static_cast<int>(ms));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || (ready > 0 && (fd.revents & POLLNVAL))) return Ready::Ended;
    return ready == 0 ? Ready::Timeout : Ready::Yes;
  }
}

// Bytes read: 0 at the end of the input, below 0 when to try again.
long ReadInput(char* buffer, size_t size) {
  ssize_t n = read(0, buffer, size);
  if (n < 0 && errno != EINTR && errno != EAGAIN) return 0;
  return static_cast<long>(n);
}
#endif

}  // namespace

InputResult ReadConsoleLine(int timeoutMs, std::string* line) {
  std::lock_guard<std::mutex> lock(inputMutex);
  long long deadline = Now() + (timeoutMs > 0 ? timeoutMs : 0);
  for (;;) {
    if (TakeBufferedLine(line)) return InputResult::Line;
    if (inputEnded) return InputResult::End;
    long long left = deadline - Now();
    if (left < 0) return InputResult::Timeout;
    Ready ready = WaitForInput(left);
    if (ready == Ready::Ended) {
      inputEnded = true;
      continue;
    }
    if (ready == Ready::Timeout) return InputResult::Timeout;
    // A terminal hands over one line per read. From a pipe or a file only
    // up to the next line end is taken, so input meant for a program this
    // one starts (the installer after the bootstrap) is left to it.
    char chunk[4096];
    static const bool terminal = InputIsTerminal();
    long n = ReadInput(chunk, terminal ? sizeof chunk : 1);
    if (n > 0) {
      inputBuffer.append(chunk, static_cast<size_t>(n));
    } else if (n == 0) {
      inputEnded = true;
    }
  }
}

bool ConsoleIsTerminal() { return InputIsTerminal(); }

void ConsoleWrite(const std::string& text) {
  std::lock_guard<std::mutex> lock(outputMutex);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

const void* LastPrinter() { return lastPrinter.load(); }
void SetLastPrinter(const void* window) { lastPrinter.store(window); }

}  // namespace ui::detail
