// Files by handle: share locks between processes, errors, reads and writes,
// faults injected into the calls and error texts.
#include "platform/hfile.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/fault_injector.h"
#include "platform/files.h"
#include "testing/host_platform.h"
#include "testing/prefix_test.h"
#include "testing/program_runner.h"
#include "testing/wait_until.h"

namespace platform {
namespace {

// Another process (file_holder) that opens a file with a style, or as a lock
// file, reports the result, and holds the file until released.
class Holder {
 public:
  Holder(const char* path, UINT style) : Holder(path, std::to_string(style)) {}
  Holder(const char* path, const std::string& style) {
    const std::string report = folder + "/holder" + std::to_string(++count_) + ".txt";
    runner_ = std::thread([this, path = std::string(path), style, report] {
      result_ = orvik_testing::RunChild(FILE_HOLDER, {path, style, report}, {}, "",
                                        [this](int) { return released_.load(); }, 300);
      ended_ = true;
    });
    EXPECT_TRUE(orvik_testing::WaitUntil([&] { return orvik_testing::Exists(report) || ended_; })) << report;
    opened_ = orvik_testing::ReadFile(report) == "y";
  }
  ~Holder() { Release(); }
  bool opened() const { return opened_; }
  // Where the holders' reports go (a folder of the test's own).
  static inline std::string folder;
  void Release() {
    if (!runner_.joinable()) return;
    released_ = true;
    runner_.join();
    EXPECT_EQ(result_.exitStatus, 0) << result_.err;
  }

 private:
  static inline int count_ = 0;
  std::thread runner_;
  std::atomic<bool> released_{false};
  std::atomic<bool> ended_{false};
  orvik_testing::RunResult result_;
  bool opened_ = false;
};

class HFileTest : public orvik_testing::PrefixTest {
 protected:
  void SetUp() override {
    PrefixTest::SetUp();
    Holder::folder = root_;
    orvik_testing::WriteFile(driveC_ + "/proc.dir", std::string(150, 'r'));
  }
  // Opens, expecting success; closes at once.
  bool Opens(UINT style, DWORD* error = nullptr) {
    OFSTRUCT of;
    HFILE h = OpenFile("C:\\PROC.DIR", &of, style);
    if (error) *error = h == HFILE_ERROR ? GetLastError() : 0;
    if (h == HFILE_ERROR) {
      EXPECT_EQ(of.nErrCode, GetLastError());
      return false;
    }
    EXPECT_EQ(_lclose(h), 0);
    return true;
  }
};

TEST_F(HFileTest, ReadersWithDenyWriteShare) {
  Holder reader("C:\\proc.dir", OF_READ | OF_SHARE_DENY_WRITE);
  ASSERT_TRUE(reader.opened());
  EXPECT_TRUE(Opens(OF_READ | OF_SHARE_DENY_WRITE));
  EXPECT_TRUE(Opens(OF_READ));
  DWORD error = 0;
  EXPECT_FALSE(Opens(OF_READWRITE | OF_SHARE_DENY_WRITE, &error));
  EXPECT_EQ(error, ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(Opens(OF_WRITE, &error));
  EXPECT_EQ(error, ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(Opens(OF_SHARE_EXCLUSIVE, &error));
  EXPECT_EQ(error, ERROR_SHARING_VIOLATION);
}

TEST_F(HFileTest, ReadWriteWithDenyWriteExcludesEveryLock) {
  Holder writer("C:\\proc.dir", OF_READWRITE | OF_SHARE_DENY_WRITE);
  ASSERT_TRUE(writer.opened());
  DWORD error = 0;
  EXPECT_FALSE(Opens(OF_READ | OF_SHARE_DENY_WRITE, &error));
  EXPECT_EQ(error, ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(Opens(OF_READWRITE | OF_SHARE_DENY_WRITE, &error));
  EXPECT_EQ(error, ERROR_SHARING_VIOLATION);
  writer.Release();
  EXPECT_TRUE(Opens(OF_READ | OF_SHARE_DENY_WRITE));
  EXPECT_TRUE(Opens(OF_READWRITE | OF_SHARE_DENY_WRITE));
}

TEST_F(HFileTest, ExclusiveHolderRefusesReaders) {
  Holder exclusive("C:\\proc.dir", OF_READ | OF_SHARE_EXCLUSIVE);
  ASSERT_TRUE(exclusive.opened());
  DWORD error = 0;
  EXPECT_FALSE(Opens(OF_READ | OF_SHARE_DENY_WRITE, &error));
  EXPECT_EQ(error, ERROR_SHARING_VIOLATION);
}

TEST_F(HFileTest, HolderIsRefusedWhenWeHoldTheFile) {
  OFSTRUCT of;
  HFILE h = OpenFile("C:\\proc.dir", &of, OF_READWRITE | OF_SHARE_DENY_WRITE);
  ASSERT_NE(h, HFILE_ERROR);
  {
    Holder other("C:\\proc.dir", OF_READ | OF_SHARE_DENY_WRITE);
    EXPECT_FALSE(other.opened());
  }
  // Two opens in one process conflict too: the lock is the open file's.
  DWORD error = 0;
  EXPECT_FALSE(Opens(OF_READ | OF_SHARE_DENY_WRITE, &error));
  EXPECT_EQ(error, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(_lclose(h), 0);
  Holder after("C:\\proc.dir", OF_READ | OF_SHARE_DENY_WRITE);
  EXPECT_TRUE(after.opened());
}

TEST_F(HFileTest, RefusedCreateDoesNotTruncate) {
  Holder reader("C:\\proc.dir", OF_READ | OF_SHARE_DENY_WRITE);
  ASSERT_TRUE(reader.opened());
  DWORD error = 0;
  EXPECT_FALSE(Opens(OF_CREATE | OF_READWRITE | OF_SHARE_DENY_WRITE, &error));
  EXPECT_EQ(error, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(_lcreat("C:\\proc.dir", 0), HFILE_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/proc.dir").size(), 150u);
}

TEST_F(HFileTest, CreateNewFileNeverOpensWhatIsThere) {
  EXPECT_EQ(CreateNewFile("C:\\proc.dir"), HFILE_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/proc.dir").size(), 150u);
  HFILE h = CreateNewFile("C:\\new.~ov0");
  ASSERT_NE(h, HFILE_ERROR);
  EXPECT_EQ(_lwrite(h, "abc", 3), 3u);
  EXPECT_EQ(_lclose(h), 0);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/new.~ov0"), "abc");
  SKIP_UNLESS_POSIX("symbolic links");
  ASSERT_TRUE(orvik_testing::MakeSymlink(driveC_ + "/proc.dir", driveC_ + "/link"));
  EXPECT_EQ(CreateNewFile("C:\\link"), HFILE_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
}

TEST_F(HFileTest, LockFileIsHeldUntilClosedAndNeverThroughALink) {
  HFILE held = OpenLockFile("C:\\run.lck");
  ASSERT_NE(held, HFILE_ERROR);
  EXPECT_EQ(OpenLockFile("C:\\RUN.LCK"), HFILE_ERROR);  // in this process too
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  {
    Holder other("C:\\run.lck", OF_READ | OF_SHARE_DENY_WRITE);
    EXPECT_FALSE(other.opened());
  }
  EXPECT_EQ(_lclose(held), 0);
  // A dead holder's lock is gone with its process.
  {
    Holder dead("C:\\run.lck", "lock");
    EXPECT_TRUE(dead.opened());
  }
  held = OpenLockFile("C:\\run.lck");
  EXPECT_NE(held, HFILE_ERROR);
  EXPECT_EQ(_lclose(held), 0);

  SKIP_UNLESS_POSIX("symbolic links");
  ASSERT_TRUE(orvik_testing::MakeSymlink(driveC_ + "/proc.dir", driveC_ + "/link.lck"));
  EXPECT_EQ(OpenLockFile("C:\\link.lck"), HFILE_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(Opens(OF_READWRITE | OF_SHARE_DENY_WRITE));
}

TEST_F(HFileTest, OpenErrors) {
  OFSTRUCT of;
  EXPECT_EQ(OpenFile("C:\\missing.dir", &of, OF_READ), HFILE_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(of.nErrCode, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(OpenFile("C:\\nofolder\\proc.dir", &of, OF_READ), HFILE_ERROR);
  EXPECT_EQ(of.nErrCode, ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(OpenFile("C:\\nofolder\\proc.dir", &of, OF_CREATE | OF_READWRITE), HFILE_ERROR);
  EXPECT_EQ(of.nErrCode, ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(OpenFile("C:\\windows", &of, OF_READ), HFILE_ERROR);
  EXPECT_EQ(of.nErrCode, ERROR_ACCESS_DENIED);
  orvik_testing::ChangeMode(driveC_ + "/proc.dir", 0444);
  HFILE h = OpenFile("C:\\proc.dir", &of, OF_READ | OF_SHARE_EXCLUSIVE);
  ASSERT_NE(h, HFILE_ERROR);  // a read-only file can still be held exclusively for reading
  EXPECT_EQ(_lclose(h), 0);
  if (!orvik_testing::kPosixHost && std::ofstream(driveC_ + "/proc.dir", std::ios::app))
    GTEST_SKIP() << "this Windows host lets read-only files be written (Wine run as root)";
  h = OpenFile("C:\\proc.dir", &of, OF_READWRITE | OF_SHARE_DENY_WRITE);
  EXPECT_EQ(h, HFILE_ERROR);
  EXPECT_EQ(of.nErrCode, ERROR_ACCESS_DENIED);
  if (h != HFILE_ERROR) _lclose(h);
}

// Pipes and devices never open (and a pipe never blocks the open); links are
// refused where the caller asks; a new file is never made through a link.
TEST_F(HFileTest, OnlyRegularFilesOpenAndLinksAreNotFollowedWhenAsked) {
  OFSTRUCT of;
  EXPECT_EQ(OpenFile("C:\\proc.dir", &of, OF_CREATE | OF_CREATE_NEW | OF_WRITE), HFILE_ERROR);
  EXPECT_EQ(of.nErrCode, ERROR_FILE_EXISTS);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/proc.dir").size(), 150u);
  HFILE fresh = OpenFile("C:\\fresh.tmp", &of, OF_CREATE | OF_CREATE_NEW | OF_WRITE);
  ASSERT_NE(fresh, HFILE_ERROR);
  EXPECT_EQ(_lwrite(fresh, "ab", 2), 2u);
  EXPECT_EQ(_lclose(fresh), 0);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/fresh.tmp"), "ab");
  HFILE plain = OpenFile("C:\\proc.dir", &of, OF_READWRITE | OF_SHARE_DENY_WRITE | OF_NOFOLLOW);
  ASSERT_NE(plain, HFILE_ERROR);
  EXPECT_EQ(_lclose(plain), 0);

  SKIP_UNLESS_POSIX("named pipes, devices and symbolic links");
  ASSERT_TRUE(orvik_testing::MakeFifo(driveC_ + "/pipe.dat"));
  ASSERT_TRUE(orvik_testing::MakeSymlink("/dev/zero", driveC_ + "/zero.dat"));
  for (const char* path : {"C:\\pipe.dat", "C:\\zero.dat"}) {
    for (UINT style : {UINT(OF_READ), UINT(OF_WRITE), UINT(OF_READWRITE | OF_SHARE_DENY_WRITE)}) {
      EXPECT_EQ(OpenFile(path, &of, style), HFILE_ERROR) << path << " " << style;
      EXPECT_EQ(of.nErrCode, ERROR_BAD_FILE_TYPE) << path << " " << style;
    }
    EXPECT_EQ(_lcreat(path, 0), HFILE_ERROR) << path;
    EXPECT_EQ(GetLastError(), ERROR_BAD_FILE_TYPE);
  }

  ASSERT_TRUE(orvik_testing::MakeSymlink("proc.dir", driveC_ + "/link.dir"));
  EXPECT_EQ(OpenFile("C:\\link.dir", &of, OF_READWRITE | OF_SHARE_DENY_WRITE | OF_NOFOLLOW), HFILE_ERROR);
  EXPECT_EQ(of.nErrCode, ERROR_CANT_ACCESS_FILE);

  ASSERT_TRUE(orvik_testing::MakeSymlink("planted.txt", driveC_ + "/new.tmp"));
  EXPECT_EQ(OpenFile("C:\\new.tmp", &of, OF_CREATE | OF_CREATE_NEW | OF_WRITE), HFILE_ERROR);
  EXPECT_EQ(of.nErrCode, ERROR_FILE_EXISTS);
  EXPECT_FALSE(orvik_testing::Exists(driveC_ + "/planted.txt"));
}

TEST_F(HFileTest, OnlyUnusedRegularFilesAreDeletedIfUnused) {
  {
    Holder writer("C:\\proc.dir", OF_READ | OF_SHARE_DENY_WRITE);
    ASSERT_TRUE(writer.opened());
    EXPECT_FALSE(DeleteFileIfUnused("C:\\proc.dir"));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(orvik_testing::Exists(driveC_ + "/proc.dir"));
  }
  EXPECT_TRUE(DeleteFileIfUnused("C:\\proc.dir"));
  EXPECT_FALSE(orvik_testing::Exists(driveC_ + "/proc.dir"));
  SKIP_UNLESS_POSIX("symbolic links");
  orvik_testing::WriteFile(driveC_ + "/target.txt", "kept");
  ASSERT_TRUE(orvik_testing::MakeSymlink("target.txt", driveC_ + "/link.tmp"));
  EXPECT_FALSE(DeleteFileIfUnused("C:\\link.tmp"));
  EXPECT_EQ(GetLastError(), ERROR_CANT_ACCESS_FILE);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/link.tmp"), "kept");
}

// A copy's part file stays its own after the writer is closed: never removed
// as a leftover while guarded, yet renamed into place.
TEST_F(HFileTest, GuardKeepsAWrittenFileFromRemovalButNotFromRenaming) {
  OFSTRUCT of;
  const UINT create = OF_CREATE | OF_CREATE_NEW | OF_WRITE | OF_SHARE_DENY_NONE;
  HFILE writer = OpenFile("C:\\file.~ov0", &of, create);
  ASSERT_NE(writer, HFILE_ERROR);
  HFILE guard = OpenGuard(writer, "C:\\file.~ov0");
  ASSERT_NE(guard, HFILE_ERROR);
  EXPECT_EQ(_lwrite(writer, "data", 4), 4u);
  EXPECT_EQ(_lclose(writer), 0);
  EXPECT_FALSE(DeleteFileIfUnused("C:\\file.~ov0"));
  EXPECT_TRUE(MoveFileExA("C:\\file.~ov0", "C:\\file.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(_lclose(guard), 0);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/file.txt"), "data");
  EXPECT_TRUE(DeleteFileIfUnused("C:\\file.txt"));
  SKIP_UNLESS_POSIX("a file removed while its writer holds it open");
  writer = OpenFile("C:\\gone.~ov0", &of, create);
  ASSERT_NE(writer, HFILE_ERROR);
  ASSERT_TRUE(DeleteFileIfUnused("C:\\gone.~ov0"));
  EXPECT_EQ(OpenGuard(writer, "C:\\gone.~ov0"), HFILE_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(_lclose(writer), 0);
}

TEST_F(HFileTest, ExistAndPathName) {
  OFSTRUCT of;
  HFILE h = OpenFile("c:proc.dir", &of, OF_EXIST);
  EXPECT_GT(h, 0);
  EXPECT_STREQ(of.szPathName, "C:\\proc.dir");
  EXPECT_EQ(of.nErrCode, 0);
  EXPECT_EQ(OpenFile("C:\\nothing", &of, OF_EXIST), HFILE_ERROR);
  EXPECT_EQ(of.nErrCode, ERROR_FILE_NOT_FOUND);
}

TEST_F(HFileTest, ReadWriteSeekAndSize) {
  OFSTRUCT of;
  HFILE h = OpenFile("C:\\new.dir", &of, OF_CREATE | OF_READWRITE | OF_SHARE_DENY_WRITE);
  ASSERT_NE(h, HFILE_ERROR);
  EXPECT_EQ(_lwrite(h, "0123456789", 10), 10u);
  DWORD high = 99;
  EXPECT_EQ(GetFileSize(h, &high), 10u);
  EXPECT_EQ(high, 0u);
  EXPECT_EQ(_llseek(h, 3, 0), 3);
  char buf[16] = {};
  EXPECT_EQ(_lread(h, buf, 4), 4u);
  EXPECT_STREQ(buf, "3456");
  EXPECT_EQ(_llseek(h, -2, 2), 8);
  EXPECT_EQ(_lread(h, buf, 16), 2u);
  EXPECT_EQ(_lread(h, buf, 16), 0u);
  EXPECT_EQ(_llseek(h, 1, 1), 11);
  EXPECT_EQ(_llseek(h, -20, 0), HFILE_ERROR);
  EXPECT_EQ(_lclose(h), 0);
  EXPECT_EQ(_lclose(h), HFILE_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(GetFileSize(h, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(_lread(h, buf, 1), UINT(HFILE_ERROR));
  // OF_CREATE truncates an existing file.
  h = OpenFile("C:\\new.dir", &of, OF_CREATE | OF_WRITE);
  ASSERT_NE(h, HFILE_ERROR);
  EXPECT_EQ(GetFileSize(h, nullptr), 0u);
  EXPECT_EQ(_lclose(h), 0);
}

TEST_F(HFileTest, HandlesKeepTheirAccess) {
  OFSTRUCT of;
  HFILE r = OpenFile("C:\\proc.dir", &of, OF_READ | OF_SHARE_EXCLUSIVE);
  ASSERT_NE(r, HFILE_ERROR);
  EXPECT_EQ(_lwrite(r, "x", 1), UINT(HFILE_ERROR));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(_lclose(r), 0);
  HFILE w = OpenFile("C:\\proc.dir", &of, OF_WRITE);
  ASSERT_NE(w, HFILE_ERROR);
  char c;
  EXPECT_EQ(_lread(w, &c, 1), UINT(HFILE_ERROR));
  EXPECT_EQ(_lclose(w), 0);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/proc.dir"), std::string(150, 'r'));
}

TEST_F(HFileTest, LcreatCreatesEmptyAndReadOnly) {
  HFILE h = _lcreat("C:\\made.txt", 0);
  ASSERT_NE(h, HFILE_ERROR);
  EXPECT_EQ(_lwrite(h, "abc", 3), 3u);
  EXPECT_EQ(_lclose(h), 0);
  h = _lcreat("C:\\made.txt", 0);
  ASSERT_NE(h, HFILE_ERROR);
  EXPECT_EQ(GetFileSize(h, nullptr), 0u);
  EXPECT_EQ(_lclose(h), 0);
  h = _lcreat("C:\\ro.txt", 1);
  ASSERT_NE(h, HFILE_ERROR);
  EXPECT_EQ(_lwrite(h, "abc", 3), 3u);
  EXPECT_EQ(_lclose(h), 0);
  namespace fs = std::filesystem;
  const fs::perms writeBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  EXPECT_EQ(fs::status(driveC_ + "/ro.txt").permissions() & writeBits, fs::perms::none);
  EXPECT_EQ(std::filesystem::file_size(driveC_ + "/ro.txt"), 3u);
  EXPECT_EQ(_lcreat("C:\\no\\x.txt", 0), HFILE_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  if (!orvik_testing::kPosixHost && std::ofstream(driveC_ + "/ro.txt", std::ios::app))
    GTEST_SKIP() << "this Windows host lets read-only files be written (Wine run as root)";
  h = _lcreat("C:\\ro.txt", 0);
  EXPECT_EQ(h, HFILE_ERROR);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  if (h != HFILE_ERROR) _lclose(h);
}

TEST_F(HFileTest, InjectedFilterShortensWritesWhileInstalled) {
  HFILE h = _lcreat("C:\\short.txt", 0);
  ASSERT_NE(h, HFILE_ERROR);
  int calls = 0;
  {
    FaultInjector faults;
    faults.FilterWrites([&](HFILE file, UINT count) {
      ++calls;
      EXPECT_EQ(file, h);
      return count / 2;
    });
    EXPECT_EQ(_lwrite(h, "abcdefgh", 8), 4u);
    EXPECT_EQ(_lwrite(h, "ijkl", 4), 2u);
  }
  EXPECT_EQ(_lwrite(h, "mn", 2), 2u);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(_lclose(h), 0);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/short.txt"), "abcdijmn");
}

// The chosen call fails as the host's would and changes nothing; the calls
// around it go through and every call is counted by its kind.
TEST_F(HFileTest, InjectedFaultFailsOnlyTheChosenCallWithoutSideEffects) {
  FaultInjector faults;
  faults.FailAt(HostCallKind::kWrite, 2, ERROR_DISK_FULL);
  HFILE h = _lcreat("C:\\f.txt", 0);
  ASSERT_NE(h, HFILE_ERROR);
  EXPECT_EQ(_lwrite(h, "ab", 2), 2u);
  EXPECT_FALSE(faults.Fired());
  EXPECT_EQ(_lwrite(h, "cd", 2), UINT(HFILE_ERROR));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_TRUE(faults.Fired());
  EXPECT_EQ(_lwrite(h, "ef", 2), 2u);
  EXPECT_EQ(_lclose(h), 0);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/f.txt"), "abef");

  faults.FailAt(HostCallKind::kMove, 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(MoveFileA("C:\\f.txt", "C:\\g.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(orvik_testing::Exists(driveC_ + "/f.txt"));
  EXPECT_FALSE(orvik_testing::Exists(driveC_ + "/g.txt"));

  faults.FailAt(HostCallKind::kCreateFolder, 1, ERROR_DISK_FULL);
  EXPECT_EQ(_mkdir("C:\\d"), -1);
  EXPECT_EQ(CrtErrno(), CRT_ENOSPC);
  EXPECT_FALSE(orvik_testing::Exists(driveC_ + "/d"));

  faults.FailAt(HostCallKind::kClose, 1, ERROR_INVALID_HANDLE);
  h = OpenFile("C:\\f.txt", nullptr, OF_READ);
  ASSERT_NE(h, HFILE_ERROR);
  EXPECT_EQ(_lclose(h), HFILE_ERROR);
  EXPECT_EQ(faults.Count(HostCallKind::kWrite), 3u);
  EXPECT_EQ(faults.Count(HostCallKind::kOpen), 2u);
  EXPECT_EQ(faults.Count(HostCallKind::kMove), 1u);
  EXPECT_EQ(faults.Count(HostCallKind::kClose), 2u);
  EXPECT_EQ(faults.Count(HostCallKind::kRead), 0u);
}


// Each thread keeps its own error number. The two threads meet through
// atomics alone: starting or joining a thread are host calls that may set
// this thread's number themselves.
TEST_F(HFileTest, LastErrorIsPerThread) {
  std::atomic<int> step{0};
  std::atomic<DWORD> seen{1234};
  std::thread t([&] {
    while (step.load() != 1) {
    }
    seen = GetLastError();
    SetLastError(ERROR_ACCESS_DENIED);
    step = 2;
  });
  SetLastError(ERROR_SHARING_VIOLATION);
  step = 1;
  while (step.load() != 2) {
  }
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  t.join();
  EXPECT_EQ(seen.load(), 0u);  // a new thread starts without an error
}

// Texts are whole sentences without a line end; a short buffer gets the
// start of the text; a number without a text of its own still gets one.
TEST_F(HFileTest, MessageTexts) {
  char full[256];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, full, sizeof full, nullptr);
  ASSERT_GT(length, 6u);
  EXPECT_EQ(length, std::strlen(full));
  EXPECT_EQ(full[length - 1], '.');
  char small[7];
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, small, sizeof small, nullptr), 6u);
  EXPECT_EQ(std::string(full, 6), small);
  char buf[256];
  EXPECT_GT(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 9999, 0, buf, sizeof buf, nullptr), 0u);
  EXPECT_NE(std::strstr(buf, "9999"), nullptr);
  SKIP_UNLESS_POSIX("the texts are the system's own, in its words");
  EXPECT_GT(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 2, 0, buf, sizeof buf, nullptr), 0u);
  EXPECT_STREQ(buf, "The system cannot find the file specified.");
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 32, 0, buf, sizeof buf, nullptr);
  EXPECT_STREQ(buf, "The process cannot access the file because it is being used by another process.");
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, buf, sizeof buf, nullptr);
  EXPECT_STREQ(buf, "Access is denied.");
}

}  // namespace
}  // namespace platform
