// orvik_run [--drive X:=<host dir>]... [--media X:=<disk set>]... <program> [args...]
//
// Maps the drives in the prefix, starts the program (a DOS path such as
// A:\setup.exe, or a host path) and waits for it and every process it leaves
// behind: a bootstrap that starts the installer and ends still has its
// installer waited for. Exits with the status of the last of them that
// failed (0 when none did), so that a deployment script learns how the
// installer ended, not only the bootstrap that started it.
//
// --media X:=<folder> puts Disk1 of the set <folder>/Disk1, Disk2, ... into
// drive X: and lets the programs load the other disks when they ask for
// them (see platform/disk_changer.h).
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/disk_changer.h"
#include "platform/dos_path.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: orvik_run [--drive X:=<host dir>]... [--media X:=<folder with Disk1, Disk2, ...>]... "
               "<program> [args...]\n");
  return 2;
}

bool LooksLikeDosPath(const std::string& program) {
  bool drive = program.size() >= 2 && program[1] == ':' &&
               ((program[0] >= 'A' && program[0] <= 'Z') || (program[0] >= 'a' && program[0] <= 'z'));
  return drive || program.find('\\') != std::string::npos;
}

// `X:=<folder>`: the letter and the folder, or false.
bool SplitMapping(const std::string& spec, char* letter, std::string* folder) {
  if (spec.size() < 4 || spec[1] != ':' || spec[2] != '=') return false;
  *letter = spec[0];
  *folder = spec.substr(3);
  return true;
}

// Drive `letter` holds Disk1 of the set in `folder`; the programs may load
// the other disks. Returns 0, or the exit status for a bad set.
int MountDiskSet(char letter, const std::string& folder) {
  char full[PATH_MAX];
  if (!::realpath(folder.c_str(), full)) {
    std::fprintf(stderr, "orvik_run: %s: %s\n", folder.c_str(), std::strerror(errno));
    return 2;
  }
  ::setenv(platform::DiskSetVariable(letter).c_str(), full, 1);
  if (!platform::LoadDisk(letter, "Disk1")) {
    std::fprintf(stderr, "orvik_run: %s holds no folder Disk1 to put into %c:\n", full, letter);
    return 2;
  }
  return 0;
}

int StatusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int i = 1;
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    std::string spec;
    bool media = false;
    if ((arg == "--drive" || arg == "--media") && i + 1 < argc) {
      media = arg == "--media";
      spec = argv[++i];
    } else if (arg.rfind("--drive=", 0) == 0 || arg.rfind("--media=", 0) == 0) {
      media = arg[2] == 'm';
      spec = arg.substr(8);
    } else if (arg == "--") {
      ++i;
      break;
    } else {
      break;
    }
    char letter = 0;
    std::string folder;
    if (!SplitMapping(spec, &letter, &folder)) return Usage();
    if (media) {
      if (int bad = MountDiskSet(letter, folder)) return bad;
    } else if (!platform::MapDrive(letter, folder)) {
      std::fprintf(stderr, "orvik_run: cannot map %c: onto %s\n", letter, folder.c_str());
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

  // Each program of the chain ends with its own status; they end in the
  // order they ran (the installer outlives the bootstrap, the clean-up
  // program waits for the installer), so the last failure is the one that
  // tells how the installation went.
  int result = 0;
  while (true) {
    int status = 0;
    pid_t done = ::waitpid(-1, &status, 0);
    if (done < 0) {
      if (errno == EINTR) continue;
      break;  // ECHILD: the program and everything it left have ended
    }
    if (int code = StatusOf(status)) result = code;
  }
  return result;
}
