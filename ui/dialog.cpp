// The dialog base: controls built from the template, the modal run, modeless
// windows, data exchange entry and the default handlers.
#include "ui/dialog.h"

#include "ui/frontend.h"
#include "ui/thread_dialogs.h"
#include "ui/transcript_events.h"
#include "ui/window_stack.h"

namespace ui {

Dialog::Dialog(int templateId, Dialog* parent) : templateId_(templateId), parent_(parent) {
  tmpl_ = FindTemplate(templateId);
  if (tmpl_) caption_ = tmpl_->caption;
}

Dialog::~Dialog() {
  if (modeless_ && built_) ReleaseModeless();
}

bool Dialog::BuildControls() {
  const DialogTemplate* t = FindTemplate(templateId_);
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  tmpl_ = t;
  if (!t) return false;
  caption_ = t->caption;
  controls_.clear();
  index_.clear();
  controls_.reserve(t->controls.size());
  for (const ControlTemplate& ct : t->controls) {
    Control c;
    c.tmpl = ct;
    if (ct.kind != ControlKind::ListBox && ct.kind != ControlKind::Progress) c.text = ct.text;
    if (ct.id >= 0) index_.emplace(ct.id, controls_.size());  // the first of a duplicated id wins
    controls_.push_back(std::move(c));
  }
  timers_.clear();
  built_ = true;
  Touch();
  return true;
}

Control* Dialog::Find(int id) {
  auto it = index_.find(id);
  return it == index_.end() ? nullptr : &controls_[it->second];
}

const Control* Dialog::Find(int id) const {
  auto it = index_.find(id);
  return it == index_.end() ? nullptr : &controls_[it->second];
}

int Dialog::DoModal() {
  if (!BuildControls()) return -1;
  modeless_ = false;
  ended_.store(false);
  result_.store(0);
  detail::RegisterThreadDialog(this);
  detail::OpenWindow* window = detail::PushWindow(templateId_, Caption(), this);
  OnInitDialog();
  if (!ended_.load()) {
    // The dialog now waits for the operator for the first time.
    if (!CurrentFrontend().WritesWindowLines()) detail::WriteWindowLines(*this);
    CurrentFrontend().RunModal(*this);
  }
  detail::PopWindow(window);
  detail::UnregisterThreadDialog(this);
  StopTimers();
  detail::WriteEndLine(templateId_, result_.load());
  return result_.load();
}

void Dialog::EndDialog(int result) {
  if (modeless_) {
    result_.store(result);
    DestroyWindow();
    return;
  }
  result_.store(result);
  ended_.store(true);
  detail::WakeWindows();
}

bool Dialog::Create(Dialog* parent) {
  if (parent) parent_ = parent;
  if (modeless_ && built_) return true;  // already created
  if (!BuildControls()) return false;
  modeless_ = true;
  shown_ = false;
  ended_.store(false);
  result_.store(0);
  detail::RegisterThreadDialog(this);
  OnInitDialog();
  return true;
}

void Dialog::ShowWindow(bool show) {
  if (!modeless_ || !built_ || !show) return;
  if (!shown_) {
    shown_ = true;
    if (!CurrentFrontend().WritesWindowLines()) detail::WriteWindowLines(*this);
    CurrentFrontend().ModelessShown(*this);
  } else {
    CurrentFrontend().ModelessUpdated(*this);
  }
}

void Dialog::UpdateWindow() {
  if (modeless_ && built_ && shown_) {
    CurrentFrontend().ModelessUpdated(*this);
  } else if (!modeless_ && built_ && !ended_.load()) {
    CurrentFrontend().WindowUpdated(*this);
  }
}

void Dialog::DestroyWindow() {
  if (!modeless_ || !built_) return;
  detail::WriteEndLine(templateId_, 0);
  ReleaseModeless();
  PostNcDestroy();  // may delete this
}

void Dialog::ReleaseModeless() {
  if (shown_) CurrentFrontend().ModelessDestroyed(*this);
  detail::UnregisterThreadDialog(this);
  StopTimers();
  built_ = false;
  shown_ = false;
  ended_.store(true);
  detail::WakeWindows();
}

bool Dialog::AppendSystemMenuItem(int command, const std::string& text) {
  Frontend* frontend = ChosenFrontend();
  if (!frontend || !frontend->HasSystemMenu()) return false;
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  systemMenu_.push_back(MenuItem{command, text});
  Touch();
  return true;
}

std::vector<Dialog::MenuItem> Dialog::SystemMenuItems() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return systemMenu_;
}

bool Dialog::UpdateData(bool saveAndValidate) {
  DataExchange dx(*this, saveAndValidate);
  DoDataExchange(dx);
  return !dx.Failed();
}

std::string Dialog::Caption() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return caption_;
}

void Dialog::SetWindowText(const std::string& caption) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (caption_ == caption) return;
  caption_ = caption;
  Touch();
}

bool Dialog::HasControl(int id) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return Find(id) != nullptr;
}

std::string Dialog::GetDlgItemText(int id) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  const Control* c = Find(id);
  return c ? c->text : std::string();
}

void Dialog::SetDlgItemText(int id, const std::string& text) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Control* c = Find(id);
  if (!c || c->text == text) return;
  c->text = text;
  Touch();
}

bool Dialog::IsDlgButtonChecked(int id) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  const Control* c = Find(id);
  return c && c->checked;
}

void Dialog::CheckRadioButton(int firstId, int lastId, int checkId) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  for (Control& c : controls_) {
    int id = c.tmpl.id;
    if (id >= 0 && id >= firstId && id <= lastId) c.checked = false;
  }
  if (Control* c = Find(checkId)) c->checked = true;
  Touch();
}

void Dialog::CheckRadioInGroup(int id) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  auto it = index_.find(id);
  if (it == index_.end()) return;
  size_t pos = it->second;
  size_t first = pos;
  while (first > 0 && !(controls_[first].tmpl.style & WS_GROUP)) --first;
  size_t end = pos + 1;
  while (end < controls_.size() && !(controls_[end].tmpl.style & WS_GROUP)) ++end;
  for (size_t i = first; i < end; ++i) {
    if (controls_[i].tmpl.kind == ControlKind::Radio) controls_[i].checked = (i == pos);
  }
  controls_[pos].checked = true;
  Touch();
}

void Dialog::EnableWindow(int id, bool enable) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  Control* c = Find(id);
  if (!c || c->enabled == enable) return;
  c->enabled = enable;
  Touch();
}

bool Dialog::IsWindowEnabled(int id) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  const Control* c = Find(id);
  return c && c->enabled;
}

const ControlTemplate* Dialog::FindControlTemplate(int id) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  auto it = index_.find(id);
  if (it == index_.end() || !tmpl_) return nullptr;
  return &tmpl_->controls[it->second];
}

std::vector<Control> Dialog::ControlsSnapshot() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return controls_;
}

int Dialog::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
  return ui::MessageBox(text, caption, style);
}

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::OnOK() {
  if (!UpdateData(true)) return;  // the operator was told what to correct
  EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::OnCommand(int controlId) {
  if (controlId == IDOK) {
    OnOK();
  } else if (controlId == IDCANCEL) {
    OnCancel();
  }
}

void Dialog::OnSelChange(int) {}
void Dialog::OnTimer(int) {}
void Dialog::DoDataExchange(DataExchange&) {}

}  // namespace ui
