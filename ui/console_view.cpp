#include "ui/console_view.h"

#include <cctype>

#include "platform/ascii_case.h"
#include "ui/actions.h"

namespace ui::detail {
namespace {

constexpr size_t kMostChangedItems = 30;  // more are summed up in one line

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  return lines;
}

std::string Indented(const std::string& text, const std::string& indent) {
  std::string out;
  for (const std::string& line : SplitLines(text)) out += indent + line + "\n";
  return out;
}

std::string Percent(const Control& c) {
  long long span = static_cast<long long>(c.rangeHigh) - c.rangeLow;
  long long pct = span > 0 ? (static_cast<long long>(c.pos) - c.rangeLow) * 100 / span : 0;
  return std::to_string(pct) + "%";
}

std::string Disabled(const Control& c) { return c.enabled ? "" : " (disabled)"; }

std::string LabelOf(const std::vector<Control>& controls, size_t i) {
  if (i > 0 && controls[i - 1].tmpl.kind == ControlKind::Static && !controls[i - 1].text.empty()) {
    std::string label = StripAmpersand(controls[i - 1].text);
    while (!label.empty() && (label.back() == ':' || label.back() == ' ')) label.pop_back();
    if (!label.empty()) return label;
  }
  return "Field";
}

std::string FieldLines(const std::vector<Control>& controls, size_t i) {
  const Control& c = controls[i];
  std::string head = "  " + LabelOf(controls, i) + " [" + std::to_string(c.tmpl.id) + "]";
  if (c.tmpl.style & ES_READONLY) head += " (read-only)";
  head += Disabled(c);
  std::vector<std::string> lines = SplitLines(c.text);
  std::string out = head + ": " + lines[0] + "\n";
  for (size_t k = 1; k < lines.size(); ++k) out += "      " + lines[k] + "\n";
  return out;
}

std::string RadioLine(const Control& c) {
  return std::string("  ") + (c.checked ? "(*)" : "( )") + " [" + std::to_string(c.tmpl.id) + "] " +
         StripAmpersand(c.text) + Disabled(c) + "\n";
}

std::string ItemLine(const Control& c, size_t i) {
  return std::string("    ") + (c.selected[i] ? "[x]" : "[ ]") + " #" + std::to_string(i + 1) + " " + c.items[i] +
         "\n";
}

size_t SelectedCount(const Control& c) {
  size_t n = 0;
  for (char s : c.selected) n += s ? 1 : 0;
  return n;
}

std::string ListHeading(const Control& c) {
  return "  List [" + std::to_string(c.tmpl.id) + "]" + Disabled(c) + ": " + std::to_string(c.items.size()) +
         " items, " + std::to_string(SelectedCount(c)) + " selected\n";
}

bool IsButton(const Control& c) {
  return c.tmpl.kind == ControlKind::Button || c.tmpl.kind == ControlKind::DefButton;
}

// Button `i` of `controls` with its id and the key that presses it.
std::string ButtonText(const std::vector<Control>& controls, size_t i) {
  std::vector<std::string> texts;
  size_t index = 0;
  for (size_t k = 0; k < controls.size(); ++k) {
    if (!IsButton(controls[k])) continue;
    if (k == i) index = texts.size();
    texts.push_back(controls[k].text);
  }
  const Control& c = controls[i];
  std::string out = "[" + std::to_string(c.tmpl.id) + "] " + StripAmpersand(c.text);
  if (char letter = ButtonKey(texts, index)) out += " (" + std::string(1, letter) + ")";
  return out + Disabled(c);
}

std::string ListChanges(const Control& b, const Control& a) {
  if (a.items != b.items) {
    std::string out = ListHeading(a);
    if (a.items.size() <= kMostChangedItems) {
      for (size_t i = 0; i < a.items.size(); ++i) out += ItemLine(a, i);
    } else {
      out += "    (show lists the items)\n";
    }
    return out;
  }
  std::vector<size_t> changed;
  for (size_t i = 0; i < a.selected.size(); ++i) {
    if ((a.selected[i] != 0) != (b.selected[i] != 0)) changed.push_back(i);
  }
  if (changed.empty()) return a.enabled != b.enabled ? ListHeading(a) : "";
  if (changed.size() > kMostChangedItems) return ListHeading(a);
  std::string out;
  for (size_t i : changed) out += ItemLine(a, i);
  return out;
}

}  // namespace

std::string StripAmpersand(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

char Accelerator(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return text[i + 1];
  }
  return 0;
}

namespace {

char FirstLetter(const std::string& text) {
  for (char ch : StripAmpersand(text)) {
    if (std::isalnum(static_cast<unsigned char>(ch))) return ch;
  }
  return 0;
}

}  // namespace

char ButtonKey(const std::vector<std::string>& texts, size_t i) {
  if (char letter = Accelerator(texts[i])) return letter;
  char first = FirstLetter(texts[i]);
  if (!first) return 0;
  for (size_t k = 0; k < texts.size(); ++k) {
    if (k == i) continue;
    char other = Accelerator(texts[k]);
    if (!other) other = FirstLetter(texts[k]);
    if (platform::EqualNoCase(other, first)) return 0;
  }
  return platform::AsciiUpper(first);
}

std::string RenderHeading(int id, const std::string& caption) {
  return "\n== " + caption + " [dialog " + std::to_string(id) + "] ==\n";
}

std::string RenderDialog(int id, const std::string& caption, const std::vector<Control>& controls) {
  std::string out = RenderHeading(id, caption);
  std::string buttons;
  for (size_t i = 0; i < controls.size(); ++i) {
    const Control& c = controls[i];
    switch (c.tmpl.kind) {
      case ControlKind::Static:
        // A text just before a field is shown as the field's label.
        if (i + 1 < controls.size() && controls[i + 1].tmpl.kind == ControlKind::Edit) break;
        if (!c.text.empty()) out += Indented(StripAmpersand(c.text), "  ");
        break;
      case ControlKind::Edit:
        out += FieldLines(controls, i);
        break;
      case ControlKind::Radio:
        out += RadioLine(c);
        break;
      case ControlKind::GroupBox:
        out += "  -- " + StripAmpersand(c.text) + " --\n";
        break;
      case ControlKind::ListBox:
        out += ListHeading(c);
        for (size_t k = 0; k < c.items.size(); ++k) out += ItemLine(c, k);
        break;
      case ControlKind::Progress:
        out += "  Progress [" + std::to_string(c.tmpl.id) + "]: " + Percent(c) + "\n";
        break;
      case ControlKind::Button:
      case ControlKind::DefButton:
        buttons += (buttons.empty() ? "" : "   ") + ButtonText(controls, i);
        break;
      case ControlKind::Frame:
      case ControlKind::Icon:
        break;
    }
  }
  if (!buttons.empty()) out += "  Buttons: " + buttons + "\n";
  return out;
}

std::string RenderChanges(const std::string& captionBefore, const std::vector<Control>& before,
                          const std::string& captionAfter, const std::vector<Control>& after) {
  if (before.size() != after.size()) return RenderDialog(0, captionAfter, after);
  std::string out;
  if (captionBefore != captionAfter) out += "  Caption: " + captionAfter + "\n";
  for (size_t i = 0; i < after.size(); ++i) {
    const Control& b = before[i];
    const Control& a = after[i];
    switch (a.tmpl.kind) {
      case ControlKind::Static:
        if (a.text != b.text) out += Indented(StripAmpersand(a.text), "  ");
        break;
      case ControlKind::Edit:
        if (a.text != b.text || a.enabled != b.enabled) out += FieldLines(after, i);
        break;
      case ControlKind::Radio:
        if (a.checked != b.checked || a.enabled != b.enabled) out += RadioLine(a);
        break;
      case ControlKind::GroupBox:
        if (a.text != b.text) out += "  -- " + StripAmpersand(a.text) + " --\n";
        break;
      case ControlKind::ListBox:
        out += ListChanges(b, a);
        break;
      case ControlKind::Progress:
        if (Percent(a) != Percent(b)) out += "  Progress [" + std::to_string(a.tmpl.id) + "]: " + Percent(a) + "\n";
        break;
      case ControlKind::Button:
      case ControlKind::DefButton:
        if (a.text != b.text || a.enabled != b.enabled) out += "  Button " + ButtonText(after, i) + "\n";
        break;
      case ControlKind::Frame:
      case ControlKind::Icon:
        break;
    }
  }
  return out;
}

std::string RenderStatus(const std::vector<Control>& controls) {
  std::string out;
  for (const Control& c : controls) {
    std::string piece;
    if (c.tmpl.kind == ControlKind::Static || c.tmpl.kind == ControlKind::Edit) {
      piece = StripAmpersand(c.text);
      for (char& ch : piece) {
        if (ch == '\r' || ch == '\n') ch = ' ';
      }
    } else if (c.tmpl.kind == ControlKind::Progress) {
      piece = Percent(c);
    }
    if (piece.empty()) continue;
    if (!out.empty()) out += out.back() == ':' ? " " : "  ";
    out += piece;
  }
  return "  " + out + "\n";
}

std::string RenderBox(const std::string& text, const std::string& caption, unsigned style) {
  std::string out = "\n-- " + caption + " --\n" + Indented(text, "  ");
  std::string answers;
  for (const BoxChoice& choice : OfferedAnswers(style)) {
    answers += (answers.empty() ? "" : ", ") + std::string(choice.word) + " (" + choice.word[0] + ")";
  }
  return out + "  Answer: " + answers + "\n";
}

std::string CommandHelp() {
  return "Commands: set <id> <text> | toggle <id> #<n> or <item> | click <id> | a button's letter | close | "
         "show | help\n";
}

std::string CommandGuide() {
  return "  A control's id is the number in [brackets]; a command may leave it out when the\n"
         "  window has only one control of that kind.\n"
         "  set <id> <text>     put <text> into an edit field\n"
         "                        e.g.  set 1008 C:\\ORVIK\\USER    or, with one field:  set C:\\ORVIK\\USER\n"
         "  toggle <id> <item>  select or deselect a list item, by its text or its number\n"
         "                        e.g.  toggle 1014 #2    or, with one list:  toggle \"BETA 2\"\n"
         "  click <id>          press a button or pick a radio button   e.g.  click 1\n"
         "  <letter>            press the button shown with (<letter>)   e.g.  n\n"
         "  <button text>       press the button with that text   e.g.  ok\n"
         "  (empty line)        press the default button (Enter)\n"
         "  close               close the window, as Escape does\n"
         "  show                show the whole window again\n"
         "  help                this explanation\n";
}

}  // namespace ui::detail
