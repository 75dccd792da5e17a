// What the full-screen frontend keeps of each open window: the dialog or
// box, the focus, list positions and filters, the text being edited.
// Internal.
#pragma once
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "ui/dialog.h"

namespace ui::detail {

// Where a list box shows its items.
struct ListState {
  int cursor = 0;  // position in `shown`
  int top = 0;     // first shown row
  std::string filter;
  std::vector<int> shown;  // item indexes that pass the filter
  unsigned long shownRevision = ~0UL;
};

struct Layer {
  Dialog* dialog = nullptr;  // nullptr: a message box
  bool modeless = false;
  std::thread::id thread;
  // Message boxes.
  std::string text, caption;
  unsigned style = 0;
  int boxFocus = 0;
  // Dialogs: focus is a position in the controls (template order), -1 none.
  int focus = -1;
  std::map<int, ListState> lists;  // by position
  bool filtering = false;          // keys go to the focused list's filter
  std::string typed;               // type-ahead in a list
  long long typedAt = 0;
  // The edit field being typed in (position), its text and caret, and the
  // dialog's text it started from.
  int editing = -1;
  std::string buffer;
  size_t caret = 0;
  std::string origin;
  std::string note;  // a one-line message on the key line (why a key did nothing)
};

// True for controls that take the focus.
bool Focusable(const Control& c);

// Draws every layer, bottom first, and the key line of the top one.
void PaintLayers(const std::vector<Layer*>& layers);

// Keeps `state.shown` in step with the list's items and filter.
void RefreshShown(ListState& state, const Control& list, unsigned long revision);
// The rows that list `index` (position in the controls) takes on the screen.
int ListRows(const Layer& layer, int index);

}  // namespace ui::detail
