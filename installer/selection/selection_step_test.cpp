// The selection step: proc.dir held open around the page, the end codes'
// steps, the always-overwrite flag per visit, and the fatal stops.
#include "installer/selection/selection_step.h"

#include <gtest/gtest.h>

#include "installer/procdir/procdir_open.h"
#include "testing/selection_test.h"
#include "platform/dos_path.h"

namespace {

using seltest::Entry;
using seltest::Rec;

constexpr const char* kProcDir = "C:\\orvik\\proc\\";
constexpr const char* kIndex = "C:\\orvik\\proc\\proc.dir";

// Whether an index was open each time the selection page took an answer.
std::vector<int> openWhenAnswering;
void NoteIndexOpen(int windowId, const std::string&) {
  if (windowId == 108) openWhenAnswering.push_back(procdir::ProcDirIsOpen() ? 1 : 0);
}

class SelectionStep : public ::testing::Test {
 protected:
  void SetUp() override {
    box.MakeDir(kProcDir);
    seltest::LoadCatalogue(box, catalogue,
                           {Rec{{"DMM 45", "HP 3458"}, "DMM45.PRO", {}, {}, {}, "R520", {}},
                            Rec{{"Meter"}, "METER.PRO", {}, {}, {}, "R520", {}}});
  }
  selection::SelectionResult Step(const std::string& answers, const std::string& procDir = kProcDir) {
    box.Answers(answers);
    return selection::RunSelectionStep(catalogue, procDir, nullptr);
  }

  seltest::Sandbox box;
  catalogue::ProceduresList catalogue;
};

TEST_F(SelectionStep, CancelLeavesAnEmptyIndexAndGoesToConfirmQuit) {
  ASSERT_FALSE(box.Exists(kIndex));
  openWhenAnswering.clear();
  ui::SetBeforeAnswerHook(&NoteIndexOpen);
  EXPECT_EQ(Step("108 click 2\n"), selection::SelectionResult::Quit);
  ui::SetBeforeAnswerHook(nullptr);
  EXPECT_EQ(openWhenAnswering, std::vector<int>{1});
  EXPECT_FALSE(procdir::ProcDirIsOpen());
  EXPECT_TRUE(box.Exists(kIndex));
  EXPECT_EQ(box.Read(kIndex), "");
}

TEST_F(SelectionStep, EndCodesMapToTheNextStep) {
  EXPECT_EQ(Step("108 close\n"), selection::SelectionResult::Quit);
  EXPECT_EQ(Step("108 click 1001\n"), selection::SelectionResult::Back);
  EXPECT_EQ(Step("108 click 1\nbox OK\n"), selection::SelectionResult::DirectoriesAgain);
  EXPECT_EQ(Step("108 toggle 1014 Meter click 1\n"), selection::SelectionResult::Next);
  EXPECT_EQ(std::vector<std::string>(catalogue.xferProcs.begin(), catalogue.xferProcs.end()),
            std::vector<std::string>{"METER.PRO"});
  EXPECT_FALSE(procdir::ProcDirIsOpen());
}

TEST_F(SelectionStep, UnexpectedEndCodeIsReportedAsFailed) {
  box.Answers("box contains \"ended unexpectedly\" OK\nbox OK\n");
  EXPECT_EQ(selection::SelectionEnd(5), selection::SelectionResult::Failed);
  EXPECT_EQ(selection::SelectionEnd(-1), selection::SelectionResult::Failed);
  EXPECT_EQ(box.TranscriptCount("box \"ORVIK Error 9243\""), 2);
  EXPECT_EQ(selection::SelectionEnd(ui::IDOK), selection::SelectionResult::Next);
}

TEST_F(SelectionStep, AlwaysOverwriteIsClearedOnEveryVisit) {
  std::string installed = Entry('E', "1.pro", {"DMM 45", "HP 3458"});
  box.Write(kIndex, installed);
  EXPECT_EQ(Step("108 toggle 1014 \"DMM 45\"\n102 click 1044\n108 click 1001\n"), selection::SelectionResult::Back);
  EXPECT_EQ(Step("108 toggle 1014 \"HP 3458\"\n102 click 7\n108 click 1\nbox OK\n"),
            selection::SelectionResult::DirectoriesAgain);
  EXPECT_EQ(box.TranscriptCount("window 102 "), 2);
  // The conflict check only reads the index.
  EXPECT_EQ(box.Read(kIndex), installed);
}

TEST_F(SelectionStep, TheOperatorsChoiceIsNotRememberedBetweenVisits) {
  EXPECT_EQ(Step("108 toggle 1014 Meter click 1001\n"), selection::SelectionResult::Back);
  box.TranscriptFile().Clear();
  EXPECT_EQ(Step("108 click 2\n"), selection::SelectionResult::Quit);
  EXPECT_TRUE(box.TranscriptHas("item 1014 3 \"Meter\" 0"));
}

using SelectionStepDeathTest = SelectionStep;

TEST_F(SelectionStepDeathTest, IndexThatCannotBeOpenedStopsWithStatus3) {
  // Drive Q: is not mapped: proc.dir can be neither created nor opened.
  seltest::RecordingFrontend* recorder = &seltest::InstallRecorder();
  recorder->Echo(true);
  EXPECT_EXIT(selection::RunSelectionStep(catalogue, "Q:\\proc\\", nullptr), ::testing::ExitedWithCode(3),
              "ORVIK Error 9242");
  std::string tooLong = "C:\\" + std::string(250, 'd') + "\\";
  EXPECT_EXIT(selection::RunSelectionStep(catalogue, tooLong, nullptr), ::testing::ExitedWithCode(3),
              "ORVIK Error 9242");
}

}  // namespace
