// Data exchange, list boxes and progress bars on a dialog's controls.
#include <climits>
#include <mutex>

#include "platform/ascii_case.h"
#include "ui/dialog.h"

namespace ui {
namespace {

// Text a number field shows when what the operator typed is no number.
constexpr const char* kNumberPrompt = "Please enter a whole number from 0 to 4294967295.";

bool ParseUnsigned32(const std::string& text, unsigned long* value) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  size_t end = text.size();
  while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  if (i == end) return false;
  unsigned long long v = 0;
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + static_cast<unsigned>(text[i] - '0');
    if (v > 0xFFFFFFFFULL) return false;
  }
  *value = static_cast<unsigned long>(v);
  return true;
}

// The first item of list `c` after index `startAfter` (-1: from the top),
// wrapping round, that `match` accepts; LB_ERR when none does.
template <typename Match>
int FindItem(const Control* c, int startAfter, Match match) {
  if (!c) return LB_ERR;
  int n = static_cast<int>(c->items.size());
  if (startAfter < -1 || startAfter >= n) startAfter = -1;
  for (int k = 1; k <= n; ++k) {
    int i = (startAfter + k) % n;
    if (match(c->items[i])) return i;
  }
  return LB_ERR;
}

}  // namespace

void DataExchange::Text(int controlId, std::string& member) {
  if (save_) {
    member = dialog_.GetDlgItemText(controlId);
  } else {
    dialog_.SetDlgItemText(controlId, member);
  }
}

void DataExchange::Number(int controlId, unsigned long& member) {
  if (!save_) {
    dialog_.SetDlgItemText(controlId, std::to_string(member & 0xFFFFFFFFUL));
    return;
  }
  if (failed_) return;  // one complaint per exchange
  unsigned long value = 0;
  if (ParseUnsigned32(dialog_.GetDlgItemText(controlId), &value)) {
    member = value;
    return;
  }
  failed_ = true;
  dialog_.MessageBox(kNumberPrompt, dialog_.Caption(), MB_OK | MB_ICONEXCLAMATION);
}

// --- ListBox ---------------------------------------------------------------

int ListBox::GetCount() const {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  const Control* c = dialog_.Find(id_);
  return c ? static_cast<int>(c->items.size()) : LB_ERR;
}

int ListBox::AddString(const std::string& text) {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  Control* c = dialog_.Find(id_);
  if (!c) return LB_ERR;
  c->items.push_back(text);
  c->selected.push_back(0);
  dialog_.Touch();
  return static_cast<int>(c->items.size()) - 1;
}

void ListBox::ResetContent() {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  Control* c = dialog_.Find(id_);
  if (!c) return;
  c->items.clear();
  c->selected.clear();
  c->caret = -1;
  dialog_.Touch();
}

std::string ListBox::GetText(int index) const {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  const Control* c = dialog_.Find(id_);
  if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return "";
  return c->items[index];
}

int ListBox::GetSel(int index) const {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  const Control* c = dialog_.Find(id_);
  if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return LB_ERR;
  return c->selected[index] ? 1 : 0;
}

int ListBox::SetSel(int index, bool select) {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  Control* c = dialog_.Find(id_);
  if (!c) return LB_ERR;
  if (index == -1) {
    for (char& s : c->selected) s = select ? 1 : 0;
  } else if (index < 0 || index >= static_cast<int>(c->items.size())) {
    return LB_ERR;
  } else {
    c->selected[index] = select ? 1 : 0;
  }
  dialog_.Touch();
  return 0;
}

int ListBox::GetSelCount() const {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  const Control* c = dialog_.Find(id_);
  if (!c) return LB_ERR;
  int count = 0;
  for (char s : c->selected) count += s ? 1 : 0;
  return count;
}

int ListBox::GetCaretIndex() const {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  const Control* c = dialog_.Find(id_);
  if (!c) return LB_ERR;
  return c->caret >= 0 ? c->caret : 0;
}

int ListBox::SetCaretIndex(int index) {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  Control* c = dialog_.Find(id_);
  if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return LB_ERR;
  c->caret = index;
  return 0;
}

int ListBox::FindString(int startAfter, const std::string& prefix) const {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  return FindItem(dialog_.Find(id_), startAfter,
                  [&prefix](const std::string& item) { return platform::StartsWithNoCase(item, prefix); });
}

int ListBox::FindStringExact(int startAfter, const std::string& text) const {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  return FindItem(dialog_.Find(id_), startAfter,
                  [&text](const std::string& item) { return platform::EqualNoCase(item, text); });
}

// --- ProgressBar -----------------------------------------------------------

void ProgressBar::SetRange(int low, int high) {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  Control* c = dialog_.Find(id_);
  if (!c) return;
  c->rangeLow = low;
  c->rangeHigh = high;
  if (high > low) {
    if (c->pos < low) c->pos = low;
    if (c->pos > high) c->pos = high;
  }
  dialog_.Touch();
}

int ProgressBar::SetPos(int pos) {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  Control* c = dialog_.Find(id_);
  if (!c) return 0;
  int old = c->pos;
  if (c->rangeHigh > c->rangeLow) {
    if (pos < c->rangeLow) pos = c->rangeLow;
    if (pos > c->rangeHigh) pos = c->rangeHigh;
  }
  if (pos != old) {
    c->pos = pos;
    dialog_.Touch();
  }
  return old;
}

int ProgressBar::GetPos() const {
  std::lock_guard<std::recursive_mutex> lock(dialog_.mutex_);
  const Control* c = dialog_.Find(id_);
  return c ? c->pos : 0;
}

}  // namespace ui
