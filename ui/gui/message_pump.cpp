#include "ui/gui/message_pump.h"

#include "ui/gui/native_dialog.h"
#include "ui/gui/win32.h"

namespace ui::gui {

void DispatchWaitingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Left for the loop that owns the thread.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    HWND dialog = InnermostWindow();
    if (dialog && IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace ui::gui
