// Operator frontends: the answer-file language (script), the console and
// the full screen.
#pragma once
#include <memory>
#include <string>

#include "ui/dialog.h"

namespace ui {

class Frontend {
 public:
  virtual ~Frontend() = default;
  // Runs a modal dialog (already initialised) until it ends.
  virtual void RunModal(Dialog& dialog) = 0;
  // Shows a box and returns the answer.
  virtual int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) = 0;
  // A modeless window was shown, repainted or destroyed.
  virtual void ModelessShown(Dialog& dialog) = 0;
  virtual void ModelessUpdated(Dialog& dialog) = 0;
  virtual void ModelessDestroyed(Dialog& dialog) = 0;
  // A modal dialog asked to be repainted now (UpdateWindow from a handler
  // that keeps its thread busy). Frontends that draw only while they wait
  // for the operator may ignore it.
  virtual void WindowUpdated(Dialog& dialog) { (void)dialog; }
  // True when the frontend writes a dialog's window, field and item lines
  // itself, from what its own controls hold (else the dialog writes them
  // from its state as it first waits).
  virtual bool WritesWindowLines() const { return false; }
  // True when its windows have a system menu (Dialog::AppendSystemMenuItem).
  virtual bool HasSystemMenu() const { return false; }
  // The wait cursor was switched on or off (SetWaitCursor).
  virtual void WaitCursorChanged(bool on) { (void)on; }
  // Dispatches the window events that wait for the calling thread
  // (PumpMessages); frontends without native windows have none.
  virtual void DispatchPending() {}
};

// The frontend chosen by ORVIK_UI (screen by default on a terminal that can
// address the screen, else console; script reads $ORVIK_SCRIPT from line
// $ORVIK_SCRIPT_LINE). Created on first use.
Frontend& CurrentFrontend();
// The frontend if one was chosen already, else nullptr (no choice is made).
Frontend* ChosenFrontend();
// Replaces the frontend (tests).
void SetFrontend(std::unique_ptr<Frontend> frontend);
// Makes the next call of CurrentFrontend read the environment again.
void ResetFrontendForTesting();

// A hook that in-process tests may set: called with each window (dialog id,
// or 0 for a box) just before it takes its answer.
using BeforeAnswerHook = void (*)(int windowId, const std::string& caption);
void SetBeforeAnswerHook(BeforeAnswerHook hook);

}  // namespace ui
