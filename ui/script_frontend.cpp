// The script frontend: every window takes its answers from the answer file
// $ORVIK_SCRIPT (see the answer-file language in answer_file.h).
#include <mutex>
#include <string>

#include "ui/answer_script.h"
#include "ui/dialog.h"
#include "ui/frontends.h"
#include "ui/thread_dialogs.h"
#include "ui/transcript_events.h"
#include "ui/window_stack.h"

namespace ui::detail {
namespace {

class ScriptFrontend : public Frontend {
 public:
  ScriptFrontend(std::string path, int firstLine) : script_(std::move(path), firstLine) {}

  void RunModal(Dialog& dialog) override;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override;
  void ModelessShown(Dialog&) override {}
  void ModelessUpdated(Dialog&) override {}
  void ModelessDestroyed(Dialog&) override {}

 private:
  void RunLine(Dialog& dialog, const AnswerLine& line, size_t index);

  AnswerScript script_;  // used under UiMutex()
};

void ScriptFrontend::RunLine(Dialog& dialog, const AnswerLine& line, size_t index) {
  for (const DialogAction& action : line.actions) {
    if (dialog.IsEnded()) {
      std::lock_guard<std::recursive_mutex> lock(UiMutex());
      script_.Fail("the dialog ended before the rest of the line", dialog.TemplateId(), dialog.Caption(), index);
    }
    std::string why = PerformAction(dialog, action);
    if (!why.empty()) {
      std::lock_guard<std::recursive_mutex> lock(UiMutex());
      script_.Fail(why, dialog.TemplateId(), dialog.Caption(), index);
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
      mayTake = ThisThreadOnTop() && (!selfClosing || script_.NextLineNames(id));
    }
    if (!mayTake) {
      WaitForWake(WaitSlice(nextTimer));
      continue;
    }
    CallBeforeAnswerHook(id, dialog.Caption());
    AnswerLine line;
    size_t index = AnswerScript::kNoLine;
    {
      std::lock_guard<std::recursive_mutex> lock(UiMutex());
      // Another thread may have opened a window while the hook ran.
      if (!ThisThreadOnTop() || (selfClosing && !script_.NextLineNames(id))) continue;
      line = script_.TakeLine(id, dialog.Caption(), nullptr, &index);
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
    return script_.TakeBoxAnswer(text, caption, style);
  }
}

}  // namespace

std::unique_ptr<Frontend> MakeScriptFrontend(const std::string& path, int firstLine) {
  return std::make_unique<ScriptFrontend>(path, firstLine);
}

}  // namespace ui::detail
