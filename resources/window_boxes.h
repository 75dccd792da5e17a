// The message boxes an operator can meet at each window, kept by hand beside
// the templates: which action leads to them, their caption and text, and the
// answers they offer. The window reference of the documentation is made from
// this and the templates; internal-error boxes that only a fault of the
// programs themselves can show are left out.
#pragma once
#include <map>
#include <vector>

namespace resources {

enum class BoxKind {
  Error,   // numbered, captioned "ORVIK Error <n>", OK and Cancel
  Notice,  // numbered, captioned "ORVIK Notice <n>", OK
  Text,    // a numbered text in a box of its own caption
  Plain,   // a text of the program's own
};

struct BoxNote {
  int window;           // the window whose visit leads to the box
  const char* when;     // the action or moment
  BoxKind kind;
  int number;           // the message number (Error, Notice, Text), else 0
  const char* caption;  // Text and Plain
  const char* text;     // Plain: the text, "<...>" standing for what is filled in
  const char* answers;  // answer words the box offers
};

// The installer's boxes, grouped by window in the order of the wizard.
const std::vector<BoxNote>& KelmarBoxes();
// A sentence on when the installer shows a window, by window id.
const std::map<int, const char*>& KelmarNotes();
// The installer's windows in the order the wizard meets them.
const std::vector<int>& KelmarWindowOrder();
// The bootstrap's boxes.
const std::vector<BoxNote>& SetupBoxes();

}  // namespace resources
