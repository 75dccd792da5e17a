// WinExec: starts a program from a command line without waiting for it.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/dos_path.h"
#include "platform/host.h"
#include "platform/posix/posix_calls.h"
#include "platform/process.h"
#include "platform/process_env.h"
#include "platform/terminal.h"
#include "platform/transcript.h"

extern char** environ;

namespace platform {

namespace {

constexpr UINT kStarted = 33;
constexpr UINT kBadFormat = 11;  // ERROR_BAD_FORMAT

std::mutex g_childMutex;
std::vector<pid_t> g_children;

// Children are not waited for; finished ones are reaped at the next start so
// that a long-running program does not collect zombies.
void ReapFinished() {
  std::lock_guard<std::mutex> lock(g_childMutex);
  for (size_t i = 0; i < g_children.size();) {
    int status;
    if (::waitpid(g_children[i], &status, WNOHANG) != 0) {
      g_children.erase(g_children.begin() + long(i));
    } else {
      ++i;
    }
  }
}

UINT ResultFromExecErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case ENOEXEC: return kBadFormat;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_FILE_NOT_FOUND;
  }
}

// Forks and execs `argv` in `hostDir`; returns 33 when the exec succeeded,
// else the error for why it did not. A close-on-exec pipe carries the exec's
// errno back, so a program that cannot run is reported as not started.
UINT Spawn(const std::vector<std::string>& args, const std::string& hostDir, bool searchPath) {
  std::vector<std::string> envStrings = detail::ChildEnvironment(environ);
  // The child starts in another folder: it gets the prefix in use, absolute.
  std::erase_if(envStrings, [](const std::string& e) { return e.rfind("ORVIK_PREFIX=", 0) == 0; });
  envStrings.push_back("ORVIK_PREFIX=" + PrefixDir());
  // The child may outlive us before it looks at its parent; this tells it
  // who started it (ov_clean waits for exactly that process to end).
  envStrings.push_back("ORVIK_PARENT_PID=" + std::to_string(::getpid()));
  std::vector<char*> argv, envp;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const auto& e : envStrings) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  int pipefd[2];
  if (::pipe2(pipefd, O_CLOEXEC) != 0) return ERROR_NOT_ENOUGH_MEMORY;
  ReleaseTerminal();  // the child may take the terminal over
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid < 0) {
    ::close(pipefd[0]);
    ::close(pipefd[1]);
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  if (pid == 0) {
    ::close(pipefd[0]);
    if (!hostDir.empty()) (void)::chdir(hostDir.c_str());
    if (searchPath) {
      ::execvpe(argv[0], argv.data(), envp.data());
    } else {
      ::execve(argv[0], argv.data(), envp.data());
    }
    int err = errno;
    ssize_t n = ::write(pipefd[1], &err, sizeof err);
    (void)n;
    ::_exit(127);
  }
  ::close(pipefd[1]);
  int err = 0;
  ssize_t n;
  do {
    n = ::read(pipefd[0], &err, sizeof err);
  } while (n < 0 && errno == EINTR);
  ::close(pipefd[0]);
  if (n == ssize_t(sizeof err)) {
    int status;
    ::waitpid(pid, &status, 0);
    return ResultFromExecErrno(err);
  }
  std::lock_guard<std::mutex> lock(g_childMutex);
  g_children.push_back(pid);
  return kStarted;
}

bool IsViewerName(const std::string& program) {
  static const char kName[] = "write.exe";
  return detail::EqualNoCase(program, kName);
}

std::string Unquote(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '"') out += c;
  return out;
}

bool OnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// The built-in pager in a child process of its own, so that the program
// that asked for it can end as it would after starting a viewer.
UINT SpawnPager(const std::string& hostFile) {
  ReleaseTerminal();
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid < 0) return ERROR_NOT_ENOUGH_MEMORY;
  if (pid == 0) ::_exit(PageTextFile(hostFile.c_str()));
  std::lock_guard<std::mutex> lock(g_childMutex);
  g_children.push_back(pid);
  return kStarted;
}

// The text viewer that stands for write.exe: $ORVIK_VIEWER; on the terminal
// of the full-screen frontend, less or else the built-in pager; else
// xdg-open when a display is there. Without one there is nothing to show,
// and the caller is not told: the viewer is a convenience.
UINT StartViewer(const std::string& argument, const std::string& hostDir) {
  std::string file = Unquote(argument);
  const char* viewer = std::getenv("ORVIK_VIEWER");
  if (viewer && *viewer) {
    std::vector<std::string> args{viewer};
    if (!file.empty()) args.push_back(file);
    return Spawn(args, hostDir, true);
  }
  std::string host = file.empty() ? "" : HostPath(file);
  if (ScreenFrontendChosen() && ScreenTerminal()) {
    if (host.empty()) return kStarted;
    if (OnPath("less")) return Spawn({"less", host}, hostDir, true);
    return SpawnPager(host);
  }
  const char* display = std::getenv("DISPLAY");
  if (display && *display && !host.empty()) Spawn({"xdg-open", host}, hostDir, true);
  return kStarted;
}

}  // namespace

UINT posix::WinExec(const char* commandLine, UINT show) {
  (void)show;  // windows of host programs are always shown
  std::string line = commandLine ? commandLine : "";
  ReapFinished();

  // The program is the first word, or a quoted first word up to its closing
  // quote; the rest after one blank is the child's one argument.
  std::string program, rest;
  size_t restStart;
  if (!line.empty() && line[0] == '"') {
    size_t close = line.find('"', 1);
    if (close == std::string::npos) close = line.size();
    program = line.substr(1, close - 1);
    restStart = close + 1;
  } else {
    size_t blank = line.find(' ');
    if (blank == std::string::npos) blank = line.size();
    program = line.substr(0, blank);
    restStart = blank;
  }
  if (restStart < line.size() && line[restStart] == ' ') ++restStart;
  if (restStart < line.size()) rest = line.substr(restStart);

  std::string hostDir = detail::CurrentHostDir();
  UINT result;
  if (IsViewerName(program)) {
    result = StartViewer(rest, hostDir);
  } else {
    std::string host = program.empty() ? "" : HostPath(program);
    struct stat st;
    if (host.empty() || ::stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      result = ERROR_FILE_NOT_FOUND;
    } else {
      std::vector<std::string> args{host};
      if (!rest.empty()) args.push_back(rest);
      result = Spawn(args, hostDir, false);
    }
  }
  TranscriptLine("exec " + TranscriptQuote(line) + " " + std::to_string(result));
  return result;
}

}  // namespace platform
