// ProcDirOpen, ProcDirClose and OpenFileWithRetry within one process.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "installer/procdir/procdir_open.h"
#include "testing/procdir_test.h"
#include "installer/procdir/procdir_testing.h"
#include "platform/flush.h"
#include "platform/hfile.h"
#include "ui/dialog.h"
#include "ui/msgbox.h"
#include "testing/host_platform.h"
#include "testing/host_files.h"

using namespace procdir_test;
using platform::HFILE;

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

const char* kSharingText =
    "Sharing violation accessing file \"C:\\proc\\proc.dir\".\n"
    "Close the file in use by another application and retry, or cancel the operation.";

class OpenTest : public ProcDirTest {
 protected:
  // Holds the index the way another program would, refusing the installer.
  HFILE Block(platform::UINT style = platform::OF_READWRITE | platform::OF_SHARE_DENY_WRITE) {
    platform::OFSTRUCT of;
    HFILE held = platform::OpenFile(IndexPath(), &of, style);
    EXPECT_NE(held, platform::HFILE_ERROR);
    return held;
  }
};

TEST_F(OpenTest, WriteModeCreatesMissingIndex) {
  ASSERT_FALSE(std::filesystem::exists(IndexHost()));
  HFILE file = Open("w");
  ASSERT_NE(file, -1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(std::filesystem::exists(IndexHost()));
  EXPECT_EQ(std::filesystem::file_size(IndexHost()), 0u);
  EXPECT_EQ(procdir::ProcDirRecordCount(), 0u);
  EXPECT_TRUE(procdir::ProcDirIsOpen());
  EXPECT_STREQ(procdir::ProcDirOpenPath(), IndexPath());
}

// A link in place of the index is never opened nor created through, in
// either mode, and a pipe there does not hang the open.
TEST_F(OpenTest, LinkOrPipeInPlaceOfTheIndexIsRefused) {
  SKIP_UNLESS_POSIX("links and named pipes");
  const std::string elsewhere = dir_ + "/elsewhere.dat";
  orvik_testing::WriteFile(elsewhere, EntryRecords('E', "1.pro", {"A"}));
  ASSERT_TRUE(orvik_testing::MakeSymlink(elsewhere, IndexHost()));
  for (const char* mode : {"w", "r"}) {
    ClearBoxes();
    EXPECT_EQ(Open(mode), -1) << mode;
    ASSERT_EQ(Messages(), (std::vector<int>{927, 911})) << mode;
    EXPECT_NE(Boxes()[0].text.find("C:\\proc\\proc.dir is a symbolic link"), std::string::npos);
    EXPECT_FALSE(procdir::ProcDirIsOpen());
  }
  EXPECT_EQ(orvik_testing::ReadFile(elsewhere), EntryRecords('E', "1.pro", {"A"}));

  const std::string dangling = dir_ + "/made_through_the_link";
  ASSERT_EQ(::unlink(IndexHost().c_str()), 0);
  ASSERT_TRUE(orvik_testing::MakeSymlink(dangling, IndexHost()));
  ClearBoxes();
  EXPECT_EQ(Open("w"), -1);
  EXPECT_EQ(Messages(), (std::vector<int>{927, 911}));
  EXPECT_FALSE(std::filesystem::exists(dangling));

  ASSERT_EQ(::unlink(IndexHost().c_str()), 0);
  ASSERT_TRUE(orvik_testing::MakeFifo(IndexHost()));
  ClearBoxes();
  EXPECT_EQ(Open("r"), -1);
  EXPECT_EQ(Messages(), (std::vector<int>{928, 911}));
}

TEST_F(OpenTest, ReadModeOfMissingIndexReportsNotFoundThen911) {
  EXPECT_EQ(Open("r"), -1);
  ASSERT_EQ(Messages(), (std::vector<int>{2531, 911}));
  EXPECT_NE(Boxes()[0].text.find("C:\\proc\\proc.dir"), std::string::npos);
  EXPECT_NE(Boxes()[1].text.find("C:\\proc\\proc.dir"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(IndexHost()));
  EXPECT_FALSE(procdir::ProcDirIsOpen());
}

TEST_F(OpenTest, MissingFolderReportsPathNotFound) {
  EXPECT_EQ(procdir::ProcDirOpen("C:\\nowhere\\proc.dir", "r"), -1);
  EXPECT_EQ(Messages(), (std::vector<int>{2532, 911}));
}

TEST_F(OpenTest, ReadOnlyIndexInWriteModeIsAccessDenied) {
  WriteIndex(EntryRecords('E', "1.pro", {"A"}));
  orvik_testing::ChangeMode(IndexHost(), 0444);
  if (!orvik_testing::kPosixHost && std::ofstream(IndexHost(), std::ios::app))
    GTEST_SKIP() << "this Windows host lets read-only files be written (Wine run as root)";
  EXPECT_EQ(Open("w"), -1);
  EXPECT_EQ(Messages(), (std::vector<int>{2533, 911}));
  // Reading it is fine.
  ClearBoxes();
  EXPECT_NE(Open("r"), -1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(procdir::ProcDirRecordCount(), 1u);
}

TEST_F(OpenTest, OpenErrorsAreClassified) {
  EXPECT_EQ(procdir::ProcDirOpenFailureMessage(2), 2531);
  EXPECT_EQ(procdir::ProcDirOpenFailureMessage(3), 2532);
  EXPECT_EQ(procdir::ProcDirOpenFailureMessage(5), 2533);
  EXPECT_EQ(procdir::ProcDirOpenFailureMessage(19), 2534);
  for (platform::DWORD busy : {32u, 33u, 54u, 65u}) EXPECT_EQ(procdir::ProcDirOpenFailureMessage(busy), 0) << busy;
  for (platform::DWORD other : {0u, 1u, 4u, 6u, 31u, 39u, 112u}) EXPECT_EQ(procdir::ProcDirOpenFailureMessage(other), 2506) << other;
}

TEST_F(OpenTest, BadModeReports917AndCreatesNothing) {
  for (const char* mode : {"a", "R", "", "rw", "w+"}) {
    ClearBoxes();
    EXPECT_EQ(procdir::ProcDirOpen(IndexPath(), mode), -1) << mode;
    ASSERT_EQ(Messages(), (std::vector<int>{917})) << mode;
    EXPECT_NE(Boxes()[0].text.find(std::string("\"") + mode + "\""), std::string::npos) << Boxes()[0].text;
  }
  EXPECT_FALSE(std::filesystem::exists(IndexHost()));
  EXPECT_FALSE(procdir::ProcDirIsOpen());
}

TEST_F(OpenTest, SizeAtTheLimitIsAcceptedOneRecordMoreIsNot) {
  WriteIndex("");
  std::filesystem::resize_file(IndexHost(), 4915200);
  ASSERT_NE(Open("r"), -1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(procdir::ProcDirRecordCount(), 65536u);
  Close();

  std::filesystem::resize_file(IndexHost(), 4915275);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(Open("r"), -1);
  EXPECT_EQ(Messages(), (std::vector<int>{915}));
  EXPECT_FALSE(procdir::ProcDirIsOpen());

  // Going on accepts the file as it is.
  ClearBoxes();
  Answer({ui::IDOK});
  ASSERT_NE(Open("r"), -1);
  EXPECT_EQ(Messages(), (std::vector<int>{915}));
  EXPECT_EQ(procdir::ProcDirRecordCount(), 65537u);
}

TEST_F(OpenTest, PartialRecordReports909) {
  WriteIndex(std::string(100, ' '));
  Answer({ui::IDCANCEL});
  EXPECT_EQ(Open("w"), -1);
  EXPECT_EQ(Messages(), (std::vector<int>{909}));
  EXPECT_FALSE(procdir::ProcDirIsOpen());

  ClearBoxes();
  Answer({ui::IDOK});
  ASSERT_NE(Open("w"), -1);
  EXPECT_EQ(Messages(), (std::vector<int>{909}));
  EXPECT_EQ(procdir::ProcDirRecordCount(), 1u);
}

TEST_F(OpenTest, UnknownSizeReports249Then908) {
  WriteIndex(EntryRecords('E', "1.pro", {"A", "B"}));
  procdir::ProcDirSetSizeQueryForTesting([](HFILE, platform::DWORD* high) {
    if (high) *high = 0;
    platform::SetLastError(platform::ERROR_INVALID_HANDLE);
    return platform::INVALID_FILE_SIZE;
  });
  Answer({ui::IDOK, ui::IDCANCEL});
  EXPECT_EQ(Open("w"), -1);
  ASSERT_EQ(Messages(), (std::vector<int>{249, 908}));
  EXPECT_FALSE(procdir::ProcDirIsOpen());

  // Going on: the size comes from the end of the file.
  ClearBoxes();
  Answer({ui::IDOK, ui::IDOK});
  HFILE file = Open("w");
  ASSERT_NE(file, -1);
  ASSERT_EQ(Messages(), (std::vector<int>{249, 908}));
  EXPECT_NE(Boxes()[0].text.find(std::to_string(file)), std::string::npos) << Boxes()[0].text;
  EXPECT_EQ(procdir::ProcDirRecordCount(), 2u);
}

TEST_F(OpenTest, SecondOpenReports922AndKeepsTheFirst) {
  WriteIndex(EntryRecords('E', "1.pro", {"A"}));
  HFILE first = Open("w");
  ASSERT_NE(first, -1);
  EXPECT_EQ(procdir::ProcDirOpen("C:\\other\\proc.dir", "r"), -1);
  ASSERT_EQ(Messages(), (std::vector<int>{922}));
  std::string text = Boxes()[0].text;
  EXPECT_LT(text.find("C:\\other\\proc.dir"), text.find("C:\\proc\\proc.dir")) << text;
  // The first handle still works.
  char record[75];
  ASSERT_EQ(platform::_llseek(first, 0, 0), 0);
  EXPECT_EQ(platform::_lread(first, record, 75), 75u);
  EXPECT_STREQ(procdir::ProcDirOpenPath(), IndexPath());
}

TEST_F(OpenTest, CloseWithNothingOpenIsQuiet) {
  EXPECT_EQ(procdir::ProcDirClose(12345), 1);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(OpenTest, CloseFreesTheSlot) {
  ASSERT_NE(Open("w"), -1);
  EXPECT_EQ(procdir::ProcDirClose(handle_), 1);
  EXPECT_FALSE(procdir::ProcDirIsOpen());
  EXPECT_STREQ(procdir::ProcDirOpenPath(), "");
  EXPECT_EQ(procdir::ProcDirRecordCount(), 0u);
  // Closed means closed to others too: an exclusive open now succeeds.
  HFILE other = Block();
  platform::_lclose(other);
  ASSERT_NE(Open("r"), -1);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(OpenTest, FailedCloseReports918AndTheAnswerDecides) {
  HFILE real = Open("w");
  ASSERT_NE(real, -1);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirClose(real + 1000), 0);
  ASSERT_EQ(Messages(), (std::vector<int>{918}));
  EXPECT_NE(Boxes()[0].text.find("C:\\proc\\proc.dir"), std::string::npos);
  EXPECT_FALSE(procdir::ProcDirIsOpen());  // the slot is cleared whatever the answer
  platform::_lclose(real);

  real = Open("w");
  ASSERT_NE(real, -1);
  ClearBoxes();
  Answer({ui::IDOK});
  EXPECT_EQ(procdir::ProcDirClose(real + 1000), 1);
  EXPECT_EQ(Messages(), (std::vector<int>{918}));
  platform::_lclose(real);
  handle_ = -1;
}

TEST_F(OpenTest, WrittenIndexIsFlushedBeforeItsLockIsReleased) {
  int flushes = 0;
  bool fail = false;
  std::vector<int> othersRefused;
  platform::ScopedFlushHook watch([&](platform::FlushScope, const std::string&) {
    ++flushes;
    platform::OFSTRUCT of;
    HFILE other = platform::OpenFile(IndexPath(), &of, platform::OF_READWRITE | platform::OF_SHARE_DENY_WRITE);
    othersRefused.push_back(other == platform::HFILE_ERROR && of.nErrCode == platform::ERROR_SHARING_VIOLATION);
    if (other != platform::HFILE_ERROR) platform::_lclose(other);
    return fail ? platform::FALSE : platform::TRUE;
  });
  ASSERT_NE(Open("w"), -1);
  EXPECT_EQ(procdir::ProcDirClose(handle_), 1);
  ASSERT_NE(Open("r"), -1);  // read only: nothing to flush
  EXPECT_EQ(procdir::ProcDirClose(handle_), 1);
  EXPECT_EQ(flushes, 1);
  EXPECT_TRUE(Boxes().empty());

  // A failed flush is reported; the lock goes all the same.
  fail = true;
  ASSERT_NE(Open("w"), -1);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirClose(handle_), 0);
  handle_ = -1;
  EXPECT_EQ(Messages(), (std::vector<int>{918}));
  EXPECT_EQ(othersRefused, (std::vector<int>{1, 1}));
  platform::_lclose(Block());
}

TEST_F(OpenTest, BusyIndexIsTriedFiveTimesThenCancelled) {
  WriteIndex(EntryRecords('E', "1.pro", {"A"}));
  HFILE held = Block();
  std::atomic<bool> cursorSeen{false}, stop{false};
  std::thread watcher([&] {
    while (!stop) {
      if (ui::WaitCursorShown()) cursorSeen = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  Clock::time_point start = Clock::now();
  long long atBox = -1;
  bool cursorAtBox = true;
  OnBox([&](const Box& box) {
    if (box.caption == "Sharing Violation") {
      atBox = MsSince(start);
      cursorAtBox = ui::WaitCursorShown();
    }
    return ui::IDCANCEL;
  });
  EXPECT_EQ(Open("r"), -1);
  stop = true;
  watcher.join();
  platform::_lclose(held);

  std::vector<Box> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Sharing Violation");
  EXPECT_EQ(boxes[0].text, kSharingText);
  EXPECT_EQ(boxes[0].style, ui::MB_ICONEXCLAMATION | ui::MB_RETRYCANCEL);
  EXPECT_EQ(MessageNumber(boxes[1]), 911);
  // Five waits of 500 ms before the box.
  EXPECT_GE(atBox, 2490);
  EXPECT_TRUE(cursorSeen);
  EXPECT_FALSE(cursorAtBox);
  EXPECT_FALSE(ui::WaitCursorShown());
  EXPECT_FALSE(procdir::ProcDirIsOpen());
}

TEST_F(OpenTest, RetryStartsFiveMoreAttempts) {
  WriteIndex(EntryRecords('E', "1.pro", {"A"}) + EntryRecords('H', "2.pro", {"B"}));
  HFILE held = Block(platform::OF_READ | platform::OF_SHARE_DENY_WRITE);  // a reader refuses writers
  Clock::time_point start = Clock::now();
  std::vector<long long> at;
  OnBox([&](const Box& box) {
    if (box.caption != "Sharing Violation") return ui::IDCANCEL;
    at.push_back(MsSince(start));
    if (at.size() == 2) {  // the other program lets go
      platform::_lclose(held);
      held = -1;
    }
    return ui::IDRETRY;
  });
  HFILE file = Open("w");
  ASSERT_NE(file, -1);
  ASSERT_EQ(at.size(), 2u);
  EXPECT_GE(at[1] - at[0], 2490);
  EXPECT_EQ(Messages(), (std::vector<int>{0, 0}));
  EXPECT_EQ(procdir::ProcDirRecordCount(), 2u);
  EXPECT_FALSE(ui::WaitCursorShown());
}

TEST_F(OpenTest, ReadersShare) {
  WriteIndex(EntryRecords('E', "1.pro", {"A"}));
  HFILE reader = Block(platform::OF_READ | platform::OF_SHARE_DENY_WRITE);
  EXPECT_NE(Open("r"), -1);
  EXPECT_TRUE(Boxes().empty());  // a refused reader would have been told after its retries
  platform::_lclose(reader);
}

TEST_F(OpenTest, PumpMessagesWaitsTheWholeTime) {
  Clock::time_point start = Clock::now();
  EXPECT_EQ(procdir::PumpMessages(120), 1);
  EXPECT_GE(MsSince(start), 118);  // the tick count counts whole milliseconds
  EXPECT_EQ(procdir::PumpMessages(0), 1);
}

}  // namespace
