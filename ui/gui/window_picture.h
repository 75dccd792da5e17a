// Pictures of windows for review: a window as it is on the screen, frame
// and caption included, written as a BMP file.
#pragma once
#include <string>

#include "ui/gui/win32.h"

namespace ui::gui {

// Writes the screen area of `window` to `path`; false when it cannot.
bool SaveWindowPicture(HWND window, const std::string& path);

// `<dir>\<nn>-<name>.bmp`, nn counting the pictures of this process
// (a program started later goes on after the highest number in `dir`).
std::string NextPicturePath(const std::string& dir, const std::string& name);

}  // namespace ui::gui
