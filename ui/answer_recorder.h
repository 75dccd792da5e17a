// The recorder of an interactive session (ORVIK_RECORD=<file>): writes the
// operator's answers as an answer file while they are given, so that the
// session replays with ORVIK_UI=script. Any interactive frontend reports its
// answers here. Internal.
#pragma once
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "ui/actions.h"

namespace ui {
class Dialog;
}

namespace ui::detail {

class AnswerRecorder {
 public:
  // The recorder named by ORVIK_RECORD, or nullptr when there is none. The
  // first program of a session starts the file afresh; the programs it
  // starts add to it.
  static std::unique_ptr<AnswerRecorder> FromEnvironment();

  // Starts `path` afresh (a new file put in place in one step) or, with
  // `continued`, adds to it. Failures are reported on stderr once; the
  // session goes on unrecorded.
  AnswerRecorder(const std::string& path, bool continued);

  // An action on a dialog, just before it is performed (a window the action
  // opens then records its answers after it).
  void RecordAction(const Dialog& dialog, const DialogAction& action);
  // The answer given to a box.
  void RecordBox(const std::string& text, int answer);

 private:
  void Write(const std::string& line);

  std::mutex mutex_;
  std::ofstream out_;
};

// The answer-file line for `action` on `dialog`: optional ("? ") for windows
// that come only in some states. Empty when a text cannot be written in the
// answer-file language (it holds a double quote).
std::string RecordedDialogLine(const Dialog& dialog, const DialogAction& action);
// The optional box line: `? box contains "<first line of the text>" <answer>`.
std::string RecordedBoxLine(const std::string& text, int answer);

}  // namespace ui::detail
