// native_dialog.h brings the framework's headers, which come before win32.h.
#include "ui/gui/native_dialog.h"
#include "ui/gui/box_driver.h"
#include "ui/gui/window_picture.h"

namespace ui::gui {
namespace {

// The box this thread waits in, and how to answer it.
struct PendingBox {
  const std::string* caption;
  int answer;
  const std::string* pictureDir;
  bool pressed;
};
thread_local PendingBox* pending = nullptr;

std::string Caption(HWND window) {
  char text[512];
  int n = GetWindowTextA(window, text, sizeof text);
  return std::string(text, n > 0 ? n : 0);
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  char cls[16];
  if (GetClassNameA(window, cls, sizeof cls) && std::string(cls) == "#32770" && !IsDialogWindow(window) &&
      IsWindowVisible(window) && Caption(window) == *pending->caption && GetDlgItem(window, pending->answer)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// Runs inside the box's own message loop.
void CALLBACK PressAnswer(HWND, UINT, UINT_PTR, DWORD) {
  if (!pending || pending->pressed) return;
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  pending->pressed = true;
  if (!pending->pictureDir->empty()) {
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    SaveWindowPicture(box, NextPicturePath(*pending->pictureDir, "box"));
  }
  SendMessageA(GetDlgItem(box, pending->answer), BM_CLICK, 0, 0);
}

}  // namespace

int RunBox(HWND owner, const std::string& text, const std::string& caption, unsigned style, int answer,
           const std::string& pictureDir) {
  PendingBox box{&caption, answer, &pictureDir, false};
  PendingBox* outer = pending;
  UINT_PTR timer = 0;
  if (answer != 0) {
    pending = &box;
    timer = SetTimer(nullptr, 0, 10, PressAnswer);
  }
  int result = MessageBoxA(owner, text.c_str(), caption.c_str(), style);
  if (timer) KillTimer(nullptr, timer);
  pending = outer;
  return result;
}

}  // namespace ui::gui
