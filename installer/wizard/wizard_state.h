// The state of one run of the wizard, owned by the Welcome page: the
// catalogue, the command line, the operator's choices, and the transfer's
// paths, plan and progress. The steps reach it through these accessors and
// hand each page or subsystem only the part it works on.
#pragma once
#include <cstdint>
#include <string>

#include "installer/catalogue/procedures_list.h"
#include "installer/transfer/copy_progress.h"
#include "installer/transfer/install_paths.h"
#include "installer/transfer/xfer_plan.h"
#include "resources/kelmar_ids.h"

namespace wizard {

class WizardState {
 public:
  explicit WizardState(const std::string& commandLine);

  // Start-up. Loads the catalogue kelmar.lst; false when it has no record.
  bool LoadCatalogue();
  // Takes the current directory as the working directory, which holds the
  // transfer list and the disk map.
  void TakeWorkDir();
  // Takes the "-d" switch and the source folder from the command line.
  void TakeCommandLine();
  // Reads the target directories from orvik.ini.
  void ReadStartupSettings();

  catalogue::ProceduresList& Procedures() { return procedures_; }
  const std::string& CommandLine() const { return commandLine_; }
  const std::string& CalibratorCode() const { return calibratorCode_; }
  void SetCalibratorCode(const std::string& code) { calibratorCode_ = code; }
  const std::string& ReadmeTarget() const { return readmeTarget_; }
  void SetReadmeTarget(const std::string& path) { readmeTarget_ = path; }
  const std::string& WorkDir() const { return workDir_; }
  bool ReadmeCopied() const { return readmeCopied_ != 0; }
  void MarkReadmeCopied() { readmeCopied_ = 1; }
  bool DebugMode() const { return debugMode_ != 0; }
  int Icon() const { return icon_; }

  // The target directories change only in the directory step; the install
  // step reads them.
  transfer::InstallPaths& Paths() { return paths_; }
  const transfer::InstallPaths& Paths() const { return paths_; }
  transfer::XferPlan& Plan() { return plan_; }
  transfer::CopyProgress& Progress() { return progress_; }

 private:
  // Members in declaration order.
  catalogue::ProceduresList procedures_;
  std::string commandLine_;
  std::string calibratorCode_;
  std::string readmeTarget_;
  std::string workDir_;
  std::uint8_t readmeCopied_ = 0;
  char workDirBuffer_[260] = {};
  transfer::InstallPaths paths_;
  transfer::XferPlan plan_;
  transfer::CopyProgress progress_;
  std::uint8_t debugMode_ = 0;
  int icon_ = IDI_KELMAR;
};

}  // namespace wizard
