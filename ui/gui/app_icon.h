// The programs' own icon, drawn in code: a calibration dial (a white gauge
// face with its scale and a red pointer) on a blue rounded square.
#pragma once
#include "ui/gui/win32.h"

namespace ui::gui {

// The icon at `size` pixels square (32: large, 16: small); made once and
// kept for the life of the program.
HICON AppIcon(int size);

// Colour of the icon's pixel (x, y) at `size`, as 0xAARRGGBB (tests).
unsigned AppIconPixel(int size, int x, int y);

}  // namespace ui::gui
