// Two processes on one index: a writer keeps every other opener out (the
// busy path and its Sharing Violation box), readers share.
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_open.h"
#include "testing/procdir_test.h"
#include "testing/program_runner.h"
#include "ui/msgbox.h"

using namespace procdir_test;
using platform::HFILE;

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The helper program holding the index in a process of its own.
class Holder : public orvik_testing::ChildProgram {
 public:
  Holder(const std::string& path, const std::string& mode, const std::map<std::string, std::string>& env = {})
      : ChildProgram(PROCDIR_LOCK_HOLDER, {path, mode}, env) {}

  // Lets go of the index; returns the helper's report.
  std::string Release() {
    if (!InputOpen()) return "";
    Write("close\n");
    CloseInput();
    return ReadLine();
  }
};

class LockTest : public ProcDirTest {
 protected:
  void SetUp() override {
    ProcDirTest::SetUp();
    WriteIndex(EntryRecords('E', "1.pro", {"A"}) + EntryRecords('H', "2.pro", {"B", "C"}));
  }
};

TEST_F(LockTest, AWriterKeepsOtherWritersAndReadersOut) {
  Holder other(IndexPath(), "w");
  ASSERT_EQ(other.ReadLine(), "open 3");
  for (const char* mode : {"w", "r"}) {
    ClearBoxes();
    Answer({ui::IDCANCEL, ui::IDOK});
    Clock::time_point start = Clock::now();
    EXPECT_EQ(Open(mode), -1) << mode;
    EXPECT_GE(MsSince(start), 2490) << mode;
    std::vector<Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u) << mode;
    EXPECT_EQ(boxes[0].caption, "Sharing Violation");
    EXPECT_EQ(boxes[0].text,
              "Sharing violation accessing file \"C:\\proc\\proc.dir\".\n"
              "Close the file in use by another application and retry, or cancel the operation.");
    EXPECT_EQ(MessageNumber(boxes[1]), 911);
  }
  EXPECT_EQ(other.Release(), "closed 1");
  EXPECT_EQ(other.Wait(), 0);
}

TEST_F(LockTest, ReadersShareAndAWriterWaitsForThemToLetGo) {
  Holder reader(IndexPath(), "r");
  ASSERT_EQ(reader.ReadLine(), "open 3");
  ASSERT_NE(Open("r"), -1);
  EXPECT_TRUE(Boxes().empty());  // a refused reader would have been told after its retries
  procdir::ProcDirEntry entry = Names({"c"});
  ASSERT_EQ(procdir::ProcDirFind(handle_, entry), 1);
  EXPECT_STREQ(entry.fileName, "2.pro");
  Close();

  // A writer is refused while the reader holds it; the reader closes and
  // the operator's Retry gets through.
  std::string released;
  OnBox([&](const Box& box) {
    if (box.caption != "Sharing Violation") return ui::IDCANCEL;
    released = reader.Release();
    return ui::IDRETRY;
  });
  ASSERT_NE(Open("w"), -1);
  EXPECT_EQ(released, "closed 1");
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(reader.Wait(), 0);
}

TEST_F(LockTest, TheOtherInstallerGetsTheBoxWhileThisOneWrites) {
  ASSERT_NE(Open("w"), -1);
  std::string script = dir_ + "/answers.txt";
  orvik_testing::WriteFile(script,
                "box contains \"Sharing violation accessing file\" Cancel\n"
                "box contains \"could not be opened\" OK\n");
  std::string transcript = dir_ + "/transcript.txt";
  Clock::time_point start = Clock::now();
  Holder other(IndexPath(), "r", {{"ORVIK_UI", "script"}, {"ORVIK_SCRIPT", script}, {"ORVIK_TRANSCRIPT", transcript}});
  EXPECT_EQ(other.ReadLine(), "failed");
  EXPECT_EQ(other.Wait(), 1);
  EXPECT_GE(MsSince(start), 2490);
  std::string log = orvik_testing::ReadFile(transcript);
  EXPECT_NE(log.find("box \"Sharing Violation\" \"Sharing violation accessing file \\\"C:\\\\proc\\\\proc.dir\\\".\\n"
                     "Close the file in use by another application and retry, or cancel the operation.\""),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("answer Cancel"), std::string::npos) << log;
  EXPECT_NE(log.find("box \"ORVIK Error 911\" \"The procedure index C:\\\\proc\\\\proc.dir could not"), std::string::npos)
      << log;
  // This installer's index is untouched and still open for writing.
  procdir::ProcDirEntry entry = Names({"New"}, procdir::PD_KIND_E);
  ASSERT_EQ(procdir::ProcDirAdd(handle_, entry), 1);
  EXPECT_STREQ(entry.fileName, "3.pro");
}

}  // namespace
