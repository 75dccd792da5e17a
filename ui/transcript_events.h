// Transcript lines of the dialog framework (window, field, item, box,
// answer, end, error) and the fatal "no answer" exit. Internal.
#pragma once
#include <string>
#include <vector>

namespace ui {
class Dialog;
struct Control;
}

namespace ui::detail {

// `window <id> "<caption>"`, then `field` for every edit field and `item`
// for every list item, in template order.
void WriteWindowLines(const Dialog& dialog);
// The same for a window whose controls are given (what a native window holds).
void WriteWindowLines(int id, const std::string& caption, const std::vector<Control>& controls);
void WriteAnswerLine(const std::string& action);
void WriteBoxLine(const std::string& caption, const std::string& text);
void WriteEndLine(int id, int code);

// How diagnostics name a window: `window 104 "Caption"` or `box "Caption"`.
std::string WindowName(int id, const std::string& caption);

// The operator frontend has no answer: writes `error "<diagnostic>"` to the
// transcript and the diagnostic to stderr, then ends the process with 86.
[[noreturn]] void FailNoAnswer(const std::string& diagnostic);

constexpr int kNoAnswerExitCode = 86;

}  // namespace ui::detail
