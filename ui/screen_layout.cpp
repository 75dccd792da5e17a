#include "ui/screen_layout.h"

#include <algorithm>

#include "platform/ascii_case.h"

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

}  // namespace

DialogCellsLayout LayOut(const DialogTemplate& t, int screenRows, int screenCols) {
  if (t.cx <= 0 || t.cy <= 0) return FlowLayout(t, screenRows, screenCols);
  DialogCellsLayout out;
  out.window = DialogCells(t.cx, t.cy, screenRows, screenCols);
  for (const ControlTemplate& c : t.controls) out.controls.push_back(ControlCells(c, t.cx, t.cy, out.window));
  WidenButtons(t, &out);
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
