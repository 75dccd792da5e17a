#include "testing/host_platform.h"

#include <malloc.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/change_times.h"
#include "testing/prefix_test.h"
#include "testing/sandbox.h"
#include "testing/wait_until.h"

namespace orvik_testing {

const bool kPosixHost = true;

void SetEnv(const std::string& name, const std::string& value) {
  if (value.empty())
    ::unsetenv(name.c_str());
  else
    ::setenv(name.c_str(), value.c_str(), 1);
}

std::string MakeTempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/orvik_test_XXXXXX";
  std::vector<char> tmpl(pattern.begin(), pattern.end());
  tmpl.push_back('\0');
  if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp");
  char real[4096];
  if (::realpath(tmpl.data(), real) == nullptr) throw std::runtime_error("realpath");
  return real;
}

std::string CurrentFolder() {
  char cwd[4096];
  return ::getcwd(cwd, sizeof cwd) != nullptr ? cwd : "";
}

bool ChangeFolder(const std::string& hostPath) { return ::chdir(hostPath.c_str()) == 0; }

void SleepMilliseconds(int milliseconds) { ::usleep(static_cast<useconds_t>(1000 * milliseconds)); }

std::string ProgramPath(const std::string& name) { return BinDir() + "/" + name; }

std::string ProgramText(const std::string& output) { return output; }
std::size_t HeapBlockSize(void* block) { return ::malloc_usable_size(block); }

int RunInCopyOfThisProcess(const std::function<int()>& body) {
  pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) ::_exit(body());
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool MakeSymlink(const std::string& target, const std::string& hostPath) {
  return ::symlink(target.c_str(), hostPath.c_str()) == 0;
}

bool MakeFifo(const std::string& hostPath) { return ::mkfifo(hostPath.c_str(), 0666) == 0; }

std::string ExtendedAttribute(const std::string& hostPath, const std::string& name) {
  char value[256];
  ssize_t length = ::getxattr(hostPath.c_str(), name.c_str(), value, sizeof value);
  if (length <= 0) return "";
  std::string text(value, static_cast<size_t>(length));
  return text.substr(0, text.find('\0'));  // some writers store the terminator too
}

FileInUse::FileInUse(const std::string&) {}
FileInUse::~FileInUse() {}

// The platform keeps what it read of a file until the file's times show a
// change; a file is settled once a later change would stamp other times.
void WaitUntilSettled(const std::string& path) {
  ASSERT_TRUE(WaitUntil([&] {
    struct stat st;
    timespec now;
    if (::stat(path.c_str(), &st) != 0) return false;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return platform::detail::ChangedLongBefore(st, now);
  })) << path << " never settled";
}

}  // namespace orvik_testing
