#include "resources/window_reference.h"

#include <cstdlib>

#include "resources/kelmar_resources.h"
#include "resources/setup_resources.h"
#include "resources/window_boxes.h"

namespace resources {

namespace {

using ui::ControlKind;

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static: return "label";
    case ControlKind::Edit: return "edit field";
    case ControlKind::Button: return "button";
    case ControlKind::DefButton: return "default button";
    case ControlKind::Radio: return "radio button";
    case ControlKind::GroupBox: return "group box";
    case ControlKind::ListBox: return "list";
    case ControlKind::Progress: return "progress bar";
    case ControlKind::Frame: return "frame";
    case ControlKind::Icon: return "icon";
  }
  return "control";
}

// Text for a Markdown table cell or a list line: line breaks as the
// transcript writes them, table bars escaped.
std::string Cell(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c == '|') out += "\\|";
    else out += c;
  }
  return out;
}

std::string Quote(const std::string& text) { return "\"" + Cell(text) + "\""; }

std::string Controls(const ui::DialogTemplate& d) {
  std::string out = "| id | kind | text | style |\n|---|---|---|---|\n";
  for (const ui::ControlTemplate& c : d.controls) {
    std::string style;
    if (c.style & ui::ES_READONLY) style += "read-only ";
    if (c.style & ui::ES_MULTILINE) style += "multi-line ";
    if (c.style & ui::ES_UPPERCASE) style += "capitals ";
    if (c.style & ui::LBS_MULTIPLESEL) style += "multiple selection ";
    if (!style.empty()) style.pop_back();
    out += "| " + (c.id < 0 ? std::string("–") : std::to_string(c.id)) + " | " + KindName(c.kind) + " | " +
           Cell(c.text) + " | " + style + " |\n";
  }
  return out;
}

// The controls an answer-file action can name, as "id "text"" items.
std::string Actionable(const ui::DialogTemplate& d, bool (*fits)(const ui::ControlTemplate&), bool withText) {
  std::string out;
  for (const ui::ControlTemplate& c : d.controls) {
    if (c.id < 0 || !fits(c)) continue;
    out += (out.empty() ? "" : ", ") + ("`" + std::to_string(c.id) + "`") + (withText ? " " + Quote(c.text) : "");
  }
  return out;
}

bool IsButton(const ui::ControlTemplate& c) {
  return c.kind == ControlKind::Button || c.kind == ControlKind::DefButton || c.kind == ControlKind::Radio;
}
bool IsField(const ui::ControlTemplate& c) { return c.kind == ControlKind::Edit && !(c.style & ui::ES_READONLY); }
bool IsList(const ui::ControlTemplate& c) { return c.kind == ControlKind::ListBox; }

std::string BoxLine(const BoxNote& b, const std::map<int, std::string>& texts, const std::string& program,
                    std::vector<std::string>* problems) {
  std::string caption = b.caption, text = b.text;
  if (b.kind != BoxKind::Plain) {
    auto it = texts.find(b.number);
    if (it == texts.end()) {
      problems->push_back(program + " window " + std::to_string(b.window) + ": message " + std::to_string(b.number) +
                          " has no text");
    } else {
      text = it->second;
    }
    if (b.kind == BoxKind::Error) caption = "ORVIK Error " + std::to_string(b.number);
    if (b.kind == BoxKind::Notice) caption = "ORVIK Notice " + std::to_string(b.number);
  }
  std::string number = b.kind == BoxKind::Text ? " (message " + std::to_string(b.number) + ")" : "";
  return "- " + std::string(b.when) + ": " + Quote(caption) + number + " " + Quote(text) + "; answers " + b.answers +
         "\n";
}

std::string Program(const std::string& title, const std::string& program, const ui::ResourceModule& module,
                    const std::vector<int>& order, const std::vector<BoxNote>& boxes,
                    const std::map<int, const char*>& notes, const std::map<int, std::string>& texts,
                    std::vector<std::string>* problems) {
  for (const BoxNote& b : boxes)
    if (module.dialogs.count(b.window) == 0)
      problems->push_back(program + ": a box is listed for window " + std::to_string(b.window) +
                          ", which has no template");
  // The given order first, then any other template by id.
  std::vector<int> ids;
  for (int id : order)
    if (module.dialogs.count(id) != 0) ids.push_back(id);
  for (const auto& entry : module.dialogs) {
    bool listed = false;
    for (int id : order) listed = listed || id == entry.first;
    if (!listed) ids.push_back(entry.first);
  }
  std::string out = "## " + title + "\n\n";
  for (int id : ids) {
    const ui::DialogTemplate& d = module.dialogs.at(id);
    out += "### " + std::to_string(id) + " " + Quote(d.caption) + "\n\n";
    auto note = notes.find(id);
    if (note != notes.end()) out += std::string(note->second) + "\n\n";
    if (d.closesItself) out += "Closes by itself: it takes an answer line only when the next line names it.\n\n";
    out += Controls(d) + "\n";
    std::string buttons = Actionable(d, IsButton, true);
    std::string fields = Actionable(d, IsField, false);
    std::string lists = Actionable(d, IsList, false);
    if (!buttons.empty()) out += "- `click`: " + buttons + "\n";
    if (!fields.empty()) out += "- `set`: " + fields + "\n";
    if (!lists.empty()) out += "- `toggle`: " + lists + " (an item's exact text or `#<n>`)\n";
    if (!buttons.empty() || !fields.empty() || !lists.empty()) out += "\n";
    std::string lines;
    for (const BoxNote& b : boxes)
      if (b.window == id) lines += BoxLine(b, texts, program, problems);
    if (!lines.empty()) out += "Boxes:\n\n" + lines + "\n";
  }
  return out;
}

}  // namespace

std::map<int, std::string> ParseMessageTexts(const std::string& source, std::vector<std::string>* problems) {
  std::map<int, std::string> texts;
  std::size_t start = 0;
  int lineNumber = 0;
  while (start < source.size()) {
    std::size_t end = source.find('\n', start);
    if (end == std::string::npos) end = source.size();
    std::string line = source.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    char* rest = nullptr;
    long number = std::strtol(line.c_str(), &rest, 10);
    if (rest == line.c_str() || *rest != ' ') {
      problems->push_back("line " + std::to_string(lineNumber) + " is not \"<number> <text>\"");
      continue;
    }
    std::string text;
    for (const char* p = rest + 1; *p != '\0'; ++p) {
      if (*p == '\\' && (p[1] == 'n' || p[1] == 't' || p[1] == '\\')) {
        ++p;
        text += *p == 'n' ? '\n' : *p == 't' ? '\t' : '\\';
      } else {
        text += *p;
      }
    }
    if (!texts.emplace(static_cast<int>(number), text).second)
      problems->push_back("line " + std::to_string(lineNumber) + ": message " + std::to_string(number) +
                          " is given twice");
  }
  return texts;
}

std::string WindowReference(const std::map<int, std::string>& texts, std::vector<std::string>* problems) {
  std::string out =
      "# Windows and message boxes\n\n"
      "Made at build time from the dialog templates in `resources/` and the table of message boxes in "
      "`resources/window_boxes.cpp` (`build/doc/windows.md`); a test keeps this copy the same. Do not edit it: "
      "change the templates or the table, build, and copy the new file here.\n\n"
      "An answer-file line names a window by the id in its heading and a control by its id "
      "(`108 toggle 1014 #2 click 1`); `close` (the close box or Escape) works on every window. A box is "
      "answered by a `box` line with one of the answers listed; `contains` may check any part of its text, "
      "where `\\n` stands for a line break and `<...>`, `%s` and `%d` for what the program fills in. Numbered "
      "errors (`ORVIK Error <n>`) offer OK (go on) and Cancel (give up). A box comes only when its condition "
      "holds, after the answer-file line of the window listed, as the next line.\n\n";
  out += Program("kelmar (the installer)", "kelmar", Kelmar(), KelmarWindowOrder(), KelmarBoxes(), KelmarNotes(),
                 texts, problems);
  static const std::map<int, const char*> setupNotes = {
      {102, "The only window of setup.exe: it stages the installer and starts it."}};
  out += Program("kelmar_setup (setup.exe)", "kelmar_setup", Setup(), {}, SetupBoxes(), setupNotes, texts, problems);
  out += "## datenum\n\ndatenum shows no windows, only boxes with OK: captioned \"DATENUM Error\" for a date it "
         "cannot convert, \"Error\" when orvik.ini is not valid or dosdose.dat cannot be read or written, then "
         "\"DATENUM:  Error\" (with two blanks) naming the step that failed.\n";
  return out;
}

}  // namespace resources
