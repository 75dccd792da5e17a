// Construction of the operator frontends and the before-answer hook. Internal.
#pragma once
#include <memory>
#include <string>

#include "ui/frontend.h"

namespace ui::detail {

// Answers from the file `path`, starting at line `firstLine` (1-based).
std::unique_ptr<Frontend> MakeScriptFrontend(const std::string& path, int firstLine);
// Line-oriented dialogs on standard input and output.
std::unique_ptr<Frontend> MakeConsoleFrontend();
// Full-screen windows on the terminal, driven by keys.
std::unique_ptr<Frontend> MakeScreenFrontend();
// Native dialogs of the host's window system (nullptr where there is none),
// driven by the answer file `scriptPath` from line `firstLine` when the
// path is not empty.
std::unique_ptr<Frontend> MakeGuiFrontend(const std::string& scriptPath, int firstLine);
// True where the native dialogs exist (the default frontend there).
bool GuiAvailable();

// Calls the hook set with SetBeforeAnswerHook, if any.
void CallBeforeAnswerHook(int windowId, const std::string& caption);

// Longest wait of a window loop between checks, in milliseconds.
constexpr int kWaitSliceMs = 10;
// Clamps the time to a window's next timer into one wait slice.
inline int WaitSlice(int nextTimerMs) {
  if (nextTimerMs < 0 || nextTimerMs > kWaitSliceMs) return kWaitSliceMs;
  return nextTimerMs < 1 ? 1 : nextTimerMs;
}

}  // namespace ui::detail
