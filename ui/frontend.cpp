// Choice of the operator frontend (ORVIK_UI) and the before-answer hook.
#include <atomic>
#include <cstdlib>
#include <mutex>

#include "platform/terminal.h"
#include "platform/transcript.h"
#include "ui/actions.h"
#include "ui/frontends.h"
#include "ui/transcript_events.h"

namespace ui {
namespace {

std::mutex frontendMutex;
std::unique_ptr<Frontend>& Current() {
  static std::unique_ptr<Frontend> current;
  return current;
}

std::atomic<BeforeAnswerHook> beforeAnswer{nullptr};

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The first answer-file line to take: $ORVIK_SCRIPT_LINE, else 1.
int FirstScriptLine() {
  int firstLine = 1;
  if (!detail::ParseDecimal(Env("ORVIK_SCRIPT_LINE"), &firstLine) || firstLine < 1) firstLine = 1;
  return firstLine;
}

std::unique_ptr<Frontend> FromEnvironment() {
  std::string kind = Env("ORVIK_UI");
  if (kind == "gui" || (kind.empty() && detail::GuiAvailable())) {
    if (std::unique_ptr<Frontend> gui = detail::MakeGuiFrontend(Env("ORVIK_SCRIPT"), FirstScriptLine())) return gui;
    detail::FailNoAnswer("ORVIK_UI \"gui\": this build has no native dialogs (screen, console or script)");
  }
  if (kind == "screen" || (kind.empty() && platform::ScreenTerminal())) return detail::MakeScreenFrontend();
  if (kind.empty() || kind == "console") return detail::MakeConsoleFrontend();
  if (kind == "script") return detail::MakeScriptFrontend(Env("ORVIK_SCRIPT"), FirstScriptLine());
  detail::FailNoAnswer("ORVIK_UI " + platform::TranscriptQuote(kind) +
                       " names no operator frontend (screen, console, script or gui)");
}

}  // namespace

Frontend& CurrentFrontend() {
  std::lock_guard<std::mutex> lock(frontendMutex);
  if (!Current()) Current() = FromEnvironment();
  return *Current();
}

Frontend* ChosenFrontend() {
  std::lock_guard<std::mutex> lock(frontendMutex);
  return Current().get();
}

void SetFrontend(std::unique_ptr<Frontend> frontend) {
  std::lock_guard<std::mutex> lock(frontendMutex);
  Current() = std::move(frontend);
}

void ResetFrontendForTesting() {
  std::lock_guard<std::mutex> lock(frontendMutex);
  Current().reset();
}

void SetBeforeAnswerHook(BeforeAnswerHook hook) { beforeAnswer.store(hook); }

namespace detail {

void CallBeforeAnswerHook(int windowId, const std::string& caption) {
  if (BeforeAnswerHook hook = beforeAnswer.load()) hook(windowId, caption);
}

}  // namespace detail
}  // namespace ui
