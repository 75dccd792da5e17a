// The host calls on Windows against the machine's own files (run under Wine
// when cross-built).
#include "platform/win32/win32_host.h"

#include <fcntl.h>
#include <io.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/flush.h"
#include "platform/transcript.h"

namespace w = platform::win32;
using platform::HFILE;
using platform::HFILE_ERROR;
using platform::OFSTRUCT;

namespace {

// A fresh folder under the temporary folder for each test, removed after.
class Win32HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[platform::MAX_PATH];
    ASSERT_GT(w::GetTempPathA(sizeof temp, temp), 0u);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string(temp) + "orvik_w32_" + std::to_string(w::GetCurrentProcessId()) + "_" + info->name() + "\\";
    ASSERT_TRUE(w::CreateDirectoryA(dir_.c_str()));
  }
  void TearDown() override {
    for (HFILE file : open_) w::_lclose(file);
    platform::WIN32_FIND_DATAA data;
    platform::FindHandle find = w::FindFirstFileA((dir_ + "*").c_str(), &data);
    if (find != platform::INVALID_HANDLE_VALUE) {
      do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        w::SetFileAttributesA((dir_ + name).c_str(), platform::FILE_ATTRIBUTE_NORMAL);
        w::DeleteFileA((dir_ + name).c_str());
      } while (w::FindNextFileA(find, &data));
      w::FindClose(find);
    }
    EXPECT_TRUE(w::RemoveDirectoryA(dir_.c_str())) << dir_;
  }
  std::string Path(const std::string& name) const { return dir_ + name; }
  HFILE Open(const std::string& name, platform::UINT style) {
    OFSTRUCT of;
    HFILE file = w::OpenFile(Path(name).c_str(), &of, style);
    if (file != HFILE_ERROR) open_.push_back(file);
    else EXPECT_EQ(of.nErrCode, w::GetLastError());
    return file;
  }
  void Close(HFILE file) {
    std::erase(open_, file);
    EXPECT_EQ(w::_lclose(file), 0);
  }
  void Write(const std::string& name, const std::string& text) {
    HFILE file = Open(name, platform::OF_CREATE | platform::OF_WRITE);
    ASSERT_NE(file, HFILE_ERROR);
    ASSERT_EQ(w::_lwrite(file, text.data(), text.size()), text.size());
    Close(file);
  }
  std::string Read(const std::string& name) {
    HFILE file = Open(name, platform::OF_READ);
    if (file == HFILE_ERROR) return "<missing>";
    char buffer[256];
    platform::UINT count = w::_lread(file, buffer, sizeof buffer);
    Close(file);
    return std::string(buffer, count == static_cast<platform::UINT>(HFILE_ERROR) ? 0 : count);
  }
  std::string dir_;
  std::vector<HFILE> open_;
};

TEST_F(Win32HostTest, HandlesWriteSeekReadAndSize) {
  HFILE file = Open("data.bin", platform::OF_CREATE | platform::OF_READWRITE);
  ASSERT_NE(file, HFILE_ERROR);
  EXPECT_EQ(w::_lwrite(file, "0123456789", 10), 10u);
  EXPECT_EQ(w::_llseek(file, 4, 0), 4);
  char buffer[8] = {};
  EXPECT_EQ(w::_lread(file, buffer, 3), 3u);
  EXPECT_EQ(std::string(buffer), "456");
  // Writing nothing leaves the file as it is (the host's own _lwrite would
  // cut it off here).
  EXPECT_EQ(w::_lwrite(file, "", 0), 0u);
  EXPECT_EQ(w::_llseek(file, 0, 2), 10);
  platform::DWORD high = 7;
  EXPECT_EQ(w::GetFileSize(file, &high), 10u);
  EXPECT_EQ(high, 0u);
  EXPECT_TRUE(w::FlushFileBuffers(file));
  // The volume as a device: flushed, or refused to one who is no
  // administrator (5), or not flushable that way (1); never a wrong name.
  if (!w::FlushVolumeBuffers(Path("data.bin").c_str())) {
    platform::DWORD error = w::GetLastError();
    EXPECT_TRUE(error == platform::ERROR_ACCESS_DENIED || error == 1) << error;
  }
}

TEST_F(Win32HostTest, ShareModesRefuseWritersWithSharingViolation) {
  Write("proc.dir", "x");
  HFILE reader = Open("proc.dir", platform::OF_READ | platform::OF_SHARE_DENY_WRITE);
  ASSERT_NE(reader, HFILE_ERROR);
  EXPECT_NE(Open("proc.dir", platform::OF_READ | platform::OF_SHARE_DENY_WRITE), HFILE_ERROR);
  EXPECT_EQ(Open("proc.dir", platform::OF_READWRITE | platform::OF_SHARE_DENY_WRITE), HFILE_ERROR);
  EXPECT_EQ(w::GetLastError(), platform::ERROR_SHARING_VIOLATION);
  EXPECT_EQ(Open("proc.dir", platform::OF_READ | platform::OF_SHARE_EXCLUSIVE), HFILE_ERROR);
  EXPECT_EQ(w::GetLastError(), platform::ERROR_SHARING_VIOLATION);

  HFILE lock = w::OpenLockFile(Path("run.lock").c_str());
  ASSERT_NE(lock, HFILE_ERROR);
  open_.push_back(lock);
  EXPECT_EQ(w::OpenLockFile(Path("run.lock").c_str()), HFILE_ERROR);
  EXPECT_EQ(w::GetLastError(), platform::ERROR_SHARING_VIOLATION);
  // The holder removes its lock file before letting it go.
  EXPECT_TRUE(w::DeleteFileA(Path("run.lock").c_str()));
  w::_lclose(lock);
  open_.pop_back();
  EXPECT_FALSE(w::FindFile(Path("run.lock").c_str()));
}

TEST_F(Win32HostTest, OpeningFailuresCarryTheHostsErrorNumbers) {
  EXPECT_EQ(Open("missing.txt", platform::OF_READ), HFILE_ERROR);
  EXPECT_EQ(w::GetLastError(), platform::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open("no\\such.txt", platform::OF_READ), HFILE_ERROR);
  EXPECT_EQ(w::GetLastError(), platform::ERROR_PATH_NOT_FOUND);

  Write("old.txt", "old");
  EXPECT_EQ(w::CreateNewFile(Path("old.txt").c_str()), HFILE_ERROR);
  EXPECT_EQ(w::GetLastError(), platform::ERROR_FILE_EXISTS);
  EXPECT_EQ(Open("old.txt", platform::OF_CREATE | platform::OF_CREATE_NEW | platform::OF_WRITE), HFILE_ERROR);
  EXPECT_EQ(w::GetLastError(), platform::ERROR_FILE_EXISTS);
  EXPECT_EQ(Read("old.txt"), "old");  // nothing truncated
  EXPECT_EQ(Open("", platform::OF_READ), HFILE_ERROR);  // the folder itself
  EXPECT_EQ(w::GetLastError(), platform::ERROR_ACCESS_DENIED);
}

TEST_F(Win32HostTest, CopyAndMoveReplaceOnlyWhenAsked) {
  Write("a.txt", "new");
  Write("b.txt", "old");
  EXPECT_FALSE(w::CopyFileA(Path("a.txt").c_str(), Path("b.txt").c_str(), 1));
  EXPECT_EQ(w::GetLastError(), platform::ERROR_FILE_EXISTS);
  EXPECT_EQ(Read("b.txt"), "old");
  EXPECT_TRUE(w::CopyFileA(Path("a.txt").c_str(), Path("b.txt").c_str(), 0));
  EXPECT_EQ(Read("b.txt"), "new");
  EXPECT_FALSE(w::FindFile(Path("b.txt.~cp*").c_str()));  // nothing left beside it

  ASSERT_TRUE(w::SetFileAttributesA(Path("b.txt").c_str(), platform::FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(w::CopyFileA(Path("a.txt").c_str(), Path("b.txt").c_str(), 0));
  EXPECT_EQ(w::GetLastError(), platform::ERROR_ACCESS_DENIED);
  ASSERT_TRUE(w::SetFileAttributesA(Path("b.txt").c_str(), platform::FILE_ATTRIBUTE_NORMAL));

  Write("c.txt", "third");
  EXPECT_FALSE(w::MoveFileA(Path("c.txt").c_str(), Path("b.txt").c_str()));
  EXPECT_EQ(w::GetLastError(), platform::ERROR_ALREADY_EXISTS);
  EXPECT_TRUE(w::MoveFileExA(Path("c.txt").c_str(), Path("b.txt").c_str(), platform::MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(Read("b.txt"), "third");
  EXPECT_FALSE(w::FindFile(Path("c.txt").c_str()));
}

TEST_F(Win32HostTest, DeleteFileIfUnusedLeavesFilesInUse) {
  Write("busy.tmp", "x");
  HFILE holder = Open("busy.tmp", platform::OF_READ | platform::OF_SHARE_DENY_NONE);
  ASSERT_NE(holder, HFILE_ERROR);
  EXPECT_FALSE(w::DeleteFileIfUnused(Path("busy.tmp").c_str()));
  EXPECT_EQ(w::GetLastError(), platform::ERROR_SHARING_VIOLATION);
  Close(holder);
  ASSERT_TRUE(w::SetFileAttributesA(Path("busy.tmp").c_str(), platform::FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(w::DeleteFileIfUnused(Path("busy.tmp").c_str()));
  EXPECT_EQ(w::GetLastError(), platform::ERROR_ACCESS_DENIED);
  ASSERT_TRUE(w::SetFileAttributesA(Path("busy.tmp").c_str(), platform::FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(w::DeleteFileIfUnused(Path("busy.tmp").c_str()));
  EXPECT_FALSE(w::FindFile(Path("busy.tmp").c_str()));
}

TEST_F(Win32HostTest, ProfileFolderAndModuleQueries) {
  Write("orvik.ini", "[startup]\r\nprocdir = C:\\orvik\\proc\\\r\n");
  char value[64];
  EXPECT_EQ(w::GetPrivateProfileStringA("Startup", "PROCDIR", "none", value, sizeof value,
                                        Path("orvik.ini").c_str()),
            14u);
  EXPECT_STREQ(value, "C:\\orvik\\proc\\");
  w::GetPrivateProfileStringA("startup", "picdir", "none", value, sizeof value, Path("orvik.ini").c_str());
  EXPECT_STREQ(value, "none");

  EXPECT_TRUE(w::DirectoryExists(dir_.c_str()));
  EXPECT_FALSE(w::DirectoryExists(Path("orvik.ini").c_str()));
  EXPECT_EQ(w::GetFileAttributesA(Path("missing").c_str()), platform::INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(w::_access(Path("missing").c_str(), 0), -1);
  EXPECT_EQ(w::CrtErrno(), platform::CRT_ENOENT);

  // Relative paths are taken against the current directory.
  char before[platform::MAX_PATH], now[platform::MAX_PATH];
  ASSERT_NE(w::_getcwd(before, sizeof before), nullptr);
  ASSERT_EQ(w::_chdir(dir_.c_str()), 0);
  ASSERT_NE(w::_getcwd(now, sizeof now), nullptr);
  EXPECT_EQ(std::string(now) + "\\", dir_);
  EXPECT_EQ(w::GetPrivateProfileStringA("startup", "procdir", "", value, sizeof value, ".\\orvik.ini"), 14u);
  EXPECT_EQ(w::_chdir(before), 0);
  EXPECT_EQ(w::_chdir(Path("missing").c_str()), -1);
  EXPECT_EQ(w::CrtErrno(), platform::CRT_ENOENT);

  char module[platform::MAX_PATH];
  platform::DWORD length = w::GetModuleFileNameA(nullptr, module, sizeof module);
  ASSERT_GT(length, 4u);
  EXPECT_EQ(std::string(module + length - 4), ".exe");
  EXPECT_EQ(module[1], ':');  // the machine's own path, with its drive
}

TEST_F(Win32HostTest, WinExecStartsProgramsWithTheChildEnvironment) {
  EXPECT_EQ(w::WinExec(Path("no_such_program.exe").c_str(), platform::SW_HIDE), 2u);

  w::SetChildEnvironment("ORVIK_PROBE", "seen");
  std::string command = "cmd /c echo %ORVIK_PROBE%> " + Path("out.part") + " && move " + Path("out.part") +
                        " " + Path("out.txt");
  EXPECT_GT(w::WinExec(command.c_str(), platform::SW_HIDE), 31u);
  // The child runs on its own: wait for its file to appear whole.
  while (!w::FindFile(Path("out.txt").c_str())) w::Sleep(20);
  EXPECT_EQ(Read("out.txt").substr(0, 4), "seen");
}

// The platform's own calls reach the host through the default backend.
TEST_F(Win32HostTest, DescriptorReadsTheFileAndClosingItClosesTheHandle) {
  Write("data.txt", "payload");
  OFSTRUCT of;
  HFILE file = platform::OpenFile(Path("data.txt").c_str(), &of, platform::OF_READ | platform::OF_SHARE_EXCLUSIVE);
  ASSERT_NE(file, HFILE_ERROR);
  int fd = platform::CrtDescriptor(file);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(platform::ReleaseHandle(file));
  char buffer[16] = {};
  EXPECT_EQ(::_read(fd, buffer, sizeof buffer), 7);
  EXPECT_EQ(std::string(buffer), "payload");
  EXPECT_EQ(::_close(fd), 0);
  // The exclusive handle is gone with the descriptor.
  EXPECT_EQ(Read("data.txt"), "payload");
  EXPECT_EQ(platform::CrtDescriptor(HFILE_ERROR), -1);
}

TEST_F(Win32HostTest, GuardBesideAWriterKeepsTheFileFromDeletionButNotFromRenaming) {
  OFSTRUCT of;
  std::string part = Path("file.part");
  HFILE writer = platform::OpenFile(part.c_str(), &of,
                                    platform::OF_CREATE | platform::OF_CREATE_NEW | platform::OF_WRITE |
                                        platform::OF_SHARE_DENY_NONE);
  ASSERT_NE(writer, HFILE_ERROR);
  HFILE guard = platform::OpenGuard(writer, part.c_str());
  ASSERT_NE(guard, HFILE_ERROR);
  EXPECT_EQ(platform::_lwrite(writer, "data", 4), 4u);
  EXPECT_EQ(platform::_lclose(writer), 0);
  EXPECT_FALSE(platform::DeleteFileIfUnused(part.c_str()));
  EXPECT_TRUE(platform::MoveFileExA(part.c_str(), Path("file.txt").c_str(), platform::MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(platform::_lclose(guard), 0);
  EXPECT_EQ(Read("file.txt"), "data");
}

TEST_F(Win32HostTest, BatchPutsFlushedFilesInPlaceAndDropsThoseThatFailToFlush) {
  Write("a.txt", "old a");
  Write("b.txt", "old b");
  Write("a.new", "new a");
  Write("b.new", "new b");
  std::vector<std::string> flushed;
  platform::ScopedFlushHook hook([&](platform::FlushScope scope, const std::string& path) {
    flushed.push_back(path);
    // The volume cannot be flushed as a whole; b.new not at all.
    return scope == platform::FlushScope::kFile && path != Path("b.new") ? platform::TRUE : platform::FALSE;
  });
  platform::ReplaceBatch batch;
  batch.Add(Path("a.new"), Path("a.txt"));
  batch.Add(Path("b.new"), Path("b.txt"));
  std::vector<platform::ReplaceBatch::Failure> failures = batch.PutInPlace();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].written, Path("b.new"));
  EXPECT_FALSE(failures[0].flushed);
  EXPECT_EQ(failures[0].error, platform::ERROR_WRITE_FAULT);
  EXPECT_EQ(Read("a.txt"), "new a");
  EXPECT_EQ(Read("b.txt"), "old b");
  EXPECT_FALSE(w::FindFile(Path("b.new").c_str()));
  EXPECT_EQ(flushed, (std::vector<std::string>{Path("a.new"), Path("a.new"), Path("b.new")}));
  EXPECT_FALSE(platform::FlushFileBuffers(HFILE_ERROR));
}

TEST_F(Win32HostTest, TranscriptLinesAreAppended) {
  ASSERT_EQ(::_putenv_s("ORVIK_TRANSCRIPT", Path("transcript.txt").c_str()), 0);
  platform::TranscriptLine("window 1050 \"Welcome\"");
  platform::TranscriptLine("end 1050 1");
  ASSERT_EQ(::_putenv_s("ORVIK_TRANSCRIPT", ""), 0);
  EXPECT_EQ(Read("transcript.txt"), "window 1050 \"Welcome\"\nend 1050 1\n");
}

}  // namespace
