// The installer's Welcome page and main window: it owns the wizard's state
// for the run and drives the wizard's steps.
#pragma once
#include <string>

#include "installer/wizard/wizard_state.h"
#include "ui/dialog.h"

namespace wizard {

class MainDialog : public ui::Dialog {
 public:
  explicit MainDialog(const std::string& commandLine);

  bool OnInitDialog() override;
  void OnOK() override;  // the wizard driver
  void OnCommand(int controlId) override;
  void OnSysCommand(int command) override;  // the system menu's About item

 private:
  // Wizard steps; each returns the code of the next step.
  int DirectoryStep();    // 1 and 8
  int ConfirmQuitStep();  // 2
  int SelectionStep();    // 3
  int CalibratorStep();   // 4
  int InstallStep();      // 9

  // Pieces of the steps.
  int ConfirmDirectories();
  int CheckDirectory(std::string& directory, const char* label);
  void ShowAbout();

  WizardState state_;
};

}  // namespace wizard
