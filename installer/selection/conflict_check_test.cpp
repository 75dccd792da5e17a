// The name-conflict check against prepared proc.dir files: which dialog it
// shows, what the dialogs list, what the answers mean, and that the index is
// never written.
#include "installer/selection/conflict_check.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "installer/procdir/procdir_open.h"
#include "testing/selection_test.h"

namespace {

using seltest::Entry;
using seltest::Record;

constexpr const char* kIndex = "C:\\orvik\\proc\\proc.dir";

class ConflictCheck : public ::testing::Test {
 protected:
  void Open(const std::string& contents) {
    box.MakeDir("C:\\orvik\\proc");
    box.Write(kIndex, contents);
    original = contents;
    index = procdir::ProcDirOpen(kIndex, "w");
    ASSERT_NE(index, -1);
  }
  void TearDown() override {
    if (index == -1) return;
    EXPECT_EQ(procdir::ProcDirClose(index), 1);
    // The check only reads the index.
    EXPECT_EQ(box.Read(kIndex), original);
  }
  int Check(std::initializer_list<const char*> names) {
    catalogue::StringList aliases;
    for (const char* n : names) aliases.AddTail(n);
    return selection::CheckProcConflicts(index, aliases, always, nullptr);
  }

  seltest::Sandbox box;
  platform::HFILE index = -1;
  std::uint8_t always = 0;
  std::string original;
};

TEST_F(ConflictCheck, NothingInstalledKeepsTheSelectionWithoutADialog) {
  Open("");
  box.Answers("");
  EXPECT_EQ(Check({"A", "B"}), 1);
  EXPECT_EQ(box.TranscriptCount("window "), 0);
  EXPECT_EQ(box.TranscriptCount("box "), 0);
}

TEST_F(ConflictCheck, OtherProceduresInstalledDoNotMatter) {
  Open(Entry('E', "1.pro", {"X", "Y"}) + Entry('H', "2.pro", {"AB"}));
  box.Answers("");
  EXPECT_EQ(Check({"A", "B"}), 1);
  EXPECT_EQ(box.TranscriptCount("window "), 0);
  EXPECT_EQ(Check({}), 1);
}

TEST_F(ConflictCheck, FullyInstalledProcedureAsksConfirmOverwrite) {
  Open(Entry('E', "4.pro", {"A", "B"}));
  box.Answers(
      "102 click 1\n"
      "102 click 7\n"
      "102 click 1044\n");
  EXPECT_EQ(Check({"A", "B"}), 1);
  EXPECT_EQ(always, 0);
  EXPECT_EQ(Check({"A", "B"}), 0);
  EXPECT_EQ(always, 0);
  EXPECT_EQ(Check({"A", "B"}), 1);
  EXPECT_EQ(always, 1);
  EXPECT_TRUE(box.TranscriptHas("window 102 \"ORVIK - Procedure Installation - Confirm Overwrite\""));
  EXPECT_EQ(box.TranscriptCount("window 102 "), 3);
  // Once Always Overwrite was chosen the question is not asked again.
  EXPECT_EQ(Check({"B", "A"}), 1);
  EXPECT_EQ(box.TranscriptCount("window 102 "), 3);
}

TEST_F(ConflictCheck, ClosingConfirmOverwriteDeselectsWithMessage9225) {
  Open(Entry('E', "4.pro", {"A", "B"}));
  box.Answers("102 close\nbox contains \"ended unexpectedly\" OK\n");
  EXPECT_EQ(Check({"A", "B"}), 0);
  EXPECT_TRUE(box.TranscriptHas("end 102 2"));
  EXPECT_EQ(box.TranscriptCount("box \"ORVIK Error 9225\""), 1);
}

TEST_F(ConflictCheck, LetterCaseOfNamesDoesNotMatter) {
  Open(Entry('E', "4.pro", {"Digital Meter", "DMM B"}));
  box.Answers("102 click 7\n");
  EXPECT_EQ(Check({"DIGITAL METER", "dmm b"}), 0);
  EXPECT_EQ(box.TranscriptCount("window 102 "), 1);
}

TEST_F(ConflictCheck, NameLongerThanTheIndexHoldsIsLookedUpByItsFirst55Characters) {
  std::string stored(55, 'N');
  Open(Entry('E', "4.pro", {stored}));
  box.Answers("102 click 1\n");
  std::string longer = stored + "TAIL";
  catalogue::StringList aliases;
  aliases.AddTail(longer);
  EXPECT_EQ(selection::CheckProcConflicts(index, aliases, always, nullptr), 1);
  EXPECT_EQ(box.TranscriptCount("window 102 "), 1);
}

TEST_F(ConflictCheck, ExtraAliasShowsConflict1WithBothNameLists) {
  Open(Entry('E', "4.pro", {"A", "B"}));
  box.Answers("110 click 6\n110 click 7\n");
  EXPECT_EQ(Check({"A", "B", "C"}), 1);
  EXPECT_EQ(Check({"A", "B", "C"}), 0);
  EXPECT_TRUE(box.TranscriptHas("window 110 \"ORVIK Procedure Installation - Procedure Name Conflict [1]\""));
  EXPECT_EQ(box.TranscriptCount("field 1008 \"A\\r\\nB\\r\\n\""), 2);
  EXPECT_EQ(box.TranscriptCount("field 1009 \"A\\r\\nB\\r\\nC\\r\\n\""), 2);
  EXPECT_EQ(box.TranscriptCount("window 102 "), 0);
}

TEST_F(ConflictCheck, ClosingConflict1DeselectsWithMessage9225) {
  Open(Entry('E', "4.pro", {"A", "B"}));
  box.Answers("110 close\nbox contains \"ended unexpectedly\" OK\n");
  EXPECT_EQ(Check({"A", "B", "C"}), 0);
  EXPECT_EQ(box.TranscriptCount("box \"ORVIK Error 9225\""), 1);
}

TEST_F(ConflictCheck, EqualCountButForeignNameAsksAfterTheLoop) {
  // A and B are found in an entry of three names; C is not installed.
  Open(Entry('E', "4.pro", {"A", "B", "X"}));
  box.Answers("110 click 7\n110 click 7\n");
  EXPECT_EQ(Check({"A", "B", "C"}), 0);
  EXPECT_TRUE(box.TranscriptHas("field 1008 \"A\\r\\nB\\r\\nX\\r\\n\""));
  // The alias order does not change which entry is listed.
  EXPECT_EQ(Check({"C", "B", "A"}), 0);
  EXPECT_TRUE(box.TranscriptHas("field 1009 \"C\\r\\nB\\r\\nA\\r\\n\""));
  EXPECT_EQ(box.TranscriptCount("field 1008 \"A\\r\\nB\\r\\nX\\r\\n\""), 2);
}

TEST_F(ConflictCheck, AlwaysOverwriteDoesNotAnswerConflict1) {
  Open(Entry('E', "4.pro", {"A", "B"}));
  always = 1;
  box.Answers("110 click 7\n");
  EXPECT_EQ(Check({"A", "B", "C"}), 0);
  EXPECT_EQ(box.TranscriptCount("window 110 "), 1);
}

TEST_F(ConflictCheck, AliasesInTwoInstalledFilesAreRefusedWithConflict2) {
  Open(Entry('E', "1.pro", {"A", "Y"}) + Entry('E', "2.pro", {"B", "Z"}));
  always = 1;
  box.Answers("111 click 1\n111 close\n");
  EXPECT_EQ(Check({"A", "B"}), 0);
  EXPECT_EQ(Check({"A", "B"}), 0);
  EXPECT_TRUE(box.TranscriptHas("window 111 \"ORVIK - Procedure Installation - Procedure Name Conflict [2]\""));
  EXPECT_EQ(box.TranscriptCount("field 1008 \"A\\r\\nB\\r\\n\""), 2);
  // Neither its OK nor its close box is an unexpected end.
  EXPECT_EQ(box.TranscriptCount("box "), 0);
  EXPECT_EQ(box.TranscriptCount("window 102 "), 0);
}

TEST_F(ConflictCheck, FileNamesAreComparedWithLetterCase) {
  // Two entries whose file names differ only in case are two files.
  Open(Entry('E', "1.pro", {"A", "Y"}) + Entry('E', "1.PRO", {"B", "Z"}));
  box.Answers("111 click 1\n");
  EXPECT_EQ(Check({"A", "B"}), 0);
  EXPECT_EQ(box.TranscriptCount("window 111 "), 1);
}

TEST_F(ConflictCheck, TheFirstConflictStopsTheCheck) {
  // A's entry has another name count: Conflict [1] at once, and the later
  // alias in another file does not add Conflict [2].
  Open(Entry('E', "1.pro", {"A"}) + Entry('E', "2.pro", {"B", "Z"}));
  box.Answers("110 click 6\n");
  EXPECT_EQ(Check({"A", "B"}), 1);
  EXPECT_TRUE(box.TranscriptHas("field 1008 \"A\\r\\n\""));
  EXPECT_EQ(box.TranscriptCount("window 111 "), 0);
}

TEST_F(ConflictCheck, FailedLookupIsReportedAndCountsAsNotInstalled) {
  // The entry holding A never ends: reading it fails (902); giving up there
  // makes the lookup fail.
  Open(Entry('E', "2.pro", {"B"}) + Record(' ', 'E', true, false, "1.pro", "A"));
  box.Answers(
      "box contains \"could not be read\" Cancel\n"
      "box contains \"could not be looked up\" OK\n");
  EXPECT_EQ(Check({"A"}), 1);
  EXPECT_EQ(box.TranscriptCount("box \"ORVIK Error 9222\""), 1);
  EXPECT_EQ(box.TranscriptCount("window "), 0);

  // With B installed in an entry of one name: B found, A not: Conflict [1].
  box.TranscriptFile().Clear();
  box.Answers(
      "box contains \"could not be read\" Cancel\n"
      "box contains \"could not be looked up\" OK\n"
      "110 click 7\n");
  EXPECT_EQ(Check({"A", "B"}), 0);
  EXPECT_TRUE(box.TranscriptHas("field 1008 \"B\\r\\n\""));
}

}  // namespace
