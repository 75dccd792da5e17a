// The modal dialog base: a page is a class with OnInitDialog, OnOK, OnCancel,
// data exchange and handlers, run with DoModal.
#pragma once
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ui/msgbox.h"
#include "ui/resource.h"

namespace ui {

class Dialog;

// Data exchange between members and controls (UpdateData).
class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool saveAndValidate) : dialog_(dialog), save_(saveAndValidate) {}
  bool Saving() const { return save_; }
  // True when a value failed validation (the operator was told in a box).
  bool Failed() const { return failed_; }
  // Edit or static text <-> string member.
  void Text(int controlId, std::string& member);
  // Edit text <-> unsigned 32-bit number member.
  void Number(int controlId, unsigned long& member);

 private:
  Dialog& dialog_;
  bool save_;
  bool failed_ = false;
};

// One control of a dialog, made from its template.
struct Control {
  ControlTemplate tmpl;
  std::string text;
  bool checked = false;  // radio buttons
  bool enabled = true;
  // List box items with their selection.
  std::vector<std::string> items;
  std::vector<char> selected;
  int caret = -1;
  // Progress bar.
  int rangeLow = 0, rangeHigh = 100, pos = 0;
};

constexpr int LB_ERR = -1;

// List box access by control id (multiple selection).
class ListBox {
 public:
  ListBox(Dialog& dialog, int id) : dialog_(dialog), id_(id) {}
  int GetCount() const;
  int AddString(const std::string& text);
  void ResetContent();
  std::string GetText(int index) const;
  int GetSel(int index) const;                 // >0 selected, 0 not, LB_ERR bad index
  int SetSel(int index, bool select = true);  // index -1: every item; LB_ERR bad index
  int GetSelCount() const;
  int GetCaretIndex() const;
  int SetCaretIndex(int index);
  // First item after `startAfter` (-1: from the top) whose text begins with
  // `prefix`, ASCII case ignored, wrapping round; LB_ERR when none.
  int FindString(int startAfter, const std::string& prefix) const;
  // The same for the whole text.
  int FindStringExact(int startAfter, const std::string& text) const;

 private:
  Dialog& dialog_;
  int id_;
};

class ProgressBar {
 public:
  ProgressBar(Dialog& dialog, int id) : dialog_(dialog), id_(id) {}
  void SetRange(int low, int high);
  int SetPos(int pos);
  int GetPos() const;

 private:
  Dialog& dialog_;
  int id_;
};

class Dialog {
 public:
  explicit Dialog(int templateId, Dialog* parent = nullptr);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally on the calling thread; returns its end code, or
  // -1 when its template does not exist.
  int DoModal();
  // Ends the modal run (or a modeless window) with `result`.
  void EndDialog(int result);

  // Modeless windows: Create builds the controls and runs OnInitDialog;
  // ShowWindow/UpdateWindow present it; DestroyWindow closes it.
  bool Create(Dialog* parent);
  void ShowWindow(bool show);
  void UpdateWindow();
  void DestroyWindow();

  bool UpdateData(bool saveAndValidate = true);

  int TemplateId() const { return templateId_; }
  Dialog* Parent() const { return parent_; }
  const DialogTemplate* Template() const { return tmpl_; }
  bool IsEnded() const { return ended_.load(); }
  int Result() const { return result_.load(); }
  std::string Caption() const;
  void SetWindowText(const std::string& caption);

  // Controls by id.
  bool HasControl(int id) const;
  std::string GetDlgItemText(int id) const;
  void SetDlgItemText(int id, const std::string& text);
  ListBox List(int id) { return ListBox(*this, id); }
  ProgressBar Progress(int id) { return ProgressBar(*this, id); }
  bool IsDlgButtonChecked(int id) const;
  void CheckRadioButton(int firstId, int lastId, int checkId);
  void EnableWindow(int id, bool enable);
  bool IsWindowEnabled(int id) const;
  // Checks radio button `id` and unchecks the other radio buttons of its
  // group (the run of controls from a WS_GROUP control to the next one).
  void CheckRadioInGroup(int id);
  // The template of control `id`, or nullptr.
  const ControlTemplate* FindControlTemplate(int id) const;
  std::vector<Control> ControlsSnapshot() const;

  // Timers fire on the thread that runs the dialog, also while it waits
  // for the operator.
  void SetTimer(int timerId, unsigned milliseconds);
  void KillTimer(int timerId);

  // The window's large and small icon, and the icon it shows while
  // minimised: an icon resource id (0: none).
  void SetIcon(int iconId) { iconId_.store(iconId); }
  int IconId() const { return iconId_.load(); }
  // Appends a separator and the command item `command` with `text` to the
  // window's system menu; false when the frontend's windows have none.
  // Choosing it calls OnSysCommand.
  bool AppendSystemMenuItem(int command, const std::string& text);
  struct MenuItem {
    int command;
    std::string text;
  };
  std::vector<MenuItem> SystemMenuItems() const;

  // A box owned by this dialog.
  int MessageBox(const std::string& text, const std::string& caption, unsigned style);

  // Handlers; the frontends call them for the operator's actions.
  virtual bool OnInitDialog();              // base: UpdateData(false), true
  virtual void OnOK();                      // base: UpdateData(true), EndDialog(IDOK)
  virtual void OnCancel();                  // base: EndDialog(IDCANCEL)
  virtual void OnCommand(int controlId);    // base: 1 OnOK, 2 OnCancel
  virtual void OnSelChange(int controlId);  // a list item was toggled
  virtual void OnTimer(int timerId);
  // A command of the system menu added with AppendSystemMenuItem.
  virtual void OnSysCommand(int command) { (void)command; }
  virtual void DoDataExchange(DataExchange& dx);

  // Frontend use: fires the timers that are due; returns ms to the next one
  // (or -1 when none).
  int FireDueTimers();
  // Frontend use: a number that grows with every change of a control, the
  // caption or the enabled state (so views redraw only when it moved).
  unsigned long Revision() const { return revision_.load(); }
  // Modeless windows: called last by DestroyWindow; a window object that
  // deletes itself does it here.
  virtual void PostNcDestroy() {}

 protected:
  friend class ListBox;
  friend class ProgressBar;
  friend class DataExchange;
  Control* Find(int id);
  const Control* Find(int id) const;
  bool BuildControls();
  void Touch() { revision_.fetch_add(1); }

  mutable std::recursive_mutex mutex_;  // guards controls (a worker may update texts)

 private:
  struct Timer {
    int id;
    unsigned interval;
    long long due;
    bool firing = false;  // its handler runs (no re-entry from a nested loop)
  };
  void StopTimers();
  void ReleaseModeless();

  int templateId_;
  Dialog* parent_;
  const DialogTemplate* tmpl_ = nullptr;
  std::string caption_;
  std::vector<Control> controls_;  // template order, labels included
  std::map<int, size_t> index_;    // control id -> position in controls_
  std::vector<Timer> timers_;
  std::vector<MenuItem> systemMenu_;
  std::atomic<int> iconId_{0};
  std::atomic<bool> ended_{false};
  std::atomic<int> result_{0};
  std::atomic<unsigned long> revision_{0};
  bool modeless_ = false;
  bool built_ = false;
  bool shown_ = false;  // modeless: its window line has been written
};

// Wait cursor and message pump, for the user-interface thread.
// SetWaitCursor returns 1 (0 when the cursor could not be set).
int SetWaitCursor(bool on);
bool WaitCursorShown();
// Dispatches pending window events (timers of this thread's windows) for
// `milliseconds`, waiting for them with short timeouts; returns 1.
int PumpMessages(unsigned milliseconds);

}  // namespace ui
