// The installer's Welcome page and main window: it owns all wizard state for
// the run and drives the wizard's steps.
#pragma once
#include <cstdint>
#include <string>

#include "installer/catalogue/procedures_list.h"
#include "installer/transfer/copy_progress.h"
#include "installer/transfer/install_paths.h"
#include "installer/transfer/xfer_plan.h"
#include "ui/dialog.h"

class MainDialog : public ui::Dialog {
 public:
  explicit MainDialog(const std::string& commandLine);

  // Members in declaration order.
  ProceduresList procedures;
  std::string commandLine;
  std::string calibratorCode;
  std::string readmeTarget;
  std::string workDir;
  std::uint8_t readmeCopied = 0;
  char workDirBuffer[260] = {};
  xfer::InstallPaths paths;
  xfer::XferPlan plan;
  xfer::CopyProgress progress;
  std::uint8_t debugMode = 0;
  int icon = 1052;

  bool OnInitDialog() override;
  void OnOK() override;  // the wizard driver
  void OnCommand(int controlId) override;
  void ReadStartupSettings();

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
};
