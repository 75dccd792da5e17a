// Native windows of the framework's dialogs: made from the dialog's
// template, kept showing the dialog's state, and turning the operator's
// input (or an answer line's actions, done through the same window
// messages) into the dialog's handlers.
#pragma once
#include <string>

#include "ui/answer_script.h"
#include "ui/dialog.h"
#include "ui/gui/win32.h"

namespace ui::gui {

// What the windows need to know of the frontend.
struct GuiSettings {
  detail::AnswerScript* script = nullptr;  // answers come from this file, else from the operator
  std::string pictureDir;                  // each window's picture goes here, else none is made
};
void SetGuiSettings(const GuiSettings& settings);
const GuiSettings& Settings();

// Runs the dialog's window modally (DialogBoxIndirectParam) on the calling
// thread until the dialog ends.
void RunModalWindow(Dialog& dialog);
// Opens the modeless window of the dialog (CreateDialogIndirectParam) and
// shows it; refreshes and closes it.
void OpenModelessWindow(Dialog& dialog);
void RefreshWindow(Dialog& dialog);
void CloseModelessWindow(Dialog& dialog);

// The calling thread's innermost dialog window, or nullptr.
HWND InnermostWindow();
// True when `window` is the window of a framework dialog.
bool IsDialogWindow(HWND window);

}  // namespace ui::gui
