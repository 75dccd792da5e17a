// Process end, time, the command line and the environment of child programs.
#include "platform/process.h"
#include "platform/posix/posix_calls.h"

#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/process_env.h"
#include "platform/terminal.h"

namespace platform {

namespace {
std::mutex g_envMutex;
std::map<std::string, std::string>& ChildEnv() {
  static std::map<std::string, std::string> env;
  return env;
}
}  // namespace

std::string CommandLineFromArgs(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i] ? argv[i] : "";
  }
  return line;
}

DWORD posix::GetCurrentProcessId() { return DWORD(::getpid()); }

void SetChildEnvironment(const std::string& name, const std::string& value) {
  std::lock_guard<std::mutex> lock(g_envMutex);
  ChildEnv()[name] = value;
}

std::vector<std::string> detail::ChildEnvironment(char** base) {
  std::map<std::string, std::string> overrides;
  {
    std::lock_guard<std::mutex> lock(g_envMutex);
    overrides = ChildEnv();
  }
  std::vector<std::string> env;
  for (char** e = base; e && *e; ++e) {
    std::string entry = *e;
    std::string name = entry.substr(0, entry.find('='));
    if (overrides.count(name) == 0 && name != "ORVIK_PARENT_PID") env.push_back(entry);
  }
  for (const auto& [name, value] : overrides) env.push_back(name + "=" + value);
  return env;
}

void posix::Sleep(DWORD milliseconds) {
  struct timespec ts;
  ts.tv_sec = milliseconds / 1000;
  ts.tv_nsec = long(milliseconds % 1000) * 1000000L;
  while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

DWORD posix::GetTickCount() {
  struct timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return DWORD(std::uint64_t(ts.tv_sec) * 1000u + std::uint64_t(ts.tv_nsec) / 1000000u);
}

void ExitProcess(int code) {
  // Transcript lines are written unbuffered, one write() each; only stdio
  // holds buffered text.
  std::fflush(nullptr);
  ReleaseTerminal();
  ::_exit(code);
}

}  // namespace platform
