// The system's in-memory dialog template (DLGTEMPLATE and its items) made
// from a template of resources/: ids, caption, positions and sizes in dialog
// units and control styles come from there, nowhere else.
#pragma once
#include <cstdint>
#include <vector>

#include "ui/resource.h"

namespace ui::gui {

// What kind of window the template is for.
enum class WindowRole {
  Main,   // the program's first window: a minimise box, shown in the task bar
  Owned,  // a window over another one
};

// The template as the WORDs DialogBoxIndirectParam and
// CreateDialogIndirectParam take (DWORD-aligned when the vector's data is).
std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& tmpl, WindowRole role);

// Window class and style of one control, as the template gives them.
struct ControlClass {
  std::uint16_t atom;      // predefined class atom, or 0 for `name`
  const char* name;        // class name when atom is 0
  std::uint32_t style;     // WS_CHILD | WS_VISIBLE | ...
  std::uint32_t exStyle;
};
ControlClass ClassOf(const ControlTemplate& control);

}  // namespace ui::gui
