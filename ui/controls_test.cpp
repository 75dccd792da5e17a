// Controls of a dialog: list boxes, progress bars, radio groups, data
// exchange, modeless windows and updates from another thread.
#include <chrono>
#include <thread>

#include "ui/dialog.h"
#include "testing/ui_test.h"

namespace ui {
namespace {

using orvik_testing::UiTest;
using V = std::vector<std::string>;

// The settings page built as a modeless window, so that its controls exist
// without an operator.
class Built : public sample::SettingsDlg {
 public:
  explicit Built(std::vector<std::string> items) : sample::SettingsDlg(std::move(items)) { Create(nullptr); }
};

using ListBoxTest = UiTest;

TEST_F(ListBoxTest, FindStringIsAPrefixSearchIgnoringCaseThatWraps) {
  Built dlg({"PROCA", "proc", "PROCB", "X", "ABCD", "ABC"});
  ListBox list = dlg.List(sample::IDC_LIST);
  EXPECT_EQ(list.FindString(-1, "pro"), 0);
  EXPECT_EQ(list.FindString(0, "PRO"), 1);
  EXPECT_EQ(list.FindString(1, "PRO"), 2);
  EXPECT_EQ(list.FindString(2, "pro"), 0);  // wraps round
  EXPECT_EQ(list.FindString(3, "x"), 3);    // the start item itself comes last
  EXPECT_EQ(list.FindString(-1, "Y"), LB_ERR);
  EXPECT_EQ(list.FindString(99, "x"), 3);  // out of range: from the top
  // A name that begins a longer name listed above it finds the longer one.
  EXPECT_EQ(list.FindString(-1, "abc"), 4);
  EXPECT_EQ(list.FindStringExact(-1, "abc"), 5);
  EXPECT_EQ(list.FindStringExact(-1, "PROCa"), 0);
  EXPECT_EQ(list.FindStringExact(-1, "PRO"), LB_ERR);
}

TEST_F(ListBoxTest, SelectionCaretAndBadIndexes) {
  Built dlg({"A", "B", "C"});
  ListBox list = dlg.List(sample::IDC_LIST);
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetSelCount(), 0);
  EXPECT_EQ(list.SetSel(-1, true), 0);
  EXPECT_EQ(list.GetSelCount(), 3);
  EXPECT_EQ(list.SetSel(1, false), 0);
  EXPECT_EQ(list.GetSel(1), 0);
  EXPECT_GT(list.GetSel(2), 0);
  EXPECT_EQ(list.SetSel(3), LB_ERR);
  EXPECT_EQ(list.SetSel(-2), LB_ERR);
  EXPECT_EQ(list.GetSel(3), LB_ERR);
  EXPECT_EQ(list.GetText(3), "");
  EXPECT_EQ(list.GetCaretIndex(), 0);
  EXPECT_EQ(list.SetCaretIndex(2), 0);
  EXPECT_EQ(list.GetCaretIndex(), 2);
  EXPECT_EQ(list.SetCaretIndex(3), LB_ERR);
  EXPECT_EQ(list.AddString("D"), 3);
  EXPECT_EQ(list.GetSel(3), 0);
  // Selections set by the program do not run the selection-change handling.
  EXPECT_EQ(dlg.selChanges, 0);
  list.ResetContent();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetSelCount(), 0);
  EXPECT_EQ(list.FindString(-1, ""), LB_ERR);
  ListBox none = dlg.List(4711);
  EXPECT_EQ(none.GetCount(), LB_ERR);
  EXPECT_EQ(none.AddString("x"), LB_ERR);
  EXPECT_EQ(none.SetSel(-1), LB_ERR);
}

TEST_F(ListBoxTest, TwentyThousandItemsStayFast) {
  std::vector<std::string> items;
  for (int i = 1; i <= 20000; ++i) items.push_back("PROC" + std::to_string(i));
  std::string line = "100";
  for (int i = 0; i < 200; ++i) line += " toggle 1004 #" + std::to_string(20000 - i * 97);
  line += " toggle 1004 PROC19999 click 1\n";
  Answers(line);
  sample::SettingsDlg dlg(items);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  ListBox list = dlg.List(sample::IDC_LIST);
  EXPECT_EQ(list.GetSelCount(), 201);
  EXPECT_EQ(list.FindString(-1, "proc19999"), 19998);
  EXPECT_EQ(dlg.GetDlgItemText(sample::IDC_CHOSEN), "PROC19999");
}

using ControlsTest = UiTest;

TEST_F(ControlsTest, ProgressBarKeepsItsPositionInTheRange) {
  sample::WorkDlg dlg;
  ASSERT_TRUE(dlg.Create(nullptr));
  ProgressBar bar = dlg.Progress(sample::IDC_BAR);
  EXPECT_EQ(bar.GetPos(), 0);
  EXPECT_EQ(bar.SetPos(40), 0);
  EXPECT_EQ(bar.SetPos(150), 40);
  EXPECT_EQ(bar.GetPos(), 100);
  bar.SetRange(0, 50);
  EXPECT_EQ(bar.GetPos(), 50);
  EXPECT_EQ(dlg.Progress(4711).GetPos(), 0);
  dlg.DestroyWindow();
}

TEST_F(ControlsTest, RadioButtonsOfOneGroup) {
  Built dlg(sample::DefaultItems());
  dlg.CheckRadioInGroup(sample::IDC_RED);
  EXPECT_TRUE(dlg.IsDlgButtonChecked(sample::IDC_RED));
  dlg.CheckRadioInGroup(sample::IDC_GREEN);
  EXPECT_FALSE(dlg.IsDlgButtonChecked(sample::IDC_RED));
  EXPECT_TRUE(dlg.IsDlgButtonChecked(sample::IDC_GREEN));
  dlg.CheckRadioButton(sample::IDC_RED, sample::IDC_GREEN, sample::IDC_RED);
  EXPECT_TRUE(dlg.IsDlgButtonChecked(sample::IDC_RED));
  EXPECT_FALSE(dlg.IsDlgButtonChecked(sample::IDC_GREEN));
}

TEST_F(ControlsTest, TextsRevisionAndEnabledState) {
  Built dlg(sample::DefaultItems());
  EXPECT_EQ(dlg.GetDlgItemText(sample::IDC_FOLDER), "C:\\ORVIK\\");  // OnInitDialog exchanged it
  EXPECT_EQ(dlg.GetDlgItemText(sample::IDC_COUNT), "3");
  EXPECT_EQ(dlg.GetDlgItemText(4711), "");
  EXPECT_FALSE(dlg.HasControl(4711));
  EXPECT_FALSE(dlg.HasControl(-1));  // labels have no id
  unsigned long revision = dlg.Revision();
  dlg.SetDlgItemText(sample::IDC_FOLDER, "C:\\ORVIK\\");
  EXPECT_EQ(dlg.Revision(), revision);
  dlg.SetDlgItemText(sample::IDC_FOLDER, "D:\\");
  EXPECT_GT(dlg.Revision(), revision);
  EXPECT_TRUE(dlg.IsWindowEnabled(sample::IDC_ASK));
  dlg.EnableWindow(sample::IDC_ASK, false);
  EXPECT_FALSE(dlg.IsWindowEnabled(sample::IDC_ASK));
  dlg.SetWindowText("Other");
  EXPECT_EQ(dlg.Caption(), "Other");
  std::vector<Control> controls = dlg.ControlsSnapshot();
  ASSERT_EQ(controls.size(), sample::Resources().dialogs.at(100).controls.size());
  EXPECT_EQ(controls[1].text, "&Folder:");
  EXPECT_EQ(controls[7].items.size(), 5u);
  ASSERT_NE(dlg.FindControlTemplate(sample::IDC_CHOSEN), nullptr);
  EXPECT_TRUE(dlg.FindControlTemplate(sample::IDC_CHOSEN)->style & ES_READONLY);
}

TEST_F(ControlsTest, NumberExchangeRefusesWhatIsNoNumber) {
  Built dlg(sample::DefaultItems());
  Answers("box contains \"whole number\" OK\n");
  dlg.SetDlgItemText(sample::IDC_COUNT, " 4294967295 ");
  EXPECT_TRUE(dlg.UpdateData(true));
  EXPECT_EQ(dlg.count, 4294967295UL);
  dlg.SetDlgItemText(sample::IDC_COUNT, "4294967296");
  EXPECT_FALSE(dlg.UpdateData(true));
  EXPECT_EQ(dlg.count, 4294967295UL);
  V lines = Transcript();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            "box \"Sample Settings\" \"Please enter a whole number from 0 to 4294967295.\"");
  EXPECT_EQ(lines.back(), "answer OK");
}

TEST_F(ControlsTest, OkStaysOpenWhileAFieldIsInvalid) {
  Answers("100 set 1002 many click 1\nbox OK\n100 set 1002 7 click 1\n");
  sample::SettingsDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.count, 7u);
}

TEST_F(ControlsTest, LoadStringAndTemplates) {
  EXPECT_EQ(LoadString(1), "Sample string");
  EXPECT_EQ(LoadString(2), "");
  EXPECT_NE(FindTemplate(100), nullptr);
  EXPECT_EQ(FindTemplate(sample::IDD_MISSING), nullptr);
  SetResources(nullptr);
  EXPECT_EQ(FindTemplate(100), nullptr);
  EXPECT_EQ(LoadString(1), "");
}

// A modeless window that deletes itself when destroyed.
class SelfDeleting : public Dialog {
 public:
  explicit SelfDeleting(int* deleted) : Dialog(sample::IDD_NESTED), deleted_(deleted) {}
  void PostNcDestroy() override {
    ++*deleted_;
    delete this;
  }

 private:
  int* deleted_;
};

TEST_F(ControlsTest, ModelessWindowTranscriptAndSelfDeletion) {
  int deleted = 0;
  auto* dlg = new SelfDeleting(&deleted);
  ASSERT_TRUE(dlg->Create(nullptr));
  EXPECT_TRUE(Transcript().empty());
  dlg->SetDlgItemText(sample::IDC_NOTE, "file 1");
  dlg->ShowWindow(true);
  dlg->UpdateWindow();
  dlg->SetDlgItemText(sample::IDC_NOTE, "file 2");
  dlg->ShowWindow(true);
  dlg->ShowWindow(false);
  dlg->DestroyWindow();
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(Transcript(), (V{"window 200 \"Sample Nested\"", "field 200" "1 \"file 1\"", "end 200 0"}));
}

TEST_F(ControlsTest, TextsSetFromAnotherThreadWhileTheDialogRuns) {
  // The worker sets texts while the window's timer and the transcript read
  // them; run under ThreadSanitizer this shows the locking.
  Answers("box Yes\n");
  sample::CopyingDlg dlg;
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    while (!stop.load()) {
      (void)dlg.GetDlgItemText(sample::IDC_COPY_TEXT);
      (void)dlg.ControlsSnapshot();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  stop.store(true);
  reader.join();
  EXPECT_GE(dlg.ticks.load(), 1);
}

}  // namespace
}  // namespace ui
