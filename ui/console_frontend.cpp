// The console frontend: line-oriented dialogs on standard input and output.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ui/actions.h"
#include "ui/answer_recorder.h"
#include "ui/console_command.h"
#include "ui/console_io.h"
#include "ui/console_view.h"
#include "ui/dialog.h"
#include "ui/frontends.h"
#include "ui/thread_dialogs.h"
#include "ui/transcript_events.h"
#include "ui/window_stack.h"

namespace ui::detail {
namespace {

// Longest wait for input before a window looks at its timers and its place
// on the stack again.
constexpr int kInputSliceMs = 50;
// Status lines of windows that close by themselves come at most this often.
constexpr long long kStatusIntervalMs = 250;

int InputSlice(int nextTimerMs) {
  if (nextTimerMs < 0 || nextTimerMs > kInputSliceMs) return kInputSliceMs;
  return nextTimerMs < 1 ? 1 : nextTimerMs;
}

// What the operator last saw of one dialog.
struct View {
  std::string caption;
  std::vector<Control> controls;
  unsigned long revision = 0;
};

View Look(const Dialog& dialog) {
  View view;
  view.revision = dialog.Revision();
  view.caption = dialog.Caption();
  view.controls = dialog.ControlsSnapshot();
  return view;
}

// Prints what changed since `shown` and remembers the new look.
void ShowChanges(const Dialog& dialog, View* shown, bool heading) {
  std::string out;
  if (heading) out = RenderHeading(dialog.TemplateId(), dialog.Caption());
  if (dialog.Revision() != shown->revision) {
    View now = Look(dialog);
    out += RenderChanges(shown->caption, shown->controls, now.caption, now.controls);
    *shown = std::move(now);
  }
  if (!out.empty()) ConsoleWrite(out);
  SetLastPrinter(&dialog);
}

// Prints the whole dialog and remembers the look.
void ShowWhole(const Dialog& dialog, View* shown) {
  *shown = Look(dialog);
  ConsoleWrite(RenderDialog(dialog.TemplateId(), shown->caption, shown->controls));
  SetLastPrinter(&dialog);
}

void Prompt() { ConsoleWrite("> "); }

// A status line for a window that closes by itself or a modeless window.
struct Status {
  std::string line;
  long long printedAt = 0;
  unsigned long revision = 0;
};

// Prints the window's status line when it changed, at most every
// kStatusIntervalMs unless `force`.
void ShowStatus(const Dialog& dialog, Status* status, bool force) {
  if (dialog.Revision() == status->revision && LastPrinter() == &dialog) return;
  long long now = NowMs();
  if (!force && now - status->printedAt < kStatusIntervalMs) return;
  std::string line = RenderStatus(dialog.ControlsSnapshot());
  status->revision = dialog.Revision();
  std::string out;
  if (LastPrinter() != &dialog) out = RenderHeading(dialog.TemplateId(), dialog.Caption());
  if (line != status->line || !out.empty()) out += line;
  status->line = line;
  if (out.empty()) return;
  status->printedAt = now;
  ConsoleWrite(out);
  SetLastPrinter(&dialog);
}

class ConsoleFrontend : public Frontend {
 public:
  ConsoleFrontend() : recorder_(AnswerRecorder::FromEnvironment()) {}

  void RunModal(Dialog& dialog) override;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override;
  void ModelessShown(Dialog& dialog) override;
  void ModelessUpdated(Dialog& dialog) override;
  void ModelessDestroyed(Dialog& dialog) override;

 private:
  void RunSelfClosing(Dialog& dialog);
  // Runs one typed line: an action (then shows what changed), show, help;
  // a line that is no command is answered with the reason.
  void Execute(Dialog& dialog, const std::string& line, View* shown);

  std::mutex modelessMutex_;
  std::map<const Dialog*, Status> modeless_;
  std::unique_ptr<AnswerRecorder> recorder_;  // ORVIK_RECORD, or none
};

void ConsoleFrontend::Execute(Dialog& dialog, const std::string& line, View* shown) {
  ConsoleCommand command;
  std::string why;
  if (!ParseConsoleCommand(line, dialog, &command, &why)) {
    ConsoleWrite("  " + why + "\n");
    return;
  }
  switch (command.kind) {
    case ConsoleCommand::Nothing:
      return;
    case ConsoleCommand::Help:
      ConsoleWrite(CommandGuide());
      return;
    case ConsoleCommand::Show:
      ShowWhole(dialog, shown);
      return;
    case ConsoleCommand::Act:
      break;
  }
  why = PerformAction(dialog, command.action, recorder_.get());
  if (!why.empty()) {
    ConsoleWrite("  " + why + "\n");
    return;
  }
  if (dialog.IsEnded()) return;
  // A window opened by the action printed in between: show this one whole.
  if (LastPrinter() != &dialog) {
    ShowWhole(dialog, shown);
  } else {
    ShowChanges(dialog, shown, false);
  }
}

void ConsoleFrontend::RunModal(Dialog& dialog) {
  if (dialog.Template() && dialog.Template()->closesItself) {
    RunSelfClosing(dialog);
    return;
  }
  const bool echo = !ConsoleIsTerminal();
  View shown = Look(dialog);
  ConsoleWrite(RenderDialog(dialog.TemplateId(), shown.caption, shown.controls) + CommandHelp());
  SetLastPrinter(&dialog);
  bool prompted = false;
  for (;;) {
    int nextTimer = FireThreadTimers();
    if (dialog.IsEnded()) return;
    if (!ThisThreadOnTop()) {
      prompted = false;
      WaitForWake(WaitSlice(nextTimer));
      continue;
    }
    if (!prompted) {
      // Another window printed since (one on top of it, or the page after
      // it that Back left): show this one whole again.
      if (LastPrinter() != &dialog) ShowWhole(dialog, &shown);
      CallBeforeAnswerHook(dialog.TemplateId(), dialog.Caption());
      Prompt();
      prompted = true;
    }
    std::string line;
    InputResult got = ReadConsoleLine(InputSlice(nextTimer), &line);
    if (got == InputResult::Timeout) continue;
    if (got == InputResult::End) {
      FailNoAnswer("end of input: no answer for " + WindowName(dialog.TemplateId(), dialog.Caption()));
    }
    if (echo) ConsoleWrite(line + "\n");
    prompted = false;
    Execute(dialog, line, &shown);
  }
}

void ConsoleFrontend::RunSelfClosing(Dialog& dialog) {
  // Commands are read only from a person at a terminal: typed-ahead input
  // from a file or pipe belongs to the windows that wait for it.
  bool interactive = ConsoleIsTerminal();
  Status status;
  View shown = Look(dialog);
  ShowStatus(dialog, &status, true);
  for (;;) {
    int nextTimer = FireThreadTimers();
    if (dialog.IsEnded()) break;
    if (!ThisThreadOnTop()) {
      WaitForWake(WaitSlice(nextTimer));
      continue;
    }
    ShowStatus(dialog, &status, false);
    if (!interactive) {
      WaitForWake(WaitSlice(nextTimer));
      continue;
    }
    std::string line;
    InputResult got = ReadConsoleLine(WaitSlice(nextTimer), &line);
    if (got == InputResult::End) interactive = false;
    if (got != InputResult::Line) continue;
    CallBeforeAnswerHook(dialog.TemplateId(), dialog.Caption());
    Execute(dialog, line, &shown);
    status.revision = shown.revision;
  }
  if (ThisThreadOnTop()) ShowStatus(dialog, &status, true);
}

int ConsoleFrontend::ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) {
  const bool echo = !ConsoleIsTerminal();
  const std::string box = RenderBox(text, caption, style);
  int key = 0;  // the box's own address stands for it as printer
  bool prompted = false;
  bool shownOnce = false;
  for (;;) {
    int nextTimer = FireThreadTimers();
    if (!ThisThreadOnTop()) {
      prompted = false;
      WaitForWake(WaitSlice(nextTimer));
      continue;
    }
    if (!prompted) {
      if (!shownOnce || LastPrinter() != &key) ConsoleWrite(box);
      shownOnce = true;
      SetLastPrinter(&key);
      CallBeforeAnswerHook(0, caption);
      Prompt();
      prompted = true;
    }
    std::string line;
    InputResult got = ReadConsoleLine(InputSlice(nextTimer), &line);
    if (got == InputResult::Timeout) continue;
    if (got == InputResult::End) FailNoAnswer("end of input: no answer for " + WindowName(0, caption));
    if (echo) ConsoleWrite(line + "\n");
    prompted = false;
    // An empty line (Enter) gives the box's default answer.
    size_t start = line.find_first_not_of(" \t");
    size_t end = line.find_last_not_of(" \t");
    std::string why;
    int answer = start == std::string::npos ? DefaultAnswer(style)
                                            : ParseBoxAnswer(line.substr(start, end - start + 1), style, true, &why);
    if (answer != 0) {
      SetLastPrinter(nullptr);
      if (recorder_) recorder_->RecordBox(text, answer);
      return answer;
    }
    ConsoleWrite("  " + why + "\n");
  }
}

void ConsoleFrontend::ModelessShown(Dialog& dialog) {
  std::lock_guard<std::mutex> lock(modelessMutex_);
  Status& status = modeless_[&dialog];
  SetLastPrinter(nullptr);
  ShowStatus(dialog, &status, true);
}

void ConsoleFrontend::ModelessUpdated(Dialog& dialog) {
  // Only the thread that owns the terminal prints (a box of another thread
  // may be waiting for its answer).
  if (!ThisThreadOnTop() && !NoWindowOpen()) return;
  std::lock_guard<std::mutex> lock(modelessMutex_);
  auto it = modeless_.find(&dialog);
  if (it != modeless_.end()) ShowStatus(dialog, &it->second, false);
}

void ConsoleFrontend::ModelessDestroyed(Dialog& dialog) {
  std::lock_guard<std::mutex> lock(modelessMutex_);
  auto it = modeless_.find(&dialog);
  if (it == modeless_.end()) return;
  // The window's last state (a bar at its end) is shown before it goes.
  if (ThisThreadOnTop() || NoWindowOpen()) ShowStatus(dialog, &it->second, true);
  modeless_.erase(it);
  if (LastPrinter() == &dialog) SetLastPrinter(nullptr);
}

}  // namespace

std::unique_ptr<Frontend> MakeConsoleFrontend() { return std::make_unique<ConsoleFrontend>(); }

}  // namespace ui::detail
