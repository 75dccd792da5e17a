#include "tests/support/interactive_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace testsupport {

namespace {

void Drain(int fd, std::string& out) {
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

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the program has gone; its result tells why
    done += static_cast<std::size_t>(n);
  }
}

// Index of the first line at or after `from` that begins with `prefix`, or -1.
long FindLine(const std::vector<std::string>& lines, std::size_t from, const std::string& prefix) {
  for (std::size_t i = from; i < lines.size(); ++i)
    if (lines[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
  return -1;
}

}  // namespace

std::map<std::string, std::string> ConsoleEnv(const Sandbox& box) {
  std::map<std::string, std::string> env = box.ScriptEnv("");
  env["ORVIK_UI"] = "console";
  env["ORVIK_SCRIPT"] = "";
  return env;
}

RunResult RunConsole(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env, const std::string& cwd,
                     const std::string& transcriptPath, const std::vector<Turn>& turns, int timeoutSeconds) {
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
  ::close(inPipe[0]);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  ::fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
  ::fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
  int input = inPipe[1];

  RunResult result;
  std::size_t turn = 0;
  std::size_t seenUpTo = 0;  // transcript lines before this one are used up
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  bool timedOut = false;
  for (;;) {
    Drain(outPipe[0], result.out);
    Drain(errPipe[0], result.err);
    while (turn < turns.size()) {
      std::vector<std::string> lines = Lines(ReadFile(transcriptPath));
      long at = FindLine(lines, seenUpTo, turns[turn].waitFor);
      if (at < 0) break;
      seenUpTo = static_cast<std::size_t>(at) + 1;
      if (turns[turn].before) turns[turn].before();
      WriteAll(input, turns[turn].input);
      ++turn;
    }
    if (turn == turns.size() && input >= 0) {
      ::close(input);
      input = -1;
    }
    int status = 0;
    pid_t done = ::waitpid(-1, &status, WNOHANG);
    if (done == pid) result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (done > 0) continue;
    if (done < 0 && errno == ECHILD) break;
    if (!timedOut && std::chrono::steady_clock::now() > deadline) {
      timedOut = true;
      ::kill(-pid, SIGKILL);
      ::kill(pid, SIGKILL);
      result.err += "\n[console runner: timed out";
      if (turn < turns.size()) result.err += " waiting for \"" + turns[turn].waitFor + "\"";
      result.err += "]\n";
    }
    struct pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    ::poll(fds, 2, 10);
  }
  if (input >= 0) ::close(input);
  Drain(outPipe[0], result.out);
  Drain(errPipe[0], result.err);
  ::close(outPipe[0]);
  ::close(errPipe[0]);
  return result;
}

}  // namespace testsupport
