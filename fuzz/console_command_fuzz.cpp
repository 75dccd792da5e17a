// Commands typed at the console, against each page of the installer: every
// line is a command or refused with a reason; a letter presses a button that
// carries it; an action written out again parses to the same action.
#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_host.h"
#include "platform/ascii_case.h"
#include "resources/kelmar_resources.h"
#include "ui/console_command.h"
#include "ui/console_view.h"
#include "ui/dialog.h"

namespace {

using ui::detail::ActionKind;
using ui::detail::ConsoleCommand;

// The installer's pages, made once each, with their initial texts.
std::vector<std::unique_ptr<ui::Dialog>>& Pages() {
  static std::vector<std::unique_ptr<ui::Dialog>> pages = [] {
    std::vector<std::unique_ptr<ui::Dialog>> made;
    for (const auto& entry : resources::Kelmar().dialogs) {
      auto page = std::make_unique<ui::Dialog>(entry.first);
      if (page->Create(nullptr)) made.push_back(std::move(page));
    }
    return made;
  }();
  return pages;
}

std::string Written(const ConsoleCommand& command) {
  const std::string id = std::to_string(command.action.control);
  switch (command.action.kind) {
    case ActionKind::Close:
      return "close";
    case ActionKind::Click:
      return "click " + id;
    case ActionKind::Set:
      return "set " + id + " \"" + command.action.text + "\"";
    case ActionKind::Toggle:
      return "toggle " + id + " \"" + command.action.text + "\"";
  }
  return "";
}

void CheckLine(const ui::Dialog& page, const std::string& line) {
  ConsoleCommand command;
  std::string why;
  if (!ui::detail::ParseConsoleCommand(line, page, &command, &why)) {
    fuzz::Check(!why.empty(), "a refused command has no reason: " + line);
    return;
  }
  if (command.kind != ConsoleCommand::Act) return;
  fuzz::Check(command.action.control >= 0, "a negative control id");
  size_t start = line.find_first_not_of(" \t");
  size_t end = line.find_last_not_of(" \t");
  if (start != std::string::npos && start == end) {
    // A letter: a button of the page whose accelerator it is.
    const ui::ControlTemplate* control = page.FindControlTemplate(command.action.control);
    fuzz::Check(control != nullptr && (control->kind == ui::ControlKind::Button ||
                                       control->kind == ui::ControlKind::DefButton),
                "a letter pressed no button: " + line);
    // Its accelerator, or for a button without one the first letter of its
    // text.
    const std::string text = page.GetDlgItemText(command.action.control);
    char accel = ui::detail::Accelerator(text);
    for (size_t i = 0; accel == 0 && i < text.size(); ++i)
      if (std::isalnum(static_cast<unsigned char>(text[i]))) accel = text[i];
    fuzz::Check(platform::EqualNoCase(accel, line[start]), "a letter pressed a button without it: " + line);
  }
  ConsoleCommand again;
  const std::string written = Written(command);
  fuzz::Check(ui::detail::ParseConsoleCommand(written, page, &again, &why), "written out, refused: " + written);
  fuzz::Check(again.kind == command.kind && again.action.kind == command.action.kind &&
                  again.action.control == command.action.control && again.action.text == command.action.text,
              "written out, the command parses otherwise: " + line + " -> " + written);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::PrepareHost();
  ui::SetResources(&resources::Kelmar());
  Pages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || Pages().empty()) return 0;
  const ui::Dialog& page = *Pages()[data[0] % Pages().size()];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  size_t start = 0;
  for (int lines = 0; start <= text.size() && lines < 32; ++lines) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    CheckLine(page, text.substr(start, end - start));
    start = end + 1;
  }
  return 0;
}
