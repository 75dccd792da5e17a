// Drawing of the full-screen frontend: framed dialogs from their templates,
// message boxes over them, and the key line.
#include <curses.h>

#include <algorithm>

#include "ui/actions.h"
#include "ui/console_view.h"
#include "ui/screen_layer.h"
#include "ui/screen_layout.h"
#include "ui/screen_terminal.h"

namespace ui::detail {
namespace {

// Smallest screen the windows are drawn on.
constexpr int kLeastRows = 8;
constexpr int kLeastCols = 30;

// Where the caret of the field being typed in goes once everything is drawn.
int caretRow = -1, caretCol = -1;

// Writes `text` clipped to `width` cells at (row, col).
void Put(int row, int col, const std::string& text, int width, int attr) {
  if (row < 0 || row >= LINES || col >= COLS || width <= 0) return;
  width = std::min(width, COLS - col);
  attrset(attr);
  std::string shown = text.substr(0, static_cast<size_t>(std::max(width, 0)));
  for (char& ch : shown) {
    if (static_cast<unsigned char>(ch) < 0x20) ch = ' ';
  }
  mvaddnstr(row, col, shown.c_str(), width);
}

void Fill(const CellRect& r, int attr) {
  std::string blank(static_cast<size_t>(std::max(r.cols, 0)), ' ');
  for (int i = 0; i < r.rows; ++i) Put(r.row + i, r.col, blank, r.cols, attr);
}

void Frame(const CellRect& r, int attr) {
  if (r.rows < 2 || r.cols < 2) return;
  attrset(attr);
  mvaddch(r.row, r.col, ACS_ULCORNER);
  mvaddch(r.row, r.col + r.cols - 1, ACS_URCORNER);
  mvaddch(r.row + r.rows - 1, r.col, ACS_LLCORNER);
  mvaddch(r.row + r.rows - 1, r.col + r.cols - 1, ACS_LRCORNER);
  mvhline(r.row, r.col + 1, ACS_HLINE, r.cols - 2);
  mvhline(r.row + r.rows - 1, r.col + 1, ACS_HLINE, r.cols - 2);
  mvvline(r.row + 1, r.col, ACS_VLINE, r.rows - 2);
  mvvline(r.row + 1, r.col + r.cols - 1, ACS_VLINE, r.rows - 2);
}

// A window: shadowless frame, its caption centred in the top line.
void Window(const CellRect& r, const std::string& caption) {
  Fill(r, LookAttr(Look::Window));
  Frame(r, LookAttr(Look::Frame));
  std::string title = " " + caption + " ";
  int width = std::max(r.cols - 4, 0);
  if (static_cast<int>(title.size()) > width) title = title.substr(0, static_cast<size_t>(width));
  Put(r.row, r.col + (r.cols - static_cast<int>(title.size())) / 2, title, width, LookAttr(Look::Frame) | A_BOLD);
}

// Text with its '&' letter marked; returns the cells used.
int PutMarked(int row, int col, const std::string& text, int width, int attr, int markAttr) {
  std::string plain = StripAmpersand(text);
  Put(row, col, plain, width, attr);
  char letter = Accelerator(text);
  if (!letter) return static_cast<int>(plain.size());
  size_t at = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') {
      ++at;
      continue;
    }
    if (text[i + 1] == '&') {
      ++i;
      ++at;
      continue;
    }
    break;
  }
  if (static_cast<int>(at) < width) Put(row, col + static_cast<int>(at), std::string(1, letter), 1, markAttr);
  return static_cast<int>(plain.size());
}

bool Editable(const Control& c) { return c.tmpl.kind == ControlKind::Edit && !(c.tmpl.style & ES_READONLY); }

void PaintText(const Control& c, const CellRect& r, int attr) {
  std::vector<std::string> lines = WrapText(StripAmpersand(c.text), r.cols);
  for (int i = 0; i < r.rows && i < static_cast<int>(lines.size()); ++i) {
    const std::string& line = lines[static_cast<size_t>(i)];
    int col = r.col;
    if (c.tmpl.style & SS_CENTER) col += std::max((r.cols - static_cast<int>(line.size())) / 2, 0);
    Put(r.row + i, col, line, r.cols - (col - r.col), attr);
  }
}

void PaintEdit(const Layer& layer, int index, const Control& c, const CellRect& r, bool focused) {
  int attr = c.enabled ? LookAttr(Look::Field) : LookAttr(Look::Disabled);
  if (c.tmpl.style & ES_READONLY) attr = LookAttr(Look::Window);
  Fill(r, attr);
  if (c.tmpl.style & ES_MULTILINE) {
    std::vector<std::string> lines = WrapText(c.text, r.cols);
    for (int i = 0; i < r.rows && i < static_cast<int>(lines.size()); ++i) {
      Put(r.row + i, r.col, lines[static_cast<size_t>(i)], r.cols, attr);
    }
    return;
  }
  if (layer.editing == index) {
    // Scroll so that the caret stays in sight.
    int width = std::max(r.cols, 1);
    int first = std::max(static_cast<int>(layer.caret) - width + 1, 0);
    Put(r.row, r.col, layer.buffer.substr(static_cast<size_t>(first)), width, LookAttr(Look::Focus));
    int caretCol = r.col + static_cast<int>(layer.caret) - first;
    if (focused) {
      caretRow = r.row;
      ::ui::detail::caretCol = caretCol;
    }
    return;
  }
  std::string text = c.text;
  for (char& ch : text) {
    if (ch == '\r' || ch == '\n') ch = ' ';
  }
  Put(r.row, r.col, text, r.cols, attr);
}

void PaintButton(const Control& c, const CellRect& r, bool focused) {
  Look look = c.tmpl.kind == ControlKind::DefButton ? Look::DefaultButton : Look::Button;
  int attr = !c.enabled ? LookAttr(Look::Disabled) : focused ? LookAttr(Look::Focus) : LookAttr(look);
  std::string plain = StripAmpersand(c.text);
  int inner = static_cast<int>(plain.size());
  bool brackets = inner + 2 <= r.cols;
  int width = brackets ? inner + 2 : r.cols;
  int col = r.col + std::max((r.cols - width) / 2, 0);
  if (brackets) {
    Put(r.row, col, "[", 1, attr);
    Put(r.row, col + 1 + inner, "]", 1, attr);
    ++col;
  }
  int mark = c.enabled ? (focused ? attr | A_UNDERLINE : LookAttr(Look::Accelerator)) : attr;
  PutMarked(r.row, col, c.text, std::min(inner, r.cols), attr, mark);
}

void PaintRadio(const Control& c, const CellRect& r, bool focused) {
  int attr = !c.enabled ? LookAttr(Look::Disabled) : focused ? LookAttr(Look::Focus) : LookAttr(Look::Window);
  Put(r.row, r.col, c.checked ? "(*) " : "( ) ", r.cols, attr);
  int mark = c.enabled ? (focused ? attr | A_UNDERLINE : LookAttr(Look::Accelerator)) : attr;
  PutMarked(r.row, r.col + 4, c.text, r.cols - 4, attr, mark);
}

void PaintList(const Layer& layer, int index, const Control& c, const CellRect& r, bool focused) {
  auto it = layer.lists.find(index);
  static const ListState kEmpty;
  const ListState& state = it != layer.lists.end() ? it->second : kEmpty;
  int base = c.enabled ? LookAttr(Look::Field) : LookAttr(Look::Disabled);
  Fill(r, base);
  bool multi = (c.tmpl.style & LBS_MULTIPLESEL) != 0;
  bool status = r.rows >= 3 && (!state.filter.empty() || (focused && layer.filtering));
  int rows = std::max(r.rows - (status ? 1 : 0), 1);
  int total = static_cast<int>(state.shown.size());
  bool bar = total > rows && r.cols > 4;
  int textCols = r.cols - (bar ? 1 : 0);
  for (int row = 0; row < rows; ++row) {
    int k = state.top + row;
    if (k >= total) break;
    size_t item = static_cast<size_t>(state.shown[static_cast<size_t>(k)]);
    if (item >= c.items.size()) break;
    bool on = item < c.selected.size() && c.selected[item];
    std::string line = multi ? std::string(on ? "[x] " : "[ ] ") + c.items[item] : c.items[item];
    int attr = base;
    if (on) attr = LookAttr(Look::Marked) | (multi ? 0 : A_REVERSE);
    if (k == state.cursor && focused) attr = LookAttr(Look::Focus);
    line.resize(static_cast<size_t>(std::max(textCols, 0)), ' ');
    Put(r.row + row, r.col, line, textCols, attr);
  }
  if (bar) {
    // A scroll bar: the thumb shows where the rows are in the list.
    int thumb = static_cast<int>(static_cast<long long>(state.top) * (rows - 1) / std::max(total - rows, 1));
    for (int row = 0; row < rows; ++row) {
      attrset(base);
      mvaddch(r.row + row, r.col + r.cols - 1, row == thumb ? ACS_CKBOARD : ACS_VLINE);
    }
  }
  if (status) {
    std::string line = "/" + state.filter + (focused && layer.filtering ? "_" : "") + "  " +
                       std::to_string(total) + " of " + std::to_string(c.items.size());
    line.resize(static_cast<size_t>(r.cols), ' ');
    Put(r.row + r.rows - 1, r.col, line, r.cols, LookAttr(Look::KeyLine));
  }
}

void PaintProgress(const Control& c, const CellRect& r) {
  long long span = static_cast<long long>(c.rangeHigh) - c.rangeLow;
  long long done = span > 0 ? (static_cast<long long>(c.pos) - c.rangeLow) * 100 / span : 0;
  done = std::clamp(done, 0LL, 100LL);
  std::string pct = " " + std::to_string(done) + "%";
  int barCols = std::max(r.cols - 5, 1);
  int filled = static_cast<int>(done * barCols / 100);
  Put(r.row, r.col, std::string(static_cast<size_t>(filled), ' '), filled, LookAttr(Look::Bar));
  Put(r.row, r.col + filled, std::string(static_cast<size_t>(barCols - filled), ' '), barCols - filled,
      LookAttr(Look::Field));
  Put(r.row, r.col + barCols, pct, r.cols - barCols, LookAttr(Look::Window) | A_BOLD);
}

void PaintDialog(const Layer& layer, bool top) {
  const Dialog& dialog = *layer.dialog;
  const DialogTemplate* t = dialog.Template();
  if (!t) return;
  DialogCellsLayout layout = LayOut(*t, LINES, COLS);
  Window(layout.window, dialog.Caption());
  std::vector<Control> controls = dialog.ControlsSnapshot();
  for (size_t i = 0; i < controls.size() && i < layout.controls.size(); ++i) {
    const Control& c = controls[i];
    const CellRect& r = layout.controls[i];
    bool focused = top && layer.focus == static_cast<int>(i);
    int attr = c.enabled ? LookAttr(Look::Window) : LookAttr(Look::Disabled);
    switch (c.tmpl.kind) {
      case ControlKind::Static: PaintText(c, r, attr); break;
      case ControlKind::Edit: PaintEdit(layer, static_cast<int>(i), c, r, focused); break;
      case ControlKind::Button:
      case ControlKind::DefButton: PaintButton(c, r, focused); break;
      case ControlKind::Radio: PaintRadio(c, r, focused); break;
      case ControlKind::GroupBox:
        if (r.rows >= 2) Frame(r, attr);
        Put(r.row, r.col + 1, StripAmpersand(c.text), r.cols - 2, attr);
        break;
      case ControlKind::Frame:
        if (r.rows >= 2) Frame(r, attr);
        break;
      case ControlKind::ListBox: PaintList(layer, static_cast<int>(i), c, r, focused); break;
      case ControlKind::Progress: PaintProgress(c, r); break;
      case ControlKind::Icon: Put(r.row, r.col, "(i)", r.cols, attr | A_BOLD); break;
    }
  }
}

// The cells of a box and its lines of text.
CellRect BoxCells(const Layer& box, std::vector<std::string>* lines) {
  int most = std::max(std::min(COLS - 4, 64), 10);
  *lines = WrapText(box.text, most - 4);
  int width = static_cast<int>(box.caption.size()) + 6;
  for (const std::string& line : *lines) width = std::max(width, static_cast<int>(line.size()) + 4);
  width = std::clamp(width, 30, most);
  width = std::min(width, COLS);
  int textRows = std::min(static_cast<int>(lines->size()), std::max(LINES - 6, 1));
  lines->resize(static_cast<size_t>(textRows));
  CellRect r;
  r.rows = textRows + 4;
  r.cols = width;
  r.row = std::max((LINES - 1 - r.rows) / 2, 0);
  r.col = std::max((COLS - r.cols) / 2, 0);
  return r;
}

void PaintBox(const Layer& box, bool top) {
  std::vector<std::string> lines;
  CellRect r = BoxCells(box, &lines);
  Window(r, box.caption);
  for (size_t i = 0; i < lines.size(); ++i) {
    Put(r.row + 1 + static_cast<int>(i), r.col + 2, lines[i], r.cols - 4, LookAttr(Look::Window));
  }
  std::vector<BoxChoice> choices = OfferedAnswers(box.style);
  int width = 0;
  for (const BoxChoice& c : choices) width += static_cast<int>(std::string(c.word).size()) + 4;
  int col = r.col + std::max((r.cols - width) / 2, 1);
  int row = r.row + r.rows - 2;
  for (size_t i = 0; i < choices.size(); ++i) {
    std::string word = choices[i].word;
    bool focused = top && box.boxFocus == static_cast<int>(i);
    int attr = focused ? LookAttr(Look::Focus) : LookAttr(Look::Button);
    Put(row, col, "[" + word + "]", static_cast<int>(word.size()) + 2, attr);
    Put(row, col + 1, word.substr(0, 1), 1, focused ? attr | A_UNDERLINE : LookAttr(Look::Accelerator));
    col += static_cast<int>(word.size()) + 4;
  }
}

std::string KeyLineFor(const Layer& layer) {
  if (!layer.note.empty()) return layer.note;
  if (!layer.dialog) return "Enter press  Tab/arrows next answer  letter that answer  Esc cancel";
  std::vector<Control> controls = layer.dialog->ControlsSnapshot();
  const Control* focus = layer.focus >= 0 && layer.focus < static_cast<int>(controls.size())
                             ? &controls[static_cast<size_t>(layer.focus)]
                             : nullptr;
  const DialogTemplate* t = layer.dialog->Template();
  if (t && t->closesItself) return "Please wait...  Esc cancel";
  const std::string keys = "Tab next  Enter default  Esc cancel";
  if (!focus) return keys;
  switch (focus->tmpl.kind) {
    case ControlKind::ListBox:
      if (layer.filtering) return "Type to filter  Backspace erase  Enter keep filter  Esc clear filter";
      return "Space select  / filter  " + keys + "  Alt+letter button";
    case ControlKind::Edit: return "Type the text  " + keys + "  Alt+letter button";
    case ControlKind::Radio: return "Space choose  " + keys + "  letter button";
    default: return "Space press  " + keys + "  letter button";
  }
}

}  // namespace

bool Focusable(const Control& c) {
  if (!c.enabled) return false;
  switch (c.tmpl.kind) {
    case ControlKind::Edit: return Editable(c);
    case ControlKind::Button:
    case ControlKind::DefButton:
    case ControlKind::Radio:
    case ControlKind::ListBox: return true;
    default: return false;
  }
}

void RefreshShown(ListState& state, const Control& list, unsigned long revision) {
  if (state.shownRevision == revision) return;
  state.shownRevision = revision;
  state.shown = FilterItems(list.items, state.filter);
  int total = static_cast<int>(state.shown.size());
  state.cursor = std::clamp(state.cursor, 0, std::max(total - 1, 0));
  state.top = std::clamp(state.top, 0, std::max(total - 1, 0));
}

int ListRows(const Layer& layer, int index) {
  const DialogTemplate* t = layer.dialog ? layer.dialog->Template() : nullptr;
  if (!t) return 1;
  DialogCellsLayout layout = LayOut(*t, LINES, COLS);
  if (index < 0 || index >= static_cast<int>(layout.controls.size())) return 1;
  return layout.controls[static_cast<size_t>(index)].rows;
}

void PaintLayers(const std::vector<Layer*>& layers) {
  curs_set(0);
  attrset(A_NORMAL);
  erase();
  if (LINES < kLeastRows || COLS < kLeastCols) {
    Put(0, 0, "Please enlarge the terminal.", COLS - 1, A_BOLD);
    refresh();
    return;
  }
  Fill(CellRect{0, 0, LINES - 1, COLS}, LookAttr(Look::Desktop));
  const Layer* top = nullptr;
  for (const Layer* layer : layers) {
    if (!layer->modeless) top = layer;
  }
  for (const Layer* layer : layers) {
    if (layer->dialog) {
      if (layer != top) PaintDialog(*layer, false);
    } else if (layer != top) {
      PaintBox(*layer, false);
    }
  }
  if (top) {
    // The key line leaves the last cell alone: writing there would scroll
    // terminals that wrap at the margin.
    std::string keys = KeyLineFor(*top);
    keys.resize(static_cast<size_t>(std::max(COLS - 1, 0)), ' ');
    Put(LINES - 1, 0, keys, COLS - 1, LookAttr(Look::KeyLine));
    // The top window last, so that its caret is where the cursor stays.
    caretRow = -1;
    if (top->dialog) {
      PaintDialog(*top, true);
    } else {
      PaintBox(*top, true);
    }
    if (caretRow >= 0) {
      move(caretRow, caretCol);
      curs_set(1);
    }
  }
  refresh();
}

}  // namespace ui::detail
