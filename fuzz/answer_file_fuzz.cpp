// The answer-file language: every line of any text either parses or is
// refused with a reason, and a parsed line written back parses the same.
#include <string>
#include <vector>

#include "fuzz/fuzz_host.h"
#include "ui/answer_file.h"

namespace {

using ui::detail::AnswerLine;
using ui::detail::DialogAction;

bool Same(const AnswerLine& a, const AnswerLine& b) {
  if (a.box != b.box || a.windowId != b.windowId || a.hasContains != b.hasContains || a.contains != b.contains ||
      a.answer != b.answer || a.actions.size() != b.actions.size())
    return false;
  for (size_t i = 0; i < a.actions.size(); ++i) {
    const DialogAction& x = a.actions[i];
    const DialogAction& y = b.actions[i];
    if (x.kind != y.kind || x.control != y.control || x.text != y.text) return false;
  }
  return true;
}

void CheckLine(const std::string& text) {
  std::vector<ui::detail::Token> tokens;
  std::string why;
  if (ui::detail::Tokenize(text, &tokens, &why)) {
    for (const ui::detail::Token& token : tokens) {
      fuzz::Check(token.quoted || !token.text.empty(), "an empty bare token");
      fuzz::Check(token.quoted || token.text.find_first_of(" \t\r") == std::string::npos, "a bare token holds a blank");
      fuzz::Check(token.text.find('"') == std::string::npos || !token.quoted, "a quoted token holds a quote");
    }
  }
  AnswerLine line;
  why.clear();
  if (!ui::detail::ParseAnswerText(text, &line, &why)) {
    fuzz::Check(!why.empty(), "a refused line has no reason: " + text);
    return;
  }
  fuzz::Check(line.box ? line.windowId == 0 && line.actions.empty() : line.windowId > 0 && !line.actions.empty(),
              "a parsed line is neither a box line nor a dialog line: " + text);
  std::string written;
  if (!ui::detail::FormatAnswerLine(line, &written)) return;  // a text no token can hold
  AnswerLine again;
  fuzz::Check(ui::detail::ParseAnswerText(written, &again, &why), "written back, the line is refused: " + written);
  fuzz::Check(Same(line, again), "written back, the line parses otherwise: " + text + " -> " + written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines = ui::detail::SplitAnswerLines(text);
  for (const std::string& line : lines) {
    fuzz::Check(line.find('\n') == std::string::npos, "a line holds a line feed");
    if (!ui::detail::IsSkippedLine(line)) CheckLine(line);
  }
  return 0;
}
