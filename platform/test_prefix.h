// Test support: a fresh prefix in a temporary folder for each test.
#pragma once
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <time.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/change_times.h"
#include "platform/dos_path.h"

namespace platform::testing {

// Removes a host tree, making folders writable first; links are not followed.
inline void RemoveHostTree(const std::string& root) {
  ::nftw(root.c_str(),
         [](const char* path, const struct stat* st, int type, struct FTW*) {
           if (type == FTW_D) ::chmod(path, st->st_mode | S_IRWXU);
           return 0;
         },
         16, FTW_PHYS);
  ::nftw(root.c_str(),
         [](const char* path, const struct stat*, int type, struct FTW*) {
           if (type == FTW_DP) {
             ::rmdir(path);
           } else {
             ::unlink(path);
           }
           return 0;
         },
         16, FTW_PHYS | FTW_DEPTH);
}

inline void WriteHostFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// True when an entry of that name exists (a dangling link included).
inline bool HostExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Waits until `path` last changed long enough ago for a cache to keep what
// it reads of it (see platform/change_times.h).
inline void WaitUntilSettled(const std::string& path) {
  struct stat st;
  timespec now;
  do {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    ::clock_gettime(CLOCK_REALTIME, &now);
  } while (!detail::ChangedLongBefore(st, now));
}

inline std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A test with its own prefix: $ORVIK_PREFIX points into a new temporary
// folder (which also holds `work`, a host folder outside the prefix).
class PrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/orvik_platform_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    char real[4096];
    ASSERT_NE(::realpath(tmpl, real), nullptr);
    root_ = real;
    prefix_ = root_ + "/prefix";
    work_ = root_ + "/work";
    ASSERT_EQ(::mkdir(work_.c_str(), 0777), 0);
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    savedCwd_ = cwd;
    ::setenv("ORVIK_PREFIX", prefix_.c_str(), 1);
    ::unsetenv("ORVIK_TRANSCRIPT");
    ResetPlatformForTesting();
    ASSERT_EQ(PrefixDir(), prefix_);
    driveC_ = prefix_ + "/drive_c";
    ASSERT_EQ(_chdir("C:\\"), 0);
  }
  void TearDown() override {
    if (::chdir(savedCwd_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << savedCwd_;
    ResetPlatformForTesting();
    RemoveHostTree(root_);
  }

  std::string root_, prefix_, work_, driveC_, savedCwd_;
};

}  // namespace platform::testing
