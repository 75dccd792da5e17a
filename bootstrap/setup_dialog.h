// The bootstrap's window (dialog 102): a progress bar while the installer and
// its files are staged in the temporary folder; the staging runs once, when
// the window first shows, and the window then closes.
#pragma once
#include <string>

#include "ui/dialog.h"

namespace bootstrap {

class SetupDialog : public ui::Dialog {
 public:
  explicit SetupDialog(bool debugMode);
  bool OnInitDialog() override;
  void OnTimer(int timerId) override;

  // The staging, steps 1 to 12; public for tests.
  void Stage();

 private:
  void SetBar(int position);
  bool StageFile(const std::string& file);
  bool StageReadme();
  bool StageCleanupProgram();
  void StartInstaller();

  bool debugMode_;
  bool staged_ = false;
  bool failed_ = false;
  std::string sourceFolder_;
  std::string tempFolder_;
  std::string stagingFolder_;
};

}  // namespace bootstrap
