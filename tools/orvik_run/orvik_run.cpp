// orvik_run [--drive X:=<host dir>]... <program> [args...]
//
// Maps the drives in the prefix, starts the program (a DOS path such as
// A:\setup.exe, or a host path) and waits for it and every process it leaves
// behind: a bootstrap that starts the installer and ends still has its
// installer waited for. Exits with the program's own exit status.
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dos_path.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: orvik_run [--drive X:=<host dir>]... <program> [args...]\n");
  return 2;
}

bool LooksLikeDosPath(const std::string& program) {
  bool drive = program.size() >= 2 && program[1] == ':' &&
               ((program[0] >= 'A' && program[0] <= 'Z') || (program[0] >= 'a' && program[0] <= 'z'));
  return drive || program.find('\\') != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
  int i = 1;
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    std::string spec;
    if (arg == "--drive" && i + 1 < argc) {
      spec = argv[++i];
    } else if (arg.rfind("--drive=", 0) == 0) {
      spec = arg.substr(8);
    } else if (arg == "--") {
      ++i;
      break;
    } else {
      break;
    }
    if (spec.size() < 4 || spec[1] != ':' || spec[2] != '=') return Usage();
    if (!platform::MapDrive(spec[0], spec.substr(3))) {
      std::fprintf(stderr, "orvik_run: cannot map %c: onto %s\n", spec[0], spec.c_str() + 3);
      return 2;
    }
  }
  if (i >= argc) return Usage();

  std::string program = argv[i];
  std::string host = LooksLikeDosPath(program) ? platform::HostPath(program) : program;
  if (host.empty()) {
    std::fprintf(stderr, "orvik_run: %s is on no mapped drive\n", program.c_str());
    return 127;
  }
  std::vector<char*> childArgv{const_cast<char*>(host.c_str())};
  for (int k = i + 1; k < argc; ++k) childArgv.push_back(argv[k]);
  childArgv.push_back(nullptr);

  // Orphans of the program become our children, so we can wait for them.
  if (::prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) std::perror("orvik_run: prctl");
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid < 0) {
    std::perror("orvik_run: fork");
    return 127;
  }
  if (pid == 0) {
    if (host.find('/') != std::string::npos) {
      ::execv(host.c_str(), childArgv.data());
    } else {
      ::execvp(host.c_str(), childArgv.data());
    }
    std::fprintf(stderr, "orvik_run: cannot start %s: %s\n", host.c_str(), std::strerror(errno));
    ::_exit(127);
  }

  int result = 127;
  while (true) {
    int status = 0;
    pid_t done = ::waitpid(-1, &status, 0);
    if (done < 0) {
      if (errno == EINTR) continue;
      break;  // ECHILD: the program and everything it left have ended
    }
    if (done == pid) {
      if (WIFEXITED(status)) {
        result = WEXITSTATUS(status);
      } else if (WIFSIGNALED(status)) {
        result = 128 + WTERMSIG(status);
      }
    }
  }
  return result;
}
