#include "ui/console_command.h"

#include <cctype>

#include "ui/console_view.h"
#include "ui/dialog.h"

namespace ui::detail {
namespace {

std::string Trim(const std::string& text) {
  size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t");
  return text.substr(start, end - start + 1);
}

std::string Lower(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return text;
}

// Splits off the first word; `rest` is what follows it, trimmed.
std::string FirstWord(const std::string& text, std::string* rest) {
  size_t end = text.find_first_of(" \t");
  if (end == std::string::npos) {
    rest->clear();
    return text;
  }
  *rest = Trim(text.substr(end));
  return text.substr(0, end);
}

std::string Unquoted(const std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

bool AcceleratorButton(const Dialog& dialog, char letter, int* id) {
  const DialogTemplate* t = dialog.Template();
  if (!t) return false;
  int lower = std::tolower(static_cast<unsigned char>(letter));
  for (const ControlTemplate& c : t->controls) {
    if (c.kind != ControlKind::Button && c.kind != ControlKind::DefButton) continue;
    char accel = Accelerator(dialog.GetDlgItemText(c.id));
    if (accel && std::tolower(static_cast<unsigned char>(accel)) == lower) {
      *id = c.id;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ParseConsoleCommand(const std::string& input, const Dialog& dialog, ConsoleCommand* command, std::string* why) {
  *command = ConsoleCommand();
  std::string line = Trim(input);
  if (line.empty()) return true;
  if (line.size() == 1 && std::isalnum(static_cast<unsigned char>(line[0]))) {
    int id = 0;
    if (!AcceleratorButton(dialog, line[0], &id)) {
      *why = "no button has the letter " + line;
      return false;
    }
    command->kind = ConsoleCommand::Act;
    command->action.kind = ActionKind::Click;
    command->action.control = id;
    return true;
  }
  std::string rest;
  std::string verb = Lower(FirstWord(line, &rest));
  if (verb == "show") {
    command->kind = ConsoleCommand::Show;
    return true;
  }
  if (verb == "help" || verb == "?") {
    command->kind = ConsoleCommand::Help;
    return true;
  }
  DialogAction& action = command->action;
  if (verb == "close") {
    action.kind = ActionKind::Close;
  } else if (verb == "click" || verb == "set" || verb == "toggle") {
    std::string text;
    std::string idWord = FirstWord(rest, &text);
    if (idWord.empty() || !ParseDecimal(idWord, &action.control)) {
      *why = verb + " needs a control id (a number)";
      return false;
    }
    if (verb == "click") {
      if (!text.empty()) {
        *why = "click takes only a control id";
        return false;
      }
      action.kind = ActionKind::Click;
    } else if (verb == "set") {
      action.kind = ActionKind::Set;
      action.text = Unquoted(text);
    } else {
      if (text.empty()) {
        *why = "toggle needs an item: #<n> or its text";
        return false;
      }
      action.kind = ActionKind::Toggle;
      action.text = Unquoted(text);
    }
  } else {
    *why = "unknown command " + verb;
    return false;
  }
  command->kind = ConsoleCommand::Act;
  return true;
}

}  // namespace ui::detail
