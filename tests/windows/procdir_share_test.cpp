// Two real processes on one proc.dir through the system's share modes: an
// installer that writes keeps every other opener out, readers share, and the
// index is free again once the holder closes it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "installer/procdir/procdir_open.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/process.h"

using platform::HFILE;
using platform::HFILE_ERROR;

namespace {

std::string ReadText(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[256];
    size_t n = std::fread(buffer, 1, sizeof buffer, f);
    text.assign(buffer, n);
    std::fclose(f);
  }
  return text;
}

class ShareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[platform::MAX_PATH];
    ASSERT_GT(platform::GetTempPathA(sizeof temp, temp), 0u);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Process numbers come round again quickly under Wine: the tick count
    // keeps a folder another run left from being taken for this one's.
    dir_ = std::string(temp) + "orvik_share_" + std::to_string(platform::GetCurrentProcessId()) + "_" +
           std::to_string(platform::GetTickCount()) + "_" + info->name();
    ASSERT_EQ(platform::_mkdir(dir_.c_str()), 0);
    index_ = dir_ + "\\proc.dir";
    // Two 75-byte records: whatever they hold, the holder counts them.
    FILE* f = std::fopen(index_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(std::string(150, 'x').c_str(), f);
    std::fclose(f);
  }
  void TearDown() override {
    for (const char* name : {"proc.dir", "opened.txt", "release.txt", "closed.txt"})
      platform::DeleteFileA((dir_ + "\\" + name).c_str());
    platform::_rmdir(dir_.c_str());
  }

  // Starts the holder and waits for its report of the opening.
  std::string Hold(const char* mode) {
    char self[platform::MAX_PATH];
    platform::DWORD length = platform::GetModuleFileNameA(nullptr, self, sizeof self);
    std::string program(self, length);
    program = program.substr(0, program.find_last_of('\\') + 1) + "procdir_share_holder.exe";
    std::string command = "\"" + program + "\" \"" + index_ + "\" " + mode + " \"" + dir_ + "\"";
    if (platform::WinExec(command.c_str(), platform::SW_HIDE) <= 31) return "not started";
    return WaitFor("opened.txt");
  }
  std::string WaitFor(const char* name) {
    const std::string path = dir_ + "\\" + name;
    while (!platform::FindFile(path.c_str())) platform::Sleep(10);
    return ReadText(path);
  }
  // Lets the holder go and waits until it has closed the index.
  std::string Release() {
    FILE* f = std::fopen((dir_ + "\\release.txt").c_str(), "wb");
    if (f != nullptr) std::fclose(f);
    std::string closed = WaitFor("closed.txt");
    platform::DeleteFileA((dir_ + "\\opened.txt").c_str());
    platform::DeleteFileA((dir_ + "\\release.txt").c_str());
    platform::DeleteFileA((dir_ + "\\closed.txt").c_str());
    return closed;
  }
  // Opens as the installer does for writing (mode "w") or reading ("r");
  // the error of a refused opening is left in *error.
  HFILE OpenAs(platform::UINT style, platform::DWORD* error) {
    platform::OFSTRUCT of;
    HFILE file = platform::OpenFile(index_.c_str(), &of, style);
    *error = platform::GetLastError();
    return file;
  }

  std::string dir_, index_;
};

constexpr platform::UINT kWriter = platform::OF_READWRITE | platform::OF_SHARE_DENY_WRITE;
constexpr platform::UINT kReader = platform::OF_READ | platform::OF_SHARE_DENY_WRITE;

TEST_F(ShareTest, AWriterInAnotherProcessKeepsWritersAndReadersOut) {
  ASSERT_EQ(Hold("w"), "open 2");
  platform::DWORD error = 0;
  EXPECT_EQ(OpenAs(kWriter, &error), HFILE_ERROR);
  EXPECT_EQ(error, platform::ERROR_SHARING_VIOLATION);
  EXPECT_EQ(OpenAs(kReader, &error), HFILE_ERROR);
  EXPECT_EQ(error, platform::ERROR_SHARING_VIOLATION);
  EXPECT_EQ(Release(), "closed 1");

  HFILE file = procdir::ProcDirOpen(index_.c_str(), "w");
  ASSERT_NE(file, HFILE_ERROR);
  EXPECT_EQ(procdir::ProcDirRecordCount(), 2u);
  EXPECT_EQ(procdir::ProcDirClose(file), 1);
}

TEST_F(ShareTest, ReadersShareAndKeepAWriterOut) {
  ASSERT_EQ(Hold("r"), "open 2");
  platform::DWORD error = 0;
  HFILE reader = OpenAs(kReader, &error);
  EXPECT_NE(reader, HFILE_ERROR);
  EXPECT_EQ(OpenAs(kWriter, &error), HFILE_ERROR);
  EXPECT_EQ(error, platform::ERROR_SHARING_VIOLATION);
  platform::_lclose(reader);
  EXPECT_EQ(Release(), "closed 1");
  platform::DWORD ignored = 0;
  HFILE writer = OpenAs(kWriter, &ignored);
  EXPECT_NE(writer, HFILE_ERROR);
  platform::_lclose(writer);
}

}  // namespace
