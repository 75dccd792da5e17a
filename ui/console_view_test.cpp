// How the console shows dialogs and reads commands.
#include "ui/console_command.h"
#include "ui/console_view.h"
#include "testing/ui_test.h"

namespace ui::detail {
namespace {

using orvik_testing::UiTest;

TEST(ConsoleText, AcceleratorsAndAmpersands) {
  EXPECT_EQ(Accelerator("&Next >"), 'N');
  EXPECT_EQ(Accelerator("Select &All"), 'A');
  EXPECT_EQ(Accelerator("Cancel"), 0);
  EXPECT_EQ(Accelerator("Fish && &Chips"), 'C');
  EXPECT_EQ(Accelerator("Trailing&"), 0);
  EXPECT_EQ(StripAmpersand("Fish && &Chips"), "Fish & Chips");
  EXPECT_EQ(StripAmpersand("< &Back"), "< Back");
}

class ConsoleViewTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dlg_ = std::make_unique<sample::SettingsDlg>();
    ASSERT_TRUE(dlg_->Create(nullptr));
  }
  std::unique_ptr<sample::SettingsDlg> dlg_;
};

TEST_F(ConsoleViewTest, DialogShowsEveryKindOfControl) {
  dlg_->CheckRadioInGroup(sample::IDC_RED);
  dlg_->List(sample::IDC_LIST).SetSel(1);
  dlg_->EnableWindow(sample::IDC_WORK, false);
  std::string text = RenderDialog(100, "Sample Settings", dlg_->ControlsSnapshot());
  for (const char* expected : {
           "== Sample Settings [dialog 100] ==\n",
           "  Enter the settings below.\n",
           "  Folder [1001]: C:\\ORVIK\\\n",
           "  Count [1002]: 3\n",
           "  Chosen [1003] (read-only): \n",
           "  List [1004]: 5 items, 1 selected\n",
           "    [ ] #1 ALPHA\n",
           "    [x] #2 BETA\n",
           "    [ ] #4 Delta Two\n",
           "  -- Colour --\n",
           "  (*) [1005] Red\n",
           "  ( ) [1006] Green\n",
           "  Buttons: [1007] Ask (k)   [1008] Nested (N)   [1009] Work (W) (disabled)   [1] OK (O)   [2] Cancel (C)\n",
       }) {
    EXPECT_NE(text.find(expected), std::string::npos) << "missing: " << expected << "\nin:\n" << text;
  }
  // Labels are shown with their fields, not on their own.
  EXPECT_EQ(text.find("  Folder:\n"), std::string::npos);
}

TEST_F(ConsoleViewTest, ChangesShowOnlyWhatChanged) {
  std::vector<Control> before = dlg_->ControlsSnapshot();
  dlg_->List(sample::IDC_LIST).SetSel(2);
  dlg_->SetDlgItemText(sample::IDC_CHOSEN, "GAMMA");
  std::string text = RenderChanges("Sample Settings", before, "Sample Settings", dlg_->ControlsSnapshot());
  EXPECT_EQ(text, "  Chosen [1003] (read-only): GAMMA\n    [x] #3 GAMMA\n");
  EXPECT_EQ(RenderChanges("A", before, "A", before), "");
  EXPECT_EQ(RenderChanges("A", before, "B", before), "  Caption: B\n");
}

TEST_F(ConsoleViewTest, ManyChangedItemsAreSummedUp) {
  std::vector<std::string> items;
  for (int i = 0; i < 20000; ++i) items.push_back("P" + std::to_string(i));
  sample::SettingsDlg big(items);
  ASSERT_TRUE(big.Create(nullptr));
  std::vector<Control> before = big.ControlsSnapshot();
  big.List(sample::IDC_LIST).SetSel(-1);
  std::string text = RenderChanges("S", before, "S", big.ControlsSnapshot());
  EXPECT_EQ(text, "  List [1004]: 20000 items, 20000 selected\n");
}

TEST_F(ConsoleViewTest, StatusLineAndBox) {
  sample::WorkDlg work;
  ASSERT_TRUE(work.Create(nullptr));
  work.Progress(sample::IDC_BAR).SetPos(45);
  EXPECT_EQ(RenderStatus(work.ControlsSnapshot()), "  Starting  45%\n");
  EXPECT_EQ(RenderBox("Line one\r\nLine two", "Title", MB_YESNOCANCEL),
            "\n-- Title --\n  Line one\n  Line two\n  Answer: Yes (Y), No (N), Cancel (C)\n");
  work.DestroyWindow();
}

TEST_F(ConsoleViewTest, Commands) {
  ConsoleCommand cmd;
  std::string why;
  ASSERT_TRUE(ParseConsoleCommand("set 1001 C:\\My Folder\\", *dlg_, &cmd, &why)) << why;
  EXPECT_EQ(cmd.kind, ConsoleCommand::Act);
  EXPECT_EQ(cmd.action.kind, ActionKind::Set);
  EXPECT_EQ(cmd.action.control, 1001);
  EXPECT_EQ(cmd.action.text, "C:\\My Folder\\");
  ASSERT_TRUE(ParseConsoleCommand("  set 1001 \"quoted text\"  ", *dlg_, &cmd, &why));
  EXPECT_EQ(cmd.action.text, "quoted text");
  ASSERT_TRUE(ParseConsoleCommand("set 1001", *dlg_, &cmd, &why));
  EXPECT_EQ(cmd.action.text, "");
  ASSERT_TRUE(ParseConsoleCommand("toggle 1004 Delta Two", *dlg_, &cmd, &why));
  EXPECT_EQ(cmd.action.kind, ActionKind::Toggle);
  EXPECT_EQ(cmd.action.text, "Delta Two");
  ASSERT_TRUE(ParseConsoleCommand("CLICK 1", *dlg_, &cmd, &why));
  EXPECT_EQ(cmd.action.kind, ActionKind::Click);
  EXPECT_EQ(cmd.action.control, 1);
  ASSERT_TRUE(ParseConsoleCommand("k", *dlg_, &cmd, &why));
  EXPECT_EQ(cmd.action.control, sample::IDC_ASK);
  ASSERT_TRUE(ParseConsoleCommand("n", *dlg_, &cmd, &why));
  EXPECT_EQ(cmd.action.control, sample::IDC_NESTED);
  ASSERT_TRUE(ParseConsoleCommand("close", *dlg_, &cmd, &why));
  EXPECT_EQ(cmd.action.kind, ActionKind::Close);
  ASSERT_TRUE(ParseConsoleCommand("show", *dlg_, &cmd, &why));
  EXPECT_EQ(cmd.kind, ConsoleCommand::Show);

  EXPECT_FALSE(ParseConsoleCommand("z", *dlg_, &cmd, &why));
  EXPECT_EQ(why, "no button has the letter z");
  EXPECT_FALSE(ParseConsoleCommand("e", *dlg_, &cmd, &why));  // radio buttons have no letters
  EXPECT_FALSE(ParseConsoleCommand("click", *dlg_, &cmd, &why));
  EXPECT_FALSE(ParseConsoleCommand("click 1 2", *dlg_, &cmd, &why));
  EXPECT_FALSE(ParseConsoleCommand("toggle 1004", *dlg_, &cmd, &why));
  EXPECT_FALSE(ParseConsoleCommand("press 1", *dlg_, &cmd, &why));
  EXPECT_EQ(why, "unknown command press");
}

TEST_F(ConsoleViewTest, ButtonsWithoutALetterAndEnter) {
  ConsoleCommand cmd;
  std::string why;
  for (const char* line : {"c", "CANCEL", "  cancel "}) {
    ASSERT_TRUE(ParseConsoleCommand(line, *dlg_, &cmd, &why)) << line << ": " << why;
    EXPECT_EQ(cmd.action.control, IDCANCEL) << line;
  }
  ASSERT_TRUE(ParseConsoleCommand("ok", *dlg_, &cmd, &why)) << why;
  EXPECT_EQ(cmd.action.control, IDOK);
  ASSERT_TRUE(ParseConsoleCommand("   ", *dlg_, &cmd, &why));  // Enter: the default button
  EXPECT_EQ(cmd.kind, ConsoleCommand::Act);
  EXPECT_EQ(cmd.action.kind, ActionKind::Click);
  EXPECT_EQ(cmd.action.control, IDOK);
  // A first letter another button already uses is no key.
  EXPECT_EQ(ButtonKey({"Cancel", "&Copy"}, 0), 0);
  EXPECT_EQ(ButtonKey({"Cancel", "Close"}, 1), 0);
  EXPECT_EQ(ButtonKey({"OK", "cancel"}, 1), 'C');
}

TEST_F(ConsoleViewTest, ActionsLeaveOutTheIdOfTheOnlyListOrField) {
  ConsoleCommand cmd;
  std::string why;
  ASSERT_TRUE(ParseConsoleCommand("toggle #10", *dlg_, &cmd, &why)) << why;
  EXPECT_EQ(cmd.action.control, sample::IDC_LIST);
  EXPECT_EQ(cmd.action.text, "#10");
  ASSERT_TRUE(ParseConsoleCommand("toggle \"Delta Two\"", *dlg_, &cmd, &why)) << why;
  EXPECT_EQ(cmd.action.control, sample::IDC_LIST);
  EXPECT_EQ(cmd.action.text, "Delta Two");
  // Two fields can be set here (the third is read-only): the id is needed.
  EXPECT_FALSE(ParseConsoleCommand("set C:\\x", *dlg_, &cmd, &why));
  EXPECT_EQ(why, "set needs a control id (a number): this window has several edit fields");

  sample::NestedDlg nested;
  ASSERT_TRUE(nested.Create(nullptr));
  ASSERT_TRUE(ParseConsoleCommand("set C:\\x", nested, &cmd, &why)) << why;
  EXPECT_EQ(cmd.action.control, sample::IDC_NOTE);
  EXPECT_EQ(cmd.action.text, "C:\\x");
  ASSERT_TRUE(ParseConsoleCommand("set 2001 12", nested, &cmd, &why)) << why;
  EXPECT_EQ(cmd.action.text, "12");
  EXPECT_FALSE(ParseConsoleCommand("toggle #1", nested, &cmd, &why));  // it has no list
  nested.DestroyWindow();
}

}  // namespace
}  // namespace ui::detail
