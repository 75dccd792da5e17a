// The native dialogs under Wine: templates made into real controls, the
// answer file driving them with the same transcript as the script frontend,
// timers, windows of a worker thread, the icon and the system menu.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "ui/dialog.h"
#include "ui/frontend.h"
#include "ui/frontends.h"
#include "ui/msgbox.h"
#include "ui/resource.h"
#include "ui/gui/dialog_template.h"
// win32.h last: the framework's constants share the system macros' names (and
// values), which the tests below use.
#include "ui/gui/app_icon.h"

namespace {

using ui::ControlKind;

constexpr int kPick = 500, kNested = 501, kWorker = 502;
constexpr int kUpper = 10, kPlain = 11, kList = 12, kOne = 13, kTwo = 14, kBar = 15, kAsk = 16, kOpen = 17;

const ui::ResourceModule& TestResources() {
  static const ui::ResourceModule module = [] {
    ui::ResourceModule m;
    ui::DialogTemplate pick{kPick, "Pick", 200, 120, {}, false};
    pick.controls = {
        {-1, ControlKind::Static, "&Name:", 7, 9, 30, 8, 0},
        {kUpper, ControlKind::Edit, "", 40, 7, 80, 12, ES_UPPERCASE},
        {kPlain, ControlKind::Edit, "", 40, 22, 80, 12, 0},
        {kList, ControlKind::ListBox, "", 7, 38, 113, 40, LBS_MULTIPLESEL},
        {kOne, ControlKind::Radio, "&One", 130, 38, 50, 10, WS_GROUP},
        {kTwo, ControlKind::Radio, "&Two", 130, 50, 50, 10, 0},
        {kBar, ControlKind::Progress, "", 7, 82, 113, 10, 0},
        {kAsk, ControlKind::Button, "&Ask", 130, 64, 50, 14, 0},
        {kOpen, ControlKind::Button, "O&pen", 130, 80, 50, 14, 0},
        {IDOK, ControlKind::DefButton, "&OK", 90, 100, 50, 14, 0},
        {IDCANCEL, ControlKind::Button, "Cancel", 145, 100, 50, 14, 0},
    };
    m.dialogs[kPick] = pick;
    ui::DialogTemplate nested{kNested, "Nested", 100, 40, {}, false};
    nested.controls = {{IDOK, ControlKind::DefButton, "OK", 25, 20, 50, 14, 0}};
    m.dialogs[kNested] = nested;
    ui::DialogTemplate worker{kWorker, "Working", 120, 30, {}, true};
    worker.controls = {{kBar, ControlKind::Progress, "", 7, 7, 106, 10, 0}};
    m.dialogs[kWorker] = worker;
    return m;
  }();
  return module;
}

class PickDialog : public ui::Dialog {
 public:
  PickDialog() : ui::Dialog(kPick) {}
  bool OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    for (const char* item : {"Alpha", "Beta", "Gamma"}) List(kList).AddString(item);
    List(kList).SetSel(1);
    SetDlgItemText(kPlain, "start");
    CheckRadioButton(kOne, kTwo, kOne);
    Progress(kBar).SetRange(0, 10);
    Progress(kBar).SetPos(3);
    SetIcon(1);
    menuAdded = AppendSystemMenuItem(16, "&About test...");
    return true;
  }
  void OnSelChange(int id) override {
    if (id == kList) SetDlgItemText(kPlain, std::to_string(List(kList).GetSelCount()) + " selected");
  }
  void OnCommand(int id) override {
    if (id == kAsk) boxAnswer = MessageBox("Proceed?", "Test box", MB_YESNO);
    if (id == kOpen) nestedResult = ui::Dialog(kNested, this).DoModal();
    ui::Dialog::OnCommand(id);
  }
  void OnSysCommand(int command) override { sysCommand = command; }
  void OnOK() override {
    upper = GetDlgItemText(kUpper);
    plain = GetDlgItemText(kPlain);
    for (int i = 0; i < List(kList).GetCount(); ++i) {
      if (List(kList).GetSel(i) > 0) selected += List(kList).GetText(i) + ";";
    }
    twoChecked = IsDlgButtonChecked(kTwo);
    EndDialog(IDOK);
  }

  bool menuAdded = false;
  int boxAnswer = 0, nestedResult = 0, sysCommand = 0;
  bool twoChecked = false;
  std::string upper, plain, selected;
};

std::string TempPath(const std::string& name) {
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  return std::string(dir) + "orvik_gui_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Each test runs with the test resources, its own answer file and transcript.
class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::SetResources(&TestResources());
    transcript_ = TempPath("transcript.txt");
    std::remove(transcript_.c_str());
    _putenv_s("ORVIK_TRANSCRIPT", transcript_.c_str());
  }
  void TearDown() override {
    ui::SetFrontend(nullptr);
    _putenv_s("ORVIK_TRANSCRIPT", "");
    std::remove(transcript_.c_str());
    std::remove(answers_.c_str());
  }
  void UseAnswers(const std::string& frontend, const std::string& lines) {
    answers_ = TempPath("answers.txt");
    std::ofstream(answers_, std::ios::binary) << lines;
    std::remove(transcript_.c_str());
    ui::SetFrontend(frontend == "gui" ? ui::detail::MakeGuiFrontend(answers_, 1)
                                      : ui::detail::MakeScriptFrontend(answers_, 1));
  }
  std::string Transcript() { return ReadAll(transcript_); }

  std::string transcript_, answers_;
};

TEST_F(GuiTest, TemplateBecomesRealControlsAtItsPlaces) {
  const ui::DialogTemplate& t = TestResources().dialogs.at(kPick);
  std::vector<std::uint16_t> words = ui::gui::BuildDialogTemplate(t, ui::gui::WindowRole::Main);
  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(words.data()),
                                           nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
  ASSERT_NE(dialog, nullptr);
  char text[64];
  GetWindowTextA(dialog, text, sizeof text);
  EXPECT_STREQ(text, "Pick");
  EXPECT_TRUE(GetWindowLongA(dialog, GWL_STYLE) & WS_MINIMIZEBOX);
  const struct {
    int id;
    const char* cls;
    LONG style;  // bits that must be set
  } expected[] = {
      {kUpper, "Edit", ES_UPPERCASE}, {kPlain, "Edit", 0},           {kList, "ListBox", LBS_MULTIPLESEL},
      {kOne, "Button", WS_GROUP},     {kBar, "msctls_progress32", 0}, {IDOK, "Button", BS_DEFPUSHBUTTON},
  };
  for (const auto& e : expected) {
    HWND control = GetDlgItem(dialog, e.id);
    ASSERT_NE(control, nullptr) << e.id;
    GetClassNameA(control, text, sizeof text);
    EXPECT_STRCASEEQ(text, e.cls) << e.id;
    EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & e.style, e.style) << e.id;
  }
  EXPECT_FALSE(GetWindowLongA(GetDlgItem(dialog, kPlain), GWL_STYLE) & ES_UPPERCASE);
  GetWindowTextA(GetDlgItem(dialog, IDOK), text, sizeof text);
  EXPECT_STREQ(text, "&OK");
  // Every control sits where its dialog units say.
  for (const ui::ControlTemplate& c : t.controls) {
    if (c.id < 0) continue;
    // Place and size are converted one by one, as the dialog manager does.
    RECT want{c.x, c.y, c.cx, c.cy};
    MapDialogRect(dialog, &want);
    want.right += want.left;
    want.bottom += want.top;
    RECT got;
    HWND control = GetDlgItem(dialog, c.id);
    GetWindowRect(control, &got);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&got), 2);
    EXPECT_EQ(got.left, want.left) << c.id;
    EXPECT_EQ(got.top, want.top) << c.id;
    EXPECT_EQ(got.right, want.right) << c.id;
    EXPECT_EQ(got.bottom, want.bottom) << c.id;
  }
  DestroyWindow(dialog);
}

// The answer file's actions go through the real controls; the transcript
// is the one the script frontend writes for the same file.
TEST_F(GuiTest, AnswerFileDrivesRealControlsLikeTheScriptFrontend) {
  const std::string answers =
      "500 set 10 \"abc def\" toggle 12 Gamma toggle 12 #2 click 14 click 16\n"
      "box contains Proceed Yes\n"
      "500 click 17\n"
      "501 click 1\n"
      "500 click 1\n";
  std::string transcripts[2];
  const char* frontends[2] = {"gui", "script"};
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(frontends[run]);
    UseAnswers(frontends[run], answers);
    PickDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.upper, "ABC DEF");
    EXPECT_EQ(dialog.plain, "1 selected");
    EXPECT_EQ(dialog.selected, "Gamma;");
    EXPECT_TRUE(dialog.twoChecked);
    EXPECT_EQ(dialog.boxAnswer, IDYES);
    EXPECT_EQ(dialog.nestedResult, IDOK);
    EXPECT_EQ(dialog.menuAdded, run == 0);  // only real windows have a system menu
    transcripts[run] = Transcript();
  }
  EXPECT_EQ(transcripts[0],
            "window 500 \"Pick\"\nfield 10 \"\"\nfield 11 \"start\"\n"
            "item 12 1 \"Alpha\" 0\nitem 12 2 \"Beta\" 1\nitem 12 3 \"Gamma\" 0\n"
            "answer set 10 \"abc def\"\nanswer toggle 12 \"Gamma\"\nanswer toggle 12 \"Beta\"\n"
            "answer click 14\nanswer click 16\nbox \"Test box\" \"Proceed?\"\nanswer Yes\n"
            "answer click 17\nwindow 501 \"Nested\"\nanswer click 1\nend 501 1\n"
            "answer click 1\nend 500 1\n");
  EXPECT_EQ(transcripts[0], transcripts[1]);
}

TEST_F(GuiTest, AnswerTheWindowDoesNotOfferEndsTheRun) {
  UseAnswers("gui", "500 click 99\n");
  EXPECT_EXIT(PickDialog().DoModal(), ::testing::ExitedWithCode(86), "");
}

// A window that closes by itself takes no line; its timers fire while it
// waits and while the worker thread's box and window are open over it.
class WorkerDialog : public ui::Dialog {
 public:
  WorkerDialog() : ui::Dialog(kWorker) {}
  bool OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    worker_ = std::thread([this] {
      workerBox = ui::MessageBox("Worker asks", "Worker", MB_OKCANCEL);
      workerWindow = ui::Dialog(kNested).DoModal();
      done = true;
    });
    SetTimer(1, 5);
    return true;
  }
  void OnTimer(int) override {
    ++ticks;
    if (done && ticks > 3) {
      worker_.join();
      EndDialog(7);
    }
  }
  std::atomic<bool> done{false};
  int ticks = 0, workerBox = 0, workerWindow = 0;

 private:
  std::thread worker_;
};

TEST_F(GuiTest, WindowsOfAWorkerThreadWhileTimersFire) {
  UseAnswers("gui", "box contains Worker Cancel\n501 click 1\n");
  WorkerDialog dialog;
  EXPECT_EQ(dialog.DoModal(), 7);
  EXPECT_EQ(dialog.workerBox, IDCANCEL);
  EXPECT_EQ(dialog.workerWindow, IDOK);
  std::string t = Transcript();
  // The threads' lines may interleave; each window's own come in order.
  size_t box = t.find("box \"Worker\" \"Worker asks\"\n");
  EXPECT_NE(box, std::string::npos) << t;
  EXPECT_NE(t.find("answer Cancel\n", box), std::string::npos) << t;
  EXPECT_NE(t.find("window 501 \"Nested\"\nanswer click 1\nend 501 1\n"), std::string::npos) << t;
  EXPECT_NE(t.find("end 502 7\n"), std::string::npos) << t;
}

TEST_F(GuiTest, MainWindowHasTheIconsAndTheAboutItem) {
  UseAnswers("gui", "");
  PickDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  dialog.ShowWindow(true);
  HWND window = FindWindowA("#32770", "Pick");
  ASSERT_NE(window, nullptr);
  HICON large = ui::gui::AppIcon(32), small = ui::gui::AppIcon(16);
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0)), large);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0)), small);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_QUERYDRAGICON, 0, 0)), large);
  HMENU menu = GetSystemMenu(window, FALSE);
  int last = GetMenuItemCount(menu) - 1;
  ASSERT_GT(last, 0);
  EXPECT_EQ(GetMenuItemID(menu, last), 16u);
  char text[64];
  GetMenuStringA(menu, last, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&About test...");
  // The system's own low bits of the command are passed on as they come.
  SendMessageA(window, WM_SYSCOMMAND, 16 | 3, 0);
  EXPECT_EQ(dialog.sysCommand, 19);
  dialog.DestroyWindow();
  EXPECT_FALSE(IsWindow(window));
  // The icon: transparent corners, an opaque face.
  EXPECT_EQ(ui::gui::AppIconPixel(32, 0, 0) >> 24, 0u);
  EXPECT_EQ(ui::gui::AppIconPixel(32, 16, 12) >> 24, 0xFFu);
}

}  // namespace
