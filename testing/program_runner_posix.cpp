#include "testing/program_runner.h"

#include "testing/host_files.h"

#include <fcntl.h>
#include <ftw.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace orvik_testing {

namespace {

void DrainInto(int fd, std::string& out) {
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      out.append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return;
  }
}

// In a forked child: enters `cwd`, applies `env` and runs `program`.
[[noreturn]] void Exec(const std::string& program, const std::vector<std::string>& args,
                       const std::map<std::string, std::string>& env, const std::string& cwd) {
  if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(125);
  for (const auto& [name, value] : env) {
    if (value.empty())
      ::unsetenv(name.c_str());
    else
      ::setenv(name.c_str(), value.c_str(), 1);
  }
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  ::_exit(127);
}

}  // namespace

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the program has gone; its result tells why
    done += static_cast<std::size_t>(n);
  }
}

RunResult RunChild(const std::string& program, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& env, const std::string& cwd,
                   const std::function<bool(int input)>& feed, int timeoutSeconds,
                   const std::function<std::string()>& timeoutNote) {
  // Descendants left by the program (a bootstrap starts the installer and
  // ends) are re-parented to this process, so they can be waited for.
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  ::signal(SIGPIPE, SIG_IGN);
  int inPipe[2], outPipe[2], errPipe[2];
  if (::pipe(inPipe) || ::pipe(outPipe) || ::pipe(errPipe)) throw std::runtime_error("pipe");
  pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    ::dup2(inPipe[0], 0);
    ::dup2(outPipe[1], 1);
    ::dup2(errPipe[1], 2);
    for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) ::close(fd);
    ::setpgid(0, 0);
    Exec(program, args, env, cwd);
  }
  ::close(inPipe[0]);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  ::fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
  ::fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
  int input = inPipe[1];

  RunResult result;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  bool timedOut = false;
  for (;;) {
    DrainInto(outPipe[0], result.out);
    DrainInto(errPipe[0], result.err);
    if (input >= 0 && feed(input)) {
      ::close(input);
      input = -1;
    }
    int status = 0;
    pid_t done = ::waitpid(-1, &status, WNOHANG);
    if (done == pid) result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (done > 0) continue;
    if (done < 0 && errno == ECHILD) break;  // the program and all it left are gone
    if (!timedOut && std::chrono::steady_clock::now() > deadline) {
      timedOut = true;
      ::kill(-pid, SIGKILL);
      ::kill(pid, SIGKILL);
      result.err += "\n[test runner: timed out" + (timeoutNote ? timeoutNote() : std::string()) + "]\n";
    }
    struct pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    ::poll(fds, 2, 10);
  }
  if (input >= 0) ::close(input);
  DrainInto(outPipe[0], result.out);
  DrainInto(errPipe[0], result.err);
  ::close(outPipe[0]);
  ::close(errPipe[0]);
  return result;
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env, const std::string& cwd,
                     const std::string& input, int timeoutSeconds) {
  return RunChild(program, args, env, cwd,
                  [&input](int fd) {
                    WriteAll(fd, input);
                    return true;
                  },
                  timeoutSeconds);
}

RunResult RunAtTerminal(const std::string& program, const std::vector<std::string>& args,
                        const std::map<std::string, std::string>& env,
                        const std::vector<std::pair<std::string, std::string>>& typed, int timeoutSeconds) {
  ::signal(SIGPIPE, SIG_IGN);
  int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0)
    throw std::runtime_error("no pseudo-terminal");
  std::string side = ::ptsname(terminal);
  int outPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    int in = ::open(side.c_str(), O_RDWR | O_NOCTTY);
    ::dup2(in, 0);
    ::dup2(outPipe[1], 1);
    Exec(program, args, env, "");
  }
  ::close(outPipe[1]);
  ::fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
  RunResult result;
  std::size_t next = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  for (;;) {
    DrainInto(outPipe[0], result.out);
    if (next < typed.size() && result.out.find(typed[next].first) != std::string::npos)
      WriteAll(terminal, typed[next++].second);
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      result.exitStatus = 137;
      result.err = "[test runner: timed out]\n";
      break;
    }
    struct pollfd fds[1] = {{outPipe[0], POLLIN, 0}};
    ::poll(fds, 1, 10);
  }
  DrainInto(outPipe[0], result.out);
  ::close(outPipe[0]);
  ::close(terminal);
  return result;
}

ChildProgram::ChildProgram(const std::string& program, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& env) {
  ::signal(SIGPIPE, SIG_IGN);  // a child that has ended is not fatal
  // What it leaves running when it ends is re-parented to this process.
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) || ::pipe2(out, O_CLOEXEC)) throw std::runtime_error("pipe");
  pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    Exec(program, args, env, "");
  }
  ::close(in[0]);
  ::close(out[1]);
  process_ = pid;
  input_ = in[1];
  output_ = ::fdopen(out[0], "r");
}

void ChildProgram::CloseInput() {
  if (input_ >= 0) ::close(input_);
  input_ = -1;
}

int ChildProgram::Wait() {
  if (process_ > 0) {
    int status = 0;
    while (::waitpid(pid_t(process_), &status, 0) < 0 && errno == EINTR) {
    }
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    process_ = -1;
  }
  return status_;
}

void ChildProgram::Kill() {
  if (process_ > 0) ::kill(pid_t(process_), SIGKILL);
}

int ChildProgram::EndAndWaitForLeftProgram() {
  CloseInput();
  Wait();
  int status = 0;
  pid_t left;
  while ((left = ::waitpid(-1, &status, 0)) < 0 && errno == EINTR) {
  }
  if (left < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace orvik_testing
