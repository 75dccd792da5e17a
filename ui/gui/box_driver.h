// Message boxes of the system (MessageBoxA). With an answer, the box is
// answered as a person would: its window is found among the calling
// thread's windows and the answer's button is pressed (BM_CLICK).
#pragma once
#include <string>

#include "ui/gui/win32.h"

namespace ui::gui {

// Shows the box over `owner` and returns the button pressed. `answer`
// (IDOK ...) presses that button; 0 leaves the box to the operator.
// `pictureDir`, when not empty, receives the box's picture.
int RunBox(HWND owner, const std::string& text, const std::string& caption, unsigned style, int answer,
           const std::string& pictureDir);

}  // namespace ui::gui
