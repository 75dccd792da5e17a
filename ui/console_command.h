// Commands typed at the console for a dialog. Internal.
#pragma once
#include <string>

#include "ui/actions.h"

namespace ui {
class Dialog;
}

namespace ui::detail {

struct ConsoleCommand {
  enum Kind { Nothing, Act, Show, Help } kind = Nothing;
  DialogAction action;
};

// Parses a command line for `dialog`: set/toggle/click/close as in answer
// files (for set and toggle the rest of the line is the text, quotes
// optional; their control id may be left out when the dialog has only one
// edit field or list), a button's key letter or its whole text, an empty
// line for the default button, show, help. False with the reason when the
// line is no command.
bool ParseConsoleCommand(const std::string& line, const Dialog& dialog, ConsoleCommand* command, std::string* why);

}  // namespace ui::detail
