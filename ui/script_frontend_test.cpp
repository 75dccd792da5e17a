// The script frontend driving the sample dialogs in this process: the
// answer-file rules, the transcript lines and the exits with status 86.
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "ui/dialog.h"
#include "testing/program_runner.h"
#include "testing/ui_test.h"
#include "testing/wait_until.h"
#include "ui/window_stack.h"

namespace ui {
namespace {

using orvik_testing::UiTest;
using V = std::vector<std::string>;

const V kSettingsOpened = {
    "window 100 \"Sample Settings\"",
    "field 1001 \"C:\\\\ORVIK\\\\\"",
    "field 1002 \"3\"",
    "field 1003 \"\"",
    "item 1004 1 \"ALPHA\" 0",
    "item 1004 2 \"BETA\" 0",
    "item 1004 3 \"GAMMA\" 0",
    "item 1004 4 \"Delta Two\" 0",
    "item 1004 5 \"C:\\\\PROC\\\\X\" 0",
};

V Concat(V a, const V& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

using ScriptFlow = UiTest;

TEST_F(ScriptFlow, ActionsOfSeveralLinesAndTheirTranscript) {
  Answers(
      "# settings page\n"
      "\n"
      "100 set 1001 \"D:\\New Folder\" toggle 1004 BETA toggle 1004 #4 click 1006\n"
      "   # the question\n"
      "100 click 1007\n"
      "box Yes\n"
      "100 set 1002 42 click 1\n");
  sample::SettingsDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.folder, "D:\\New Folder");
  EXPECT_EQ(dlg.count, 42u);
  EXPECT_EQ(dlg.lastAnswer, IDYES);
  EXPECT_EQ(dlg.selChanges, 2);
  EXPECT_EQ(dlg.GetDlgItemText(sample::IDC_CHOSEN), "kept");
  EXPECT_TRUE(dlg.IsDlgButtonChecked(sample::IDC_GREEN));
  EXPECT_FALSE(dlg.IsDlgButtonChecked(sample::IDC_RED));
  ListBox list = dlg.List(sample::IDC_LIST);
  EXPECT_EQ(list.GetSel(1), 1);
  EXPECT_EQ(list.GetSel(3), 1);
  EXPECT_EQ(list.GetSelCount(), 2);
  EXPECT_EQ(list.GetCaretIndex(), 3);
  EXPECT_EQ(Transcript(), Concat(kSettingsOpened, {
                                                      "answer set 1001 \"D:\\\\New Folder\"",
                                                      "answer toggle 1004 \"BETA\"",
                                                      "answer toggle 1004 \"Delta Two\"",
                                                      "answer click 1006",
                                                      "answer click 1007",
                                                      "box \"Sample Question\" \"Keep the settings?\"",
                                                      "answer Yes",
                                                      "answer set 1002 \"42\"",
                                                      "answer click 1",
                                                      "end 100 1",
                                                  }));
}

TEST_F(ScriptFlow, ToggleTwiceDeselectsAndSelChangeSeesTheCaret) {
  Answers("100 toggle 1004 GAMMA toggle 1004 #1 toggle 1004 #3 close\n");
  sample::SettingsDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ListBox list = dlg.List(sample::IDC_LIST);
  EXPECT_EQ(list.GetSel(2), 0);
  EXPECT_EQ(list.GetSel(0), 1);
  EXPECT_EQ(list.GetCaretIndex(), 2);
  EXPECT_EQ(dlg.selChanges, 3);
  // The last click deselected GAMMA; the field keeps ALPHA.
  EXPECT_EQ(dlg.GetDlgItemText(sample::IDC_CHOSEN), "ALPHA");
  V lines = Transcript();
  V tail(lines.end() - 5, lines.end());
  EXPECT_EQ(tail, (V{"answer toggle 1004 \"GAMMA\"", "answer toggle 1004 \"ALPHA\"", "answer toggle 1004 \"GAMMA\"",
                     "answer close", "end 100 2"}));
}

TEST_F(ScriptFlow, NestedWindowTakesTheNextLinesThenTheOuterLineGoesOn) {
  Answers(
      "100 click 1008 set 1001 after\n"
      "200 set 2001 \"hello world\"\n"
      "200 click 1\n"
      "100 click 2\n");
  sample::SettingsDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.nestedResult, IDOK);
  EXPECT_EQ(dlg.GetDlgItemText(sample::IDC_CHOSEN), "hello world");
  EXPECT_EQ(dlg.GetDlgItemText(sample::IDC_FOLDER), "after");
  EXPECT_EQ(dlg.folder, "C:\\ORVIK\\");  // Cancel exchanges no data
  EXPECT_EQ(Transcript(), Concat(kSettingsOpened, {
                                                      "answer click 1008",
                                                      "window 200 \"Sample Nested\"",
                                                      "field 2001 \"\"",
                                                      "answer set 2001 \"hello world\"",
                                                      "answer click 1",
                                                      "end 200 1",
                                                      "answer set 1001 \"after\"",
                                                      "answer click 2",
                                                      "end 100 2",
                                                  }));
}

TEST_F(ScriptFlow, BoxShownDuringInitialisationComesBeforeTheWindow) {
  Answers("box contains \"settings\" ok\n100 close\n");
  sample::SettingsDlg dlg;
  dlg.askOnInit = true;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  V expected = {"box \"Sample Start\" \"Start with the settings?\"", "answer OK"};
  expected = Concat(expected, kSettingsOpened);
  expected = Concat(expected, {"answer close", "end 100 2"});
  EXPECT_EQ(Transcript(), expected);
}

TEST_F(ScriptFlow, SelfClosingWindowWithoutALineRunsToItsEnd) {
  Answers("100 click 1009\n100 click 1\n");
  sample::SettingsDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.workResult, IDOK);
  V lines = Transcript();
  V tail(lines.begin() + kSettingsOpened.size(), lines.end());
  EXPECT_EQ(tail, (V{"answer click 1009", "window 300 \"Sample Working\"", "end 300 1", "answer click 1",
                     "end 100 1"}));
}

TEST_F(ScriptFlow, SelfClosingWindowOpenedMidLineLetsTheLineGoOn) {
  Answers("100 click 1005 click 1009 click 1006 click 1\n");
  sample::SettingsDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.workResult, IDOK);
  EXPECT_FALSE(dlg.IsDlgButtonChecked(sample::IDC_RED));  // the group's other button
  EXPECT_TRUE(dlg.IsDlgButtonChecked(sample::IDC_GREEN));
  V lines = Transcript();
  V tail(lines.begin() + kSettingsOpened.size(), lines.end());
  EXPECT_EQ(tail, (V{"answer click 1005", "answer click 1009", "window 300 \"Sample Working\"", "end 300 1",
                     "answer click 1006", "answer click 1", "end 100 1"}));
}

TEST_F(ScriptFlow, SelfClosingWindowTakesALineThatNamesIt) {
  Answers("100 click 1009\n300 click 2\n100 click 1\n");
  sample::SettingsDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.workResult, IDCANCEL);
  V lines = Transcript();
  V tail(lines.begin() + kSettingsOpened.size(), lines.end());
  EXPECT_EQ(tail, (V{"answer click 1009", "window 300 \"Sample Working\"", "answer click 2", "end 300 2",
                     "answer click 1", "end 100 1"}));
}

TEST_F(ScriptFlow, BoxOfAWorkerThreadWhileASelfClosingWindowRuns) {
  Answers("box contains \"disk 2\" Yes\n");
  sample::CopyingDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(dlg.cancelled);
  EXPECT_EQ(dlg.GetDlgItemText(sample::IDC_COPY_TEXT), "Waiting for disk 2");
  EXPECT_EQ(Transcript(), (V{"window 301 \"Sample Copying\"", "box \"Sample Disk\" \"Insert disk 2 and answer Yes.\"",
                             "answer Yes", "end 301 1"}));
}

TEST_F(ScriptFlow, CancelOfASelfClosingWindowWaitsForTheWorkersBox) {
  Answers("301 click 2\nbox No\n");
  sample::CopyingDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(dlg.cancelled);
  EXPECT_EQ(dlg.answer.load(), IDNO);
  EXPECT_EQ(Transcript(), (V{"window 301 \"Sample Copying\"", "answer click 2",
                             "box \"Sample Disk\" \"Insert disk 2 and answer Yes.\"", "answer No", "end 301 2"}));
}

TEST_F(ScriptFlow, OptionalLinesForWindowsThatDoNotComeArePassedOver) {
  Answers(
      "? 200 click 1\n"
      "? box contains Keep No\n"  // no box yet: the dialog comes first
      "100 click 1007\n"
      "? box contains \"other text\" No\n"
      "?  box contains Keep Yes\n"
      "100 click 1008\n"
      "? 200 set 2001 nested\n"
      "? 200 click 1\n"
      "? 300 click 2\n"
      "100 click 1\n");
  sample::SettingsDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.lastAnswer, IDYES);
  EXPECT_EQ(dlg.nestedResult, IDOK);
  EXPECT_EQ(dlg.GetDlgItemText(sample::IDC_CHOSEN), "nested");
  V lines = Transcript();
  V tail(lines.begin() + kSettingsOpened.size(), lines.end());
  EXPECT_EQ(tail, (V{"answer click 1007", "box \"Sample Question\" \"Keep the settings?\"", "answer Yes",
                     "answer click 1008", "window 200 \"Sample Nested\"", "field 2001 \"\"",
                     "answer set 2001 \"nested\"", "answer click 1", "end 200 1", "answer click 1", "end 100 1"}));
}

TEST_F(ScriptFlow, SelfClosingWindowTakesOnlyAnOptionalLineThatNamesIt) {
  Answers("100 click 1009\n? 300 click 2\n100 click 1009\n? 200 click 1\n100 click 1\n");
  sample::SettingsDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.workResult, IDOK);  // the second run found a line for window 200 and ran to its end
  V ends;
  for (const std::string& line : Transcript())
    if (line.rfind("end 300 ", 0) == 0) ends.push_back(line);
  EXPECT_EQ(ends, (V{"end 300 2", "end 300 1"}));
}

TEST_F(ScriptFlow, StartsAtTheLineNamedByTheEnvironment) {
  Answers("100 click 2\n# skipped\n100 click 1\n");
  orvik_testing::SetEnv("ORVIK_SCRIPT_LINE", "2");
  ResetFrontendForTesting();
  sample::SettingsDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(ScriptFlow, MissingTemplateGivesMinusOneAndNoTranscript) {
  Answers("999 close\n");
  Dialog dlg(sample::IDD_MISSING);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_FALSE(dlg.Create(nullptr));
  EXPECT_TRUE(Transcript().empty());
}

TEST_F(ScriptFlow, DialogRunsAgainWithFreshControls) {
  Answers("200 set 2001 first click 1\n200 click 1\n");
  sample::NestedDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.note, "first");
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.note, "first");  // exchanged into the new field and back
  EXPECT_EQ(Transcript()[5], "window 200 \"Sample Nested\"");
  EXPECT_EQ(Transcript()[6], "field 2001 \"first\"");
}

std::mutex hookMutex;
std::vector<std::pair<int, std::string>> hookCalls;
void RecordHook(int id, const std::string& caption) {
  std::lock_guard<std::mutex> lock(hookMutex);
  hookCalls.emplace_back(id, caption);
}

TEST_F(ScriptFlow, BeforeAnswerHookSeesEveryWindowThatTakesAnAnswer) {
  hookCalls.clear();
  SetBeforeAnswerHook(&RecordHook);
  Answers("100 click 1007\nbox No\n100 click 1009\n100 close\n");
  sample::SettingsDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  // The working window took no line, so the hook did not see it.
  EXPECT_EQ(hookCalls, (std::vector<std::pair<int, std::string>>{
                           {100, "Sample Settings"}, {0, "Sample Question"}, {100, "Sample Settings"},
                           {100, "Sample Settings"}}));
}

// Timers of a dialog fire while it waits behind a box of another thread.
class TicksBehindBox : public sample::TicksDlg {
 public:
  bool OnInitDialog() override {
    sample::TicksDlg::OnInitDialog();
    asker_ = std::thread([] { ui::MessageBox("Wait a little.", "Sample Wait", MB_OK); });
    // Go on once the box is up and written, so that the dialog waits behind it.
    EXPECT_TRUE(orvik_testing::WaitUntil([] {
      return !detail::ThisThreadOnTop() &&
             orvik_testing::ReadFile(std::getenv("ORVIK_TRANSCRIPT")).find("box ") != std::string::npos;
    }));
    return true;
  }
  ~TicksBehindBox() override {
    if (asker_.joinable()) asker_.join();
  }
  std::thread asker_;
};

std::atomic<TicksBehindBox*> ticking{nullptr};
std::atomic<int> ticksWhenAnswered{-1};
void WaitForTicks(int id, const std::string&) {
  if (id != 0) return;
  EXPECT_TRUE(orvik_testing::WaitUntil([] { return ticking.load()->ticks.load() >= 5; }));
  ticksWhenAnswered.store(ticking.load()->ticks.load());
}

TEST_F(ScriptFlow, TimersFireWhileADialogWaits) {
  Answers("box OK\n400 click 1\n");
  TicksBehindBox dlg;
  ticking.store(&dlg);
  SetBeforeAnswerHook(&WaitForTicks);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_GE(ticksWhenAnswered.load(), 5);
  // The box came up during the initialisation; it was answered while the
  // dialog waited behind it.
  EXPECT_EQ(Transcript(), (V{"box \"Sample Wait\" \"Wait a little.\"", "window 400 \"Sample Ticks\"", "answer OK",
                             "answer click 1", "end 400 1"}));
}

class PumpingTicks : public sample::TicksDlg {
 public:
  void OnOK() override {
    int before = ticks.load();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PumpMessages(120), 1);
    elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                    .count();
    pumped = ticks.load() - before;
    sample::TicksDlg::OnOK();
  }
  int pumped = 0;
  long long elapsedMs = 0;
};

TEST_F(ScriptFlow, PumpMessagesFiresTheThreadsTimersForTheWholeTime) {
  Answers("400 click 1\n");
  PumpingTicks dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_GE(dlg.elapsedMs, 120);
  EXPECT_GE(dlg.pumped, 5);
  EXPECT_EQ(PumpMessages(0), 1);
}

TEST_F(ScriptFlow, WaitCursorIsAFlag) {
  EXPECT_EQ(SetWaitCursor(true), 1);
  EXPECT_TRUE(WaitCursorShown());
  EXPECT_EQ(SetWaitCursor(false), 1);
  EXPECT_FALSE(WaitCursorShown());
}

// --- Exits with status 86 -------------------------------------------------

class ScriptFailure : public UiTest {
 protected:
  // Runs the settings page in the sample program; it must end with 86 and
  // the diagnostic, which also ends the transcript.
  void ExpectFailure(const std::string& answers, const std::string& diagnostic, bool askOnInit = false) {
    Answers(answers);
    std::vector<std::string> args;
    if (askOnInit) args.push_back("ask");
    orvik_testing::RunResult run = orvik_testing::RunProgram(UI_SAMPLE_PATH, args, {}, "");
    EXPECT_EQ(run.exitStatus, 86) << run.err;
    EXPECT_NE(orvik_testing::ProgramText(run.err).find(diagnostic), std::string::npos) << run.err;
    V lines = Transcript();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("error \"" + FirstWords(diagnostic), 0), 0u) << lines.back();
  }
  // The start of the diagnostic up to its first quote (quotes are escaped in
  // the transcript).
  static std::string FirstWords(const std::string& text) { return text.substr(0, text.find('"')); }
};

TEST_F(ScriptFailure, LineForAnotherWindow) {
  ExpectFailure("200 click 1\n",
                "the line is for window 200: window 100 \"Sample Settings\", answer file line 1: 200 click 1");
}

TEST_F(ScriptFailure, BoxLineForADialog) {
  ExpectFailure("\n  box OK\n",
                "the line is for a box: window 100 \"Sample Settings\", answer file line 2: box OK");
}

TEST_F(ScriptFailure, DialogLineForABox) {
  ExpectFailure("100 click 1007\n100 click 1\n",
                "the line is for window 100: box \"Sample Question\", answer file line 2: 100 click 1");
}

TEST_F(ScriptFailure, UnknownControl) {
  ExpectFailure("100 click 1234\n",
                "the dialog has no control 1234: window 100 \"Sample Settings\", answer file line 1: 100 click 1234");
}

TEST_F(ScriptFailure, ClickOnAField) {
  ExpectFailure("100 click 1001\n", "control 1001 is not a button: window 100");
}

TEST_F(ScriptFailure, SetOnAReadOnlyField) {
  ExpectFailure("100 set 1003 x\n", "control 1003 is read-only: window 100");
}

TEST_F(ScriptFailure, UnknownItemText) {
  ExpectFailure("100 toggle 1004 alpha\n", "list 1004 has no item \"alpha\": window 100");
}

TEST_F(ScriptFailure, ItemNumberPastTheEnd) {
  ExpectFailure("100 toggle 1004 #6\n", "list 1004 has no item #6 (it holds 5 items): window 100");
}

TEST_F(ScriptFailure, ItemNumberZero) { ExpectFailure("100 toggle 1004 #0\n", "list 1004 has no item #0"); }

TEST_F(ScriptFailure, AnswerTheBoxDoesNotOffer) {
  ExpectFailure("box Yes\n",
                "the box offers OK or Cancel, not \"Yes\": box \"Sample Start\", answer file line 1: box Yes", true);
}

TEST_F(ScriptFailure, ContainsTextMissingFromTheBox) {
  ExpectFailure("box contains Stop OK\n",
                "the box text \"Start with the settings?\" does not contain \"Stop\": box \"Sample Start\"", true);
}

TEST_F(ScriptFailure, ActionsLeftAfterTheDialogEnded) {
  ExpectFailure("100 click 1 click 2\n",
                "the dialog ended before the rest of the line: window 100 \"Sample Settings\", answer file line 1");
}

TEST_F(ScriptFailure, NoLineLeft) {
  ExpectFailure("# only a comment\n100 set 1001 x\n",
                "no answer left: window 100 \"Sample Settings\", answer file " + script_ +
                    " has no line after line 2");
}

TEST_F(ScriptFailure, OnlyOptionalLinesForOtherWindowsLeft) {
  ExpectFailure("? 200 click 1\n\n? box OK\n",
                "no line fits: the lines left are optional lines for other windows: window 100 \"Sample "
                "Settings\", answer file line 1: ? 200 click 1");
}

TEST_F(ScriptFailure, OptionalLinesDoNotExcuseARequiredLineForAnotherWindow) {
  ExpectFailure("? 200 click 1\n200 click 1\n100 click 1\n",
                "the line is for window 200: window 100 \"Sample Settings\", answer file line 2: 200 click 1");
}

TEST_F(ScriptFailure, EmptyAnswerFile) { ExpectFailure("", "no answer left: window 100"); }

TEST_F(ScriptFailure, MalformedLine) {
  ExpectFailure("100 set 1001 \"open\n", "a quote is not closed: window 100 \"Sample Settings\", answer file line 1");
}

TEST_F(ScriptFailure, NoAnswerFile) {
  orvik_testing::SetEnv("ORVIK_SCRIPT", "");
  ResetFrontendForTesting();
  EXPECT_EXIT(
      {
        sample::SettingsDlg dlg;
        dlg.DoModal();
      },
      ::testing::ExitedWithCode(86), "no answer left: window 100 .*ORVIK_SCRIPT names no answer file");
}

TEST_F(ScriptFailure, UnknownFrontend) {
  orvik_testing::SetEnv("ORVIK_UI", "curses");
  ResetFrontendForTesting();
  EXPECT_EXIT(CurrentFrontend(), ::testing::ExitedWithCode(86), "ORVIK_UI \"curses\" names no operator frontend");
}

}  // namespace
}  // namespace ui
