// The process-wide stack of open modal windows (dialogs and boxes of any
// thread). Only the top-most window takes the operator's input; the others
// keep running their timers. Internal to the ui library.
#pragma once
#include <mutex>
#include <string>
#include <thread>

namespace ui {
class Dialog;
}

namespace ui::detail {

struct OpenWindow {
  int id = 0;  // dialog template id; 0 for a box
  std::string caption;
  Dialog* dialog = nullptr;  // nullptr for a box
  std::thread::id thread;
};

// Guards the stack and the reading of answers (answer-file lines), so that
// "am I top-most" and "take the next line" happen as one step.
std::recursive_mutex& UiMutex();

// Pushes a window of the calling thread; returns its handle for PopWindow.
OpenWindow* PushWindow(int id, const std::string& caption, Dialog* dialog);
void PopWindow(OpenWindow* window);
// True when the top-most open window belongs to the calling thread. A thread
// waits only in its innermost window, so this tells that window it may take
// input.
bool ThisThreadOnTop();
// True when `dialog` is the top-most open window of the process.
bool TopWindowIs(const Dialog* dialog);
// True when no modal window is open in the process.
bool NoWindowOpen();

// Wakes every waiting window loop (a window opened or closed, a dialog ended).
void WakeWindows();
// Waits until WakeWindows is called or `milliseconds` pass.
void WaitForWake(int milliseconds);

}  // namespace ui::detail
