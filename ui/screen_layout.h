// Geometry and text of the full-screen frontend, free of the terminal:
// dialog units scaled to character cells, word wrapping, list filtering.
// Internal.
#pragma once
#include <string>
#include <vector>

#include "ui/resource.h"

namespace ui::detail {

// A block of character cells.
struct CellRect {
  int row = 0, col = 0, rows = 0, cols = 0;
};

// The framed window of a dialog `cx` x `cy` dialog units, centred on a screen
// of `screenRows` x `screenCols` whose last row is the key line. Four units
// make a column and eight a row where the screen has room; smaller screens
// squeeze the dialog to fit.
CellRect DialogCells(int cx, int cy, int screenRows, int screenCols);
// The cells of control `c` inside the frame `window` of a dialog cx x cy.
CellRect ControlCells(const ControlTemplate& c, int cx, int cy, const CellRect& window);

// A dialog on the screen: its framed window and the cells of each control
// (template order). Templates without dialog units (cx or cy 0) are laid out
// in a column, one control under the other, with the buttons in a row at
// the bottom.
struct DialogCellsLayout {
  CellRect window;
  std::vector<CellRect> controls;
};
DialogCellsLayout LayOut(const DialogTemplate& t, int screenRows, int screenCols);

// `text` broken into lines of at most `width` characters, at blanks where it
// can be; line ends in the text are kept.
std::vector<std::string> WrapText(const std::string& text, int width);

// Indexes of the items that hold `filter` (all items when it is empty).
std::vector<int> FilterItems(const std::vector<std::string>& items, const std::string& filter);
// Position in `shown` (indexes into `items`) of the first item that starts
// with `prefix`, or -1.
int FindByPrefix(const std::vector<std::string>& items, const std::vector<int>& shown, const std::string& prefix);

}  // namespace ui::detail
