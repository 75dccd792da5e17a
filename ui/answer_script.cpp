#include "ui/answer_script.h"

#include <fstream>
#include <sstream>

#include "platform/process.h"
#include "platform/transcript.h"
#include "ui/actions.h"
#include "ui/transcript_events.h"

namespace ui::detail {

AnswerScript::AnswerScript(std::string path, int firstLine)
    : path_(std::move(path)), next_(firstLine > 0 ? static_cast<size_t>(firstLine - 1) : 0) {
  platform::SetChildEnvironment("ORVIK_SCRIPT_LINE", std::to_string(next_ + 1));
}

bool AnswerScript::Load() {
  if (loaded_) return readable_;
  loaded_ = true;
  if (path_.empty()) return false;
  std::ifstream in(path_, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  lines_ = SplitAnswerLines(text.str());
  readable_ = true;
  return true;
}

size_t AnswerScript::PeekLine() {
  if (!Load()) return kNoLine;
  for (size_t i = next_; i < lines_.size(); ++i) {
    if (!IsSkippedLine(lines_[i])) return i;
  }
  return kNoLine;
}

bool AnswerScript::NextLineNames(int windowId) {
  size_t index = PeekLine();
  if (index == kNoLine) return false;
  std::vector<Token> tokens;
  std::string why;
  int id = -1;
  return Tokenize(lines_[index], &tokens, &why) && LineWindow(tokens, &id) && id == windowId;
}

void AnswerScript::Consume(size_t index) {
  next_ = index + 1;
  // A program started from here goes on with the next line.
  platform::SetChildEnvironment("ORVIK_SCRIPT_LINE", std::to_string(next_ + 1));
}

void AnswerScript::Fail(const std::string& reason, int windowId, const std::string& caption, size_t index) {
  std::string where;
  if (index != kNoLine) {
    std::string text = lines_[index];
    size_t start = text.find_first_not_of(" \t");
    where = "answer file line " + std::to_string(index + 1) + ": " + text.substr(start);
  } else if (!readable_) {
    where = path_.empty() ? "ORVIK_SCRIPT names no answer file" : "answer file " + path_ + " cannot be read";
  } else {
    where = "answer file " + path_ + " has no line after line " + std::to_string(lines_.size());
  }
  FailNoAnswer(reason + ": " + WindowName(windowId, caption) + ", " + where);
}

size_t AnswerScript::NextAnswerLine(size_t after) {
  for (size_t i = after + 1; i < lines_.size(); ++i) {
    if (!IsSkippedLine(lines_[i])) return i;
  }
  return kNoLine;
}

AnswerLine AnswerScript::TakeLine(int windowId, const std::string& caption, const std::string* boxText,
                                  size_t* index) {
  size_t first = PeekLine();
  if (first == kNoLine) Fail("no answer left", windowId, caption, kNoLine);
  // Optional lines for other windows are passed over up to the first line
  // that fits; with none, the diagnostic names the first line tried.
  for (size_t i = first; i != kNoLine; i = NextAnswerLine(i)) {
    std::string why;
    AnswerLine line;
    if (!ParseAnswerText(lines_[i], &line, &why)) Fail(why, windowId, caption, i);
    int named = line.box ? 0 : line.windowId;
    bool fits = named == windowId;
    if (fits && line.optional && line.hasContains && boxText) {
      fits = boxText->find(line.contains) != std::string::npos;
    }
    if (!fits && line.optional) continue;
    if (!fits) {
      Fail(named == 0 ? "the line is for a box" : "the line is for window " + std::to_string(named), windowId,
           caption, i);
    }
    Consume(i);
    *index = i;
    return line;
  }
  Fail("no line fits: the lines left are optional lines for other windows", windowId, caption, first);
}

int AnswerScript::TakeBoxAnswer(const std::string& text, const std::string& caption, unsigned style) {
  size_t index = kNoLine;
  AnswerLine line = TakeLine(0, caption, &text, &index);
  if (line.hasContains && text.find(line.contains) == std::string::npos) {
    Fail("the box text " + platform::TranscriptQuote(text) + " does not contain " +
             platform::TranscriptQuote(line.contains),
         0, caption, index);
  }
  std::string why;
  int answer = ParseBoxAnswer(line.answer, style, false, &why);
  if (answer == 0) Fail(why, 0, caption, index);
  return answer;
}

}  // namespace ui::detail
