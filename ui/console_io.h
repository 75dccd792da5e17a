// Standard input and output of the console frontend, shared by every window
// of the process. Internal.
#pragma once
#include <string>

namespace ui::detail {

enum class InputResult { Line, Timeout, End };

// Reads one line of standard input (without its line end), waiting at most
// `timeoutMs`. A last line without a line end counts as a line.
InputResult ReadConsoleLine(int timeoutMs, std::string* line);
// True when standard input is a terminal (a person types the commands).
bool ConsoleIsTerminal();
// Writes text to standard output at once, in one piece.
void ConsoleWrite(const std::string& text);

// The window that printed last; a window that prints after another one first
// repeats its heading.
const void* LastPrinter();
void SetLastPrinter(const void* window);

}  // namespace ui::detail
