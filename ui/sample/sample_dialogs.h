// Sample dialogs for the framework's tests and the ui_sample program: a
// settings page with fields, a list, radio buttons and buttons that open a
// box, a nested dialog and a window that closes by itself.
#pragma once
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "ui/dialog.h"

namespace sample {

enum : int {
  IDD_SETTINGS = 100,
  IDD_NESTED = 200,
  IDD_WORKING = 300,
  IDD_COPYING = 301,
  IDD_TICKS = 400,
  IDD_MISSING = 999,
  IDC_FOLDER = 1001,
  IDC_COUNT = 1002,
  IDC_CHOSEN = 1003,
  IDC_LIST = 1004,
  IDC_RED = 1005,
  IDC_GREEN = 1006,
  IDC_ASK = 1007,
  IDC_NESTED = 1008,
  IDC_WORK = 1009,
  IDC_NOTE = 2001,
  IDC_STEP = 3001,
  IDC_BAR = 3002,
  IDC_COPY_TEXT = 3101,
  IDC_TICKS = 4001,
};

inline const ui::ResourceModule& Resources() {
  using ui::ControlKind;
  static const ui::ResourceModule module = [] {
    ui::ResourceModule m;
    auto add = [&](int id, const char* caption, std::vector<ui::ControlTemplate> controls, bool closesItself) {
      ui::DialogTemplate t;
      t.id = id;
      t.caption = caption;
      t.controls = std::move(controls);
      t.closesItself = closesItself;
      m.dialogs[id] = std::move(t);
    };
    auto c = [](int id, ControlKind kind, const char* text, unsigned style = 0) {
      ui::ControlTemplate t;
      t.id = id;
      t.kind = kind;
      t.text = text;
      t.style = style;
      return t;
    };
    add(IDD_SETTINGS, "Sample Settings",
        {c(-1, ControlKind::Static, "Enter the settings below."), c(-1, ControlKind::Static, "&Folder:"),
         c(IDC_FOLDER, ControlKind::Edit, ""), c(-1, ControlKind::Static, "Count:"),
         c(IDC_COUNT, ControlKind::Edit, ""), c(-1, ControlKind::Static, "Chosen:"),
         c(IDC_CHOSEN, ControlKind::Edit, "", ui::ES_READONLY),
         c(IDC_LIST, ControlKind::ListBox, "", ui::LBS_MULTIPLESEL | ui::LBS_NOTIFY | ui::WS_VSCROLL),
         c(-1, ControlKind::GroupBox, "Colour"), c(IDC_RED, ControlKind::Radio, "&Red", ui::WS_GROUP),
         c(IDC_GREEN, ControlKind::Radio, "Gr&een"), c(IDC_ASK, ControlKind::Button, "As&k", ui::WS_GROUP),
         c(IDC_NESTED, ControlKind::Button, "&Nested"), c(IDC_WORK, ControlKind::Button, "&Work"),
         c(ui::IDOK, ControlKind::DefButton, "&OK"), c(ui::IDCANCEL, ControlKind::Button, "Cancel")},
        false);
    add(IDD_NESTED, "Sample Nested",
        {c(-1, ControlKind::Static, "Note:"), c(IDC_NOTE, ControlKind::Edit, ""),
         c(ui::IDOK, ControlKind::DefButton, "OK"), c(ui::IDCANCEL, ControlKind::Button, "Cancel")},
        false);
    add(IDD_WORKING, "Sample Working",
        {c(IDC_STEP, ControlKind::Static, "Starting"), c(IDC_BAR, ControlKind::Progress, ""),
         c(ui::IDCANCEL, ControlKind::DefButton, "Cancel")},
        true);
    add(IDD_COPYING, "Sample Copying",
        {c(IDC_COPY_TEXT, ControlKind::Static, "Copying"), c(ui::IDCANCEL, ControlKind::DefButton, "Cancel")},
        true);
    add(IDD_TICKS, "Sample Ticks",
        {c(IDC_TICKS, ControlKind::Static, "Ticks"), c(ui::IDOK, ControlKind::DefButton, "OK")}, false);
    // Stands for a window that comes only in some states (recorded as optional).
    m.dialogs[IDD_NESTED].dependsOnState = true;
    m.strings[1] = "Sample string";
    return m;
  }();
  return module;
}

inline std::vector<std::string> DefaultItems() {
  return {"ALPHA", "BETA", "GAMMA", "Delta Two", "C:\\PROC\\X"};
}

class NestedDlg : public ui::Dialog {
 public:
  explicit NestedDlg(ui::Dialog* parent = nullptr) : ui::Dialog(IDD_NESTED, parent) {}
  void DoDataExchange(ui::DataExchange& dx) override { dx.Text(IDC_NOTE, note); }
  std::string note;
};

// Moves its bar by ten every tick and ends by itself at 100.
class WorkDlg : public ui::Dialog {
 public:
  explicit WorkDlg(ui::Dialog* parent = nullptr, unsigned tickMs = 10)
      : ui::Dialog(IDD_WORKING, parent), tickMs_(tickMs) {}
  bool OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    Progress(IDC_BAR).SetRange(0, 100);
    SetTimer(1, tickMs_);
    return true;
  }
  void OnTimer(int) override {
    step += 10;
    Progress(IDC_BAR).SetPos(step);
    SetDlgItemText(IDC_STEP, "Step " + std::to_string(step / 10));
    if (step >= 100) EndDialog(ui::IDOK);
  }
  int step = 0;

 private:
  unsigned tickMs_;
};

// A window that closes by itself when its worker thread, which asks the
// operator a question in a box of its own, has finished.
class CopyingDlg : public ui::Dialog {
 public:
  explicit CopyingDlg(ui::Dialog* parent = nullptr) : ui::Dialog(IDD_COPYING, parent) {}
  ~CopyingDlg() override {
    if (worker_.joinable()) worker_.join();
  }
  bool OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    SetTimer(7, 10);
    return true;
  }
  void OnTimer(int) override {
    // The worker starts at the first tick, when the window is up.
    ++ticks;
    StartWorker();
    if (done.load()) EndDialog(answer.load() == ui::IDYES ? ui::IDOK : ui::IDCANCEL);
  }
  void OnCancel() override {
    cancelled = true;
    StartWorker();
    // Like a copy window: wait for the worker, whose box is the way on.
    while (!done.load()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EndDialog(ui::IDCANCEL);
  }
  void StartWorker() {
    if (worker_.joinable()) return;
    worker_ = std::thread([this] {
      SetDlgItemText(IDC_COPY_TEXT, "Waiting for disk 2");
      answer.store(ui::MessageBox("Insert disk 2 and answer Yes.", "Sample Disk", ui::MB_YESNO));
      done.store(true);
    });
  }
  std::atomic<int> answer{0};
  std::atomic<bool> done{false};
  std::atomic<int> ticks{0};
  bool cancelled = false;

 private:
  std::thread worker_;
};

class TicksDlg : public ui::Dialog {
 public:
  TicksDlg() : ui::Dialog(IDD_TICKS) {}
  bool OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    SetTimer(1, 10);
    return true;
  }
  void OnTimer(int) override { ++ticks; }
  std::atomic<int> ticks{0};
};

class SettingsDlg : public ui::Dialog {
 public:
  explicit SettingsDlg(std::vector<std::string> items = DefaultItems())
      : ui::Dialog(IDD_SETTINGS), items_(std::move(items)) {}
  void DoDataExchange(ui::DataExchange& dx) override {
    dx.Text(IDC_FOLDER, folder);
    dx.Number(IDC_COUNT, count);
  }
  bool OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    ui::ListBox list = List(IDC_LIST);
    for (const std::string& item : items_) list.AddString(item);
    if (askOnInit) MessageBox("Start with the settings?", "Sample Start", ui::MB_OKCANCEL);
    return true;
  }
  void OnSelChange(int id) override {
    ++selChanges;
    ui::ListBox list = List(id);
    int caret = list.GetCaretIndex();
    if (list.GetSel(caret) > 0) SetDlgItemText(IDC_CHOSEN, list.GetText(caret));
  }
  void OnCommand(int id) override {
    switch (id) {
      case IDC_ASK:
        lastAnswer = MessageBox("Keep the settings?", "Sample Question", ui::MB_YESNO);
        SetDlgItemText(IDC_CHOSEN, lastAnswer == ui::IDYES ? "kept" : "dropped");
        break;
      case IDC_NESTED: {
        NestedDlg nested(this);
        nestedResult = nested.DoModal();
        if (nestedResult == ui::IDOK) SetDlgItemText(IDC_CHOSEN, nested.note);
        break;
      }
      case IDC_WORK: {
        WorkDlg work(this);
        workResult = work.DoModal();
        break;
      }
      default:
        ui::Dialog::OnCommand(id);
    }
  }
  std::string folder = "C:\\ORVIK\\";
  unsigned long count = 3;
  bool askOnInit = false;
  int lastAnswer = 0, nestedResult = 0, workResult = 0, selChanges = 0;

 private:
  std::vector<std::string> items_;
};

}  // namespace sample
