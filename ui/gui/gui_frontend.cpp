// The native dialogs frontend (ORVIK_UI=gui, the default on Windows): every
// window is a real dialog of the system, made from the same templates. With
// ORVIK_SCRIPT set, the answer file drives the real windows.
#include <cstdlib>
#include <memory>
#include <mutex>

#include "platform/transcript.h"
#include "ui/answer_script.h"
#include "ui/frontends.h"
#include "ui/thread_dialogs.h"
#include "ui/window_stack.h"
#include "ui/gui/box_driver.h"
#include "ui/gui/message_pump.h"
#include "ui/gui/native_dialog.h"
#include "ui/gui/win32.h"

namespace ui::detail {
namespace {

class GuiFrontend : public Frontend {
 public:
  GuiFrontend(const std::string& scriptPath, int firstLine) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (!scriptPath.empty()) script_ = std::make_unique<AnswerScript>(scriptPath, firstLine);
    gui::GuiSettings settings;
    settings.script = script_.get();
    // Pictures of each window for review (scripts/screenshots.sh).
    if (const char* dir = std::getenv("ORVIK_SCREENSHOTS")) settings.pictureDir = dir;
    gui::SetGuiSettings(settings);
  }

  void RunModal(Dialog& dialog) override { gui::RunModalWindow(dialog); }

  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override {
    int answer = 0;
    if (script_) {
      // Only the top-most window takes a line; the others go on meanwhile.
      for (;;) {
        int nextTimer = FireThreadTimers();
        gui::DispatchWaitingMessages();
        bool onTop = false;
        {
          std::lock_guard<std::recursive_mutex> lock(UiMutex());
          onTop = ThisThreadOnTop();
        }
        if (onTop) break;
        WaitForWake(WaitSlice(nextTimer));
      }
      CallBeforeAnswerHook(0, caption);
      std::lock_guard<std::recursive_mutex> lock(UiMutex());
      answer = script_->TakeBoxAnswer(text, caption, style);
    }
    return gui::RunBox(gui::InnermostWindow(), text, caption, style, answer, gui::Settings().pictureDir);
  }

  void ModelessShown(Dialog& dialog) override { gui::OpenModelessWindow(dialog); }
  void ModelessUpdated(Dialog& dialog) override { gui::RefreshWindow(dialog); }
  void ModelessDestroyed(Dialog& dialog) override { gui::CloseModelessWindow(dialog); }
  void WindowUpdated(Dialog& dialog) override { gui::RefreshWindow(dialog); }
  bool WritesWindowLines() const override { return true; }
  bool HasSystemMenu() const override { return true; }
  void WaitCursorChanged(bool on) override { SetCursor(LoadCursor(nullptr, on ? IDC_WAIT : IDC_ARROW)); }
  void DispatchPending() override { gui::DispatchWaitingMessages(); }

 private:
  std::unique_ptr<AnswerScript> script_;
};

}  // namespace

std::unique_ptr<Frontend> MakeGuiFrontend(const std::string& scriptPath, int firstLine) {
  return std::make_unique<GuiFrontend>(scriptPath, firstLine);
}

bool GuiAvailable() { return true; }

}  // namespace ui::detail
