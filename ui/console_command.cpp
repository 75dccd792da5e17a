#include "ui/console_command.h"

#include <cctype>
#include <vector>

#include "platform/ascii_case.h"
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

// The dialog's buttons in template order, with their current texts.
struct Buttons {
  std::vector<int> ids;
  std::vector<std::string> texts;
  int defaultId = 0;
};

Buttons ButtonsOf(const Dialog& dialog) {
  Buttons buttons;
  const DialogTemplate* t = dialog.Template();
  if (!t) return buttons;
  for (const ControlTemplate& c : t->controls) {
    if (c.kind != ControlKind::Button && c.kind != ControlKind::DefButton) continue;
    if (c.kind == ControlKind::DefButton && !buttons.defaultId) buttons.defaultId = c.id;
    buttons.ids.push_back(c.id);
    buttons.texts.push_back(dialog.GetDlgItemText(c.id));
  }
  return buttons;
}

bool KeyButton(const Buttons& buttons, char letter, int* id) {
  for (size_t i = 0; i < buttons.ids.size(); ++i) {
    char key = ButtonKey(buttons.texts, i);
    if (key && platform::EqualNoCase(key, letter)) {
      *id = buttons.ids[i];
      return true;
    }
  }
  return false;
}

// The one button whose text (without '&', case ignored) is `line`; 0 when
// none, -1 when several.
int ButtonNamed(const Buttons& buttons, const std::string& line) {
  int found = 0;
  for (size_t i = 0; i < buttons.ids.size(); ++i) {
    if (!platform::EqualNoCase(Trim(StripAmpersand(buttons.texts[i])), line)) continue;
    found = found ? -1 : buttons.ids[i];
  }
  return found;
}

bool IsKind(const ControlTemplate& c, ActionKind action) {
  if (action == ActionKind::Toggle) return c.kind == ControlKind::ListBox;
  return c.kind == ControlKind::Edit;
}

// Whether `id` is a control `action` works on.
bool Names(const Dialog& dialog, ActionKind action, int id) {
  const DialogTemplate* t = dialog.Template();
  if (!t) return false;
  for (const ControlTemplate& c : t->controls) {
    if (c.id == id && IsKind(c, action)) return true;
  }
  return false;
}

// The only control `action` can work on (a list, or an edit field that is
// not read-only), 0 when there is none, -1 when there are several.
int OnlyControl(const Dialog& dialog, ActionKind action) {
  const DialogTemplate* t = dialog.Template();
  if (!t) return 0;
  int found = 0;
  for (const ControlTemplate& c : t->controls) {
    if (!IsKind(c, action) || (action == ActionKind::Set && (c.style & ES_READONLY))) continue;
    found = found ? -1 : c.id;
  }
  return found;
}

}  // namespace

bool ParseConsoleCommand(const std::string& input, const Dialog& dialog, ConsoleCommand* command, std::string* why) {
  *command = ConsoleCommand();
  std::string line = Trim(input);
  DialogAction& action = command->action;
  if (line.empty()) {
    // Enter presses the default button.
    action.control = ButtonsOf(dialog).defaultId;
    if (!action.control) return true;
    command->kind = ConsoleCommand::Act;
    action.kind = ActionKind::Click;
    return true;
  }
  if (line.size() == 1 && std::isalnum(static_cast<unsigned char>(line[0]))) {
    if (!KeyButton(ButtonsOf(dialog), line[0], &action.control)) {
      *why = "no button has the letter " + line;
      return false;
    }
    command->kind = ConsoleCommand::Act;
    action.kind = ActionKind::Click;
    return true;
  }
  std::string rest;
  std::string verb = platform::AsciiLower(FirstWord(line, &rest));
  if (verb == "show") {
    command->kind = ConsoleCommand::Show;
    return true;
  }
  if (verb == "help" || verb == "?") {
    command->kind = ConsoleCommand::Help;
    return true;
  }
  if (verb == "close") {
    action.kind = ActionKind::Close;
  } else if (verb == "click") {
    std::string extra;
    std::string idWord = FirstWord(rest, &extra);
    if (idWord.empty() || !ParseDecimal(idWord, &action.control)) {
      *why = "click needs a control id (a number)";
      return false;
    }
    if (!extra.empty()) {
      *why = "click takes only a control id";
      return false;
    }
    action.kind = ActionKind::Click;
  } else if (verb == "set" || verb == "toggle") {
    action.kind = verb == "set" ? ActionKind::Set : ActionKind::Toggle;
    std::string text;
    std::string idWord = FirstWord(rest, &text);
    int only = OnlyControl(dialog, action.kind);
    int id = 0;
    if (!idWord.empty() && ParseDecimal(idWord, &id) && (only <= 0 || Names(dialog, action.kind, id))) {
      action.control = id;
    } else if (only > 0 && !rest.empty()) {
      // The window's only field or list: the whole rest is the text.
      action.control = only;
      text = rest;
    } else {
      *why = verb + " needs a control id (a number)";
      if (only < 0) *why += verb == "set" ? ": this window has several edit fields" : ": this window has several lists";
      return false;
    }
    if (action.kind == ActionKind::Toggle && text.empty()) {
      *why = "toggle needs an item: #<n> or its text";
      return false;
    }
    action.text = Unquoted(text);
  } else {
    int id = ButtonNamed(ButtonsOf(dialog), line);
    if (id < 0) {
      *why = "several buttons are called " + line + ": use click <id>";
      return false;
    }
    if (id == 0) {
      *why = "unknown command " + verb;
      return false;
    }
    action.kind = ActionKind::Click;
    action.control = id;
  }
  command->kind = ConsoleCommand::Act;
  return true;
}

}  // namespace ui::detail
