#include "ui/screen_layout.h"

#include <algorithm>

#include "platform/ascii_case.h"
#include "ui/console_view.h"

namespace ui::detail {
namespace {

constexpr int kUnitsPerColumn = 4;
constexpr int kUnitsPerRow = 8;

// Cell of dialog-unit coordinate `units` on an axis of `span` units drawn
// over `cells` cells.
int Scale(int units, int span, int cells) {
  if (span <= 0) return 0;
  return static_cast<int>(static_cast<long long>(std::max(units, 0)) * cells / span);
}

}  // namespace

CellRect DialogCells(int cx, int cy, int screenRows, int screenCols) {
  int usableRows = std::max(screenRows - 1, 3);  // the last row is the key line
  CellRect r;
  r.cols = std::min(cx / kUnitsPerColumn + 2, screenCols);
  r.rows = std::min(cy / kUnitsPerRow + 2, usableRows);
  r.cols = std::max(r.cols, std::min(screenCols, 12));
  r.rows = std::max(r.rows, 3);
  r.row = std::max((usableRows - r.rows) / 2, 0);
  r.col = std::max((screenCols - r.cols) / 2, 0);
  return r;
}

CellRect ControlCells(const ControlTemplate& c, int cx, int cy, const CellRect& window) {
  int innerRows = std::max(window.rows - 2, 1);
  int innerCols = std::max(window.cols - 2, 1);
  CellRect r;
  int top = Scale(c.y, cy, innerRows);
  int bottom = Scale(c.y + c.cy, cy, innerRows);
  int left = Scale(c.x, cx, innerCols);
  int right = Scale(c.x + c.cx, cx, innerCols);
  top = std::min(top, innerRows - 1);
  left = std::min(left, innerCols - 1);
  r.row = window.row + 1 + top;
  r.col = window.col + 1 + left;
  r.rows = std::clamp(bottom - top, 1, innerRows - top);
  r.cols = std::clamp(right - left, 1, innerCols - left);
  return r;
}

namespace {

constexpr int kFlowListRows = 8;

bool IsButton(const ControlTemplate& c) { return c.kind == ControlKind::Button || c.kind == ControlKind::DefButton; }

int FlowRows(const ControlTemplate& c, int width) {
  switch (c.kind) {
    case ControlKind::Static: return static_cast<int>(WrapText(c.text, width).size());
    case ControlKind::ListBox: return kFlowListRows;
    case ControlKind::Frame:
    case ControlKind::Icon: return 0;
    default: return IsButton(c) ? 0 : 1;
  }
}

DialogCellsLayout FlowLayout(const DialogTemplate& t, int screenRows, int screenCols) {
  DialogCellsLayout out;
  int cols = std::min(screenCols, 64);
  int inner = std::max(cols - 4, 1);
  int content = 0;
  bool buttons = false;
  for (const ControlTemplate& c : t.controls) {
    content += FlowRows(c, inner);
    buttons = buttons || IsButton(c);
  }
  int rows = std::min(content + 2 + (buttons ? 2 : 0), std::max(screenRows - 1, 3));
  CellRect& w = out.window;
  w.rows = rows;
  w.cols = cols;
  w.row = std::max((screenRows - 1 - rows) / 2, 0);
  w.col = std::max((screenCols - cols) / 2, 0);
  int row = w.row + 1;
  int buttonCol = w.col + 2;
  int last = w.row + w.rows - 2;
  for (const ControlTemplate& c : t.controls) {
    CellRect r;
    if (IsButton(c)) {
      r.row = last;
      r.col = buttonCol;
      r.cols = static_cast<int>(c.text.size()) + 2;
      r.rows = 1;
      buttonCol += r.cols + 2;
    } else {
      r.row = std::min(row, last);
      r.col = w.col + 2;
      r.cols = inner;
      r.rows = std::max(std::min(FlowRows(c, inner), last - r.row + (buttons ? 0 : 1)), 1);
      row += FlowRows(c, inner);
    }
    out.controls.push_back(r);
  }
  return out;
}

}  // namespace

namespace {

bool Overlaps(const CellRect& a, const CellRect& b) {
  return a.row < b.row + b.rows && b.row < a.row + a.rows && a.col < b.col + b.cols && b.col < a.col + a.cols;
}

// A button whose text and brackets do not fit its cells grows into free
// cells beside it, right first, then left.
void WidenButtons(const DialogTemplate& t, DialogCellsLayout* layout) {
  int left = layout->window.col + 1;
  int right = layout->window.col + layout->window.cols - 1;  // exclusive
  for (size_t i = 0; i < t.controls.size(); ++i) {
    if (!IsButton(t.controls[i])) continue;
    CellRect& r = layout->controls[i];
    int want = 0;
    for (size_t k = 0; k < t.controls[i].text.size(); ++k) {
      if (t.controls[i].text[k] == '&' && k + 1 < t.controls[i].text.size()) ++k;
      ++want;
    }
    want += 2;
    auto freeCell = [&](int col) {
      if (col < left || col >= right) return false;
      CellRect cell{r.row, col, 1, 1};
      for (size_t j = 0; j < layout->controls.size(); ++j) {
        if (j == i || t.controls[j].kind == ControlKind::GroupBox || t.controls[j].kind == ControlKind::Frame) continue;
        if (Overlaps(cell, layout->controls[j])) return false;
      }
      return true;
    };
    while (r.cols < want && freeCell(r.col + r.cols)) ++r.cols;
    while (r.cols < want && freeCell(r.col - 1)) {
      --r.col;
      ++r.cols;
    }
  }
}

// Whether the cells of `rect` are free of every control but control `self`
// (group boxes and frames only surround others).
bool FreeCells(const DialogTemplate& t, const DialogCellsLayout& layout, size_t self, const CellRect& rect) {
  const CellRect& w = layout.window;
  if (rect.col < w.col + 1 || rect.col + rect.cols > w.col + w.cols - 1) return false;
  if (rect.row < w.row + 1 || rect.row + rect.rows > w.row + w.rows - 1) return false;
  for (size_t j = 0; j < layout.controls.size(); ++j) {
    if (j == self || t.controls[j].kind == ControlKind::GroupBox || t.controls[j].kind == ControlKind::Frame) continue;
    if (Overlaps(rect, layout.controls[j])) return false;
  }
  return true;
}

// Whether control `j` can do with one row less: a list box or field of more
// than three rows, or a static text with a row its words do not need.
bool SpareRow(const DialogTemplate& t, const DialogCellsLayout& layout, size_t j) {
  const ControlTemplate& c = t.controls[j];
  const CellRect& r = layout.controls[j];
  if (c.kind == ControlKind::ListBox || c.kind == ControlKind::Edit) return r.rows > 3;
  if (c.kind == ControlKind::Static)
    return r.rows > 1 && static_cast<int>(WrapText(StripAmpersand(c.text), r.cols).size()) < r.rows;
  return false;
}

// Frees the row under (`down`) or over control `self`: each control that
// begins (ends) there gives up a row it can spare, or a static text moves
// one row on when the row beyond it can be freed in turn. With `apply`
// false only tells whether it can be done.
bool FreeRow(const DialogTemplate& t, DialogCellsLayout* layout, size_t self, bool down, bool apply) {
  const CellRect r = layout->controls[self];
  const CellRect& w = layout->window;
  CellRect next{down ? r.row + r.rows : r.row - 1, r.col, 1, r.cols};
  if (next.row < w.row + 1 || next.row >= w.row + w.rows - 1) return false;
  for (size_t j = 0; j < layout->controls.size(); ++j) {
    if (j == self || t.controls[j].kind == ControlKind::GroupBox || t.controls[j].kind == ControlKind::Frame) continue;
    if (!Overlaps(next, layout->controls[j])) continue;
    CellRect& c = layout->controls[j];
    bool edge = down ? c.row == next.row : c.row + c.rows - 1 == next.row;
    if (!edge) return false;
    if (SpareRow(t, *layout, j)) {
      if (apply) {
        if (down) ++c.row;
        --c.rows;
      }
    } else if (t.controls[j].kind == ControlKind::Static && FreeRow(t, layout, j, down, apply)) {
      if (apply) c.row += down ? 1 : -1;
    } else {
      return false;
    }
  }
  return true;
}

bool TakeRow(const DialogTemplate& t, DialogCellsLayout* layout, size_t self, bool down) {
  return FreeRow(t, layout, self, down, false) && FreeRow(t, layout, self, down, true);
}

// Rounding dialog units to cells can put a static text on the first row of
// the control under it (a label of 9 units over a field of 12): that control
// gives up its first row when it has another, else the text moves up a row
// when that row is free.
void SeparateTexts(const DialogTemplate& t, DialogCellsLayout* layout) {
  for (size_t i = 0; i < t.controls.size(); ++i) {
    if (t.controls[i].kind != ControlKind::Static) continue;
    CellRect& r = layout->controls[i];
    for (size_t j = 0; j < t.controls.size(); ++j) {
      ControlKind kind = t.controls[j].kind;
      if (j == i || kind == ControlKind::GroupBox || kind == ControlKind::Frame) continue;
      CellRect& c = layout->controls[j];
      if (!Overlaps(r, c) || c.row != r.row + r.rows - 1) continue;
      if (c.rows > 1) {
        ++c.row;
        --c.rows;
      } else if (FreeCells(t, *layout, i, CellRect{r.row - 1, r.col, 1, r.cols})) {
        --r.row;
      }
    }
  }
}

// A static text that its cells cannot hold (the terminal's cells are coarser
// than dialog units) grows into free cells, right first, then down, so that
// none of its words is cut off.
void WidenTexts(const DialogTemplate& t, DialogCellsLayout* layout) {
  for (size_t i = 0; i < t.controls.size(); ++i) {
    if (t.controls[i].kind != ControlKind::Static) continue;
    CellRect& r = layout->controls[i];
    const std::string text = StripAmpersand(t.controls[i].text);
    auto needed = [&] { return static_cast<int>(WrapText(text, r.cols).size()); };
    while (needed() > r.rows && FreeCells(t, *layout, i, CellRect{r.row, r.col + r.cols, r.rows, 1})) ++r.cols;
    while (needed() > r.rows && FreeCells(t, *layout, i, CellRect{r.row + r.rows, r.col, 1, r.cols})) ++r.rows;
    while (needed() > r.rows && FreeCells(t, *layout, i, CellRect{r.row - 1, r.col, 1, r.cols})) {
      --r.row;
      ++r.rows;
    }
    while (needed() > r.rows && FreeCells(t, *layout, i, CellRect{r.row, r.col - 1, r.rows, 1})) {
      --r.col;
      ++r.cols;
    }
    // Still short: the controls right below or above give up a row each.
    while (needed() > r.rows && TakeRow(t, layout, i, true)) ++r.rows;
    while (needed() > r.rows && TakeRow(t, layout, i, false)) {
      --r.row;
      ++r.rows;
    }
  }
}

}  // namespace

DialogCellsLayout LayOut(const DialogTemplate& t, int screenRows, int screenCols) {
  if (t.cx <= 0 || t.cy <= 0) return FlowLayout(t, screenRows, screenCols);
  DialogCellsLayout out;
  out.window = DialogCells(t.cx, t.cy, screenRows, screenCols);
  for (const ControlTemplate& c : t.controls) out.controls.push_back(ControlCells(c, t.cx, t.cy, out.window));
  SeparateTexts(t, &out);
  WidenButtons(t, &out);
  WidenTexts(t, &out);
  return out;
}

std::vector<std::string> WrapText(const std::string& text, int width) {
  std::vector<std::string> lines;
  if (width < 1) width = 1;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    std::string para = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!para.empty() && para.back() == '\r') para.pop_back();
    for (char& ch : para) {
      if (ch == '\t' || ch == '\r') ch = ' ';
    }
    size_t w = static_cast<size_t>(width);
    while (para.size() > w) {
      size_t cut = para.rfind(' ', w);
      if (cut == std::string::npos || cut == 0) {
        lines.push_back(para.substr(0, w));
        para.erase(0, w);
      } else {
        lines.push_back(para.substr(0, cut));
        para.erase(0, cut + 1);
      }
    }
    lines.push_back(para);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  return lines;
}

std::vector<int> FilterItems(const std::vector<std::string>& items, const std::string& filter) {
  std::vector<int> shown;
  shown.reserve(filter.empty() ? items.size() : 0);
  for (size_t i = 0; i < items.size(); ++i) {
    if (platform::ContainsNoCase(items[i], filter)) shown.push_back(static_cast<int>(i));
  }
  return shown;
}

int FindByPrefix(const std::vector<std::string>& items, const std::vector<int>& shown, const std::string& prefix) {
  for (size_t k = 0; k < shown.size(); ++k) {
    if (platform::StartsWithNoCase(items[static_cast<size_t>(shown[k])], prefix)) return static_cast<int>(k);
  }
  return -1;
}

}  // namespace ui::detail
