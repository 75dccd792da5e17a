// What the test kit needs of the host it runs on, apart from the platform
// under test: environment, temporary folders, the current folder, pauses and
// program names. One implementation per host (host_platform_posix.cpp,
// host_platform_win32.cpp), chosen by the build.
#pragma once
#include <cstddef>
#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace orvik_testing {

// True on a POSIX host, false on Windows.
extern const bool kPosixHost;

// Sets a variable of this process's environment; an empty value removes it.
void SetEnv(const std::string& name, const std::string& value);
// A fresh, empty folder under the host's temporary folder (TMPDIR on POSIX,
// else /tmp; its real path).
std::string MakeTempFolder();
// The process's current host folder ("" when unknown), and changing it.
std::string CurrentFolder();
bool ChangeFolder(const std::string& hostPath);
void SleepMilliseconds(int milliseconds);
// The host path of the built program `name` in BinDir() ("kelmar" ->
// .../bin/kelmar, or .../bin/kelmar.exe on Windows).
std::string ProgramPath(const std::string& name);

// A program's text output with the host's line ends as "\n" (Windows
// programs end their lines in "\r\n").
std::string ProgramText(const std::string& output);
// The usable size of a block the C library's malloc gave (glibc's
// malloc_usable_size, Windows' _msize), for tests that count the heap.
std::size_t HeapBlockSize(void* block);
// Runs `body` in a copy of this process (fork) that ends with its result,
// and returns that exit status: a process that ends without cleaning up.
// POSIX only: -1 on Windows, whose tests skip such cases.
int RunInCopyOfThisProcess(const std::function<int()>& body);

// A symbolic link at `hostPath` to `target`, and a named pipe at `hostPath`
// (POSIX; false on Windows, whose tests of them are skipped).
bool MakeSymlink(const std::string& target, const std::string& hostPath);
bool MakeFifo(const std::string& hostPath);
// The value of a host file's extended attribute `name` ("" when it has none;
// always "" on Windows, which keeps none).
std::string ExtendedAttribute(const std::string& hostPath, const std::string& name);

// Keeps a host file open against writers while it lives, as another
// program using it would (Windows; on POSIX, which has no share modes, it
// does nothing).
class FileInUse {
 public:
  explicit FileInUse(const std::string& hostPath);
  ~FileInUse();
  FileInUse(const FileInUse&) = delete;
  FileInUse& operator=(const FileInUse&) = delete;

 private:
  void* handle_ = nullptr;
};

}  // namespace orvik_testing

// Skips the rest of a test on hosts that are not POSIX, by name and with the
// reason (symlinked drives, owner write bits, extended attributes ...).
#define SKIP_UNLESS_POSIX(reason) \
  if (!::orvik_testing::kPosixHost) GTEST_SKIP() << "needs a POSIX host: " << (reason)
