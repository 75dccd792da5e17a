// The lines of an answer file as the windows take them: the next line for a
// window, optional lines passed over, ORVIK_SCRIPT_LINE kept for started
// programs, and the diagnostic that ends the run when no line fits. Shared
// by the script frontend and the native dialogs driven by an answer file.
// Internal; callers hold UiMutex().
#pragma once
#include <string>
#include <vector>

#include "ui/answer_file.h"

namespace ui::detail {

class AnswerScript {
 public:
  static constexpr size_t kNoLine = static_cast<size_t>(-1);

  // Answers from the file `path`, starting at line `firstLine` (1-based).
  AnswerScript(std::string path, int firstLine);

  // True when the next line that carries an answer names `windowId`.
  bool NextLineNames(int windowId);
  // Takes the next line for the window (dialog id, or 0 for a box with its
  // text), passing over optional lines that do not fit it; ends the program
  // when there is none, it is malformed or it names another window. `index`
  // receives the line's index for later diagnostics.
  AnswerLine TakeLine(int windowId, const std::string& caption, const std::string* boxText, size_t* index);
  // Takes the box's line and returns its answer (IDOK ...), after checking
  // its `contains` text and that the box offers the answer.
  int TakeBoxAnswer(const std::string& text, const std::string& caption, unsigned style);
  // Ends the program with the diagnostic naming line `index` (or the end
  // of the file) and the window.
  [[noreturn]] void Fail(const std::string& reason, int windowId, const std::string& caption, size_t index);

 private:
  bool Load();
  size_t PeekLine();
  size_t NextAnswerLine(size_t after);
  void Consume(size_t index);

  std::string path_;
  size_t next_;
  bool loaded_ = false;
  bool readable_ = false;
  std::vector<std::string> lines_;
};

}  // namespace ui::detail
