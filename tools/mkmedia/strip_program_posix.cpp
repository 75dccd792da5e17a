#include "tools/mkmedia/strip_program.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/mkmedia/host_files.h"
#include "tools/mkmedia/pe_link_time.h"

extern char** environ;

namespace mkmedia {

namespace {

// Runs `args` (looked up on PATH) and waits for it; its exit status, or -1
// with errno set when it could not be started.
int Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  int rc = ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (rc != 0) {
    errno = rc;
    return -1;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string TempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

}  // namespace

bool StrippedProgram(const std::string& path, std::string* bytes, std::string* problem) {
  std::string pattern = TempFolder() + "/mkmedia-strip-XXXXXX";
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back(0);
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    *problem = "cannot create a file in " + TempFolder() + " to strip " + path + ": " + std::strerror(errno);
    return false;
  }
  ::close(fd);
  const std::string out = temp.data();
  int status = Run({"objcopy", "--strip-unneeded", path, out});
  bool ok = status == 0 && ReadHostFile(out, bytes);
  // A Windows program keeps its link time: the same program, stripped again
  // or already stripped, gives the same bytes.
  std::string original;
  if (ok && ReadHostFile(path, &original)) KeepLinkTime(original, bytes);
  if (status < 0)
    *problem = path + " cannot be stripped of its debug information: objcopy (binutils) cannot be run: " +
               std::strerror(errno);
  else if (!ok)
    *problem = path + " cannot be stripped of its debug information (objcopy failed)";
  ::unlink(out.c_str());
  return ok;
}

}  // namespace mkmedia
