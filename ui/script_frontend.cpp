// The script frontend: every window takes its answers from the answer file
// $ORVIK_SCRIPT (see the answer-file language in answer_file.h).
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/transcript.h"
#include "ui/answer_file.h"
#include "ui/dialog.h"
#include "ui/frontends.h"
#include "ui/thread_dialogs.h"
#include "ui/transcript_events.h"
#include "ui/window_stack.h"

namespace ui::detail {
namespace {

constexpr size_t kNoLine = static_cast<size_t>(-1);

class ScriptFrontend : public Frontend {
 public:
  ScriptFrontend(std::string path, int firstLine)
      : path_(std::move(path)), next_(firstLine > 0 ? static_cast<size_t>(firstLine - 1) : 0) {
    platform::SetChildEnvironment("ORVIK_SCRIPT_LINE", std::to_string(next_ + 1));
  }

  void RunModal(Dialog& dialog) override;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override;
  void ModelessShown(Dialog&) override {}
  void ModelessUpdated(Dialog&) override {}
  void ModelessDestroyed(Dialog&) override {}

 private:
  // All of the following run under UiMutex().
  bool Load();
  // Index of the next line that carries an answer, or kNoLine.
  size_t PeekLine();
  bool NextLineNames(int windowId);
  void Consume(size_t index);
  // Index of the first line after `after` that carries an answer, or kNoLine.
  size_t NextAnswerLine(size_t after);
  // Takes the next line for the window (dialog id, or 0 for a box with its
  // text), passing over optional lines that do not fit it; fails when there
  // is none, it is malformed or it names another window.
  AnswerLine TakeLine(int windowId, const std::string& caption, const std::string* boxText, size_t* index);
  [[noreturn]] void Fail(const std::string& reason, int windowId, const std::string& caption, size_t index);

  void RunLine(Dialog& dialog, const AnswerLine& line, size_t index);

  std::string path_;
  size_t next_;
  bool loaded_ = false;
  bool readable_ = false;
  std::vector<std::string> lines_;
};

bool ScriptFrontend::Load() {
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

size_t ScriptFrontend::PeekLine() {
  if (!Load()) return kNoLine;
  for (size_t i = next_; i < lines_.size(); ++i) {
    if (!IsSkippedLine(lines_[i])) return i;
  }
  return kNoLine;
}

bool ScriptFrontend::NextLineNames(int windowId) {
  size_t index = PeekLine();
  if (index == kNoLine) return false;
  std::vector<Token> tokens;
  std::string why;
  int id = -1;
  return Tokenize(lines_[index], &tokens, &why) && LineWindow(tokens, &id) && id == windowId;
}

void ScriptFrontend::Consume(size_t index) {
  next_ = index + 1;
  // A program started from here goes on with the next line.
  platform::SetChildEnvironment("ORVIK_SCRIPT_LINE", std::to_string(next_ + 1));
}

void ScriptFrontend::Fail(const std::string& reason, int windowId, const std::string& caption, size_t index) {
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

size_t ScriptFrontend::NextAnswerLine(size_t after) {
  for (size_t i = after + 1; i < lines_.size(); ++i) {
    if (!IsSkippedLine(lines_[i])) return i;
  }
  return kNoLine;
}

AnswerLine ScriptFrontend::TakeLine(int windowId, const std::string& caption, const std::string* boxText,
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

void ScriptFrontend::RunLine(Dialog& dialog, const AnswerLine& line, size_t index) {
  for (const DialogAction& action : line.actions) {
    if (dialog.IsEnded()) {
      std::lock_guard<std::recursive_mutex> lock(UiMutex());
      Fail("the dialog ended before the rest of the line", dialog.TemplateId(), dialog.Caption(), index);
    }
    std::string why = PerformAction(dialog, action);
    if (!why.empty()) {
      std::lock_guard<std::recursive_mutex> lock(UiMutex());
      Fail(why, dialog.TemplateId(), dialog.Caption(), index);
    }
  }
}

void ScriptFrontend::RunModal(Dialog& dialog) {
  const int id = dialog.TemplateId();
  const bool selfClosing = dialog.Template() && dialog.Template()->closesItself;
  for (;;) {
    int nextTimer = FireThreadTimers();
    if (dialog.IsEnded()) return;
    bool mayTake = false;
    {
      std::lock_guard<std::recursive_mutex> lock(UiMutex());
      // A window that closes by itself answers only a line that names it.
      mayTake = ThisThreadOnTop() && (!selfClosing || NextLineNames(id));
    }
    if (!mayTake) {
      WaitForWake(WaitSlice(nextTimer));
      continue;
    }
    CallBeforeAnswerHook(id, dialog.Caption());
    AnswerLine line;
    size_t index = kNoLine;
    {
      std::lock_guard<std::recursive_mutex> lock(UiMutex());
      // Another thread may have opened a window while the hook ran.
      if (!ThisThreadOnTop() || (selfClosing && !NextLineNames(id))) continue;
      line = TakeLine(id, dialog.Caption(), nullptr, &index);
    }
    RunLine(dialog, line, index);
  }
}

int ScriptFrontend::ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) {
  for (;;) {
    int nextTimer = FireThreadTimers();
    if (!ThisThreadOnTop()) {
      WaitForWake(WaitSlice(nextTimer));
      continue;
    }
    CallBeforeAnswerHook(0, caption);
    std::lock_guard<std::recursive_mutex> lock(UiMutex());
    if (!ThisThreadOnTop()) continue;
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
}

}  // namespace

std::unique_ptr<Frontend> MakeScriptFrontend(const std::string& path, int firstLine) {
  return std::make_unique<ScriptFrontend>(path, firstLine);
}

}  // namespace ui::detail
