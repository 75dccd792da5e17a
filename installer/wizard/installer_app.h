// The installer's application object: launch check, message text service,
// the one modal MainDialog, and the clean-up program at exit.
#pragma once
#include <string>

#include "ui/app.h"

namespace wizard {

class InstallerApp : public ui::App {
 public:
  bool InitInstance() override;
  int ExitInstance() override;

  std::string exitDirectory;
  std::string cleanupCommand;
};

// True when the command line ends in the diagnostics switch " -d" that the
// bootstrap appends.
bool HasDebugSwitch(const std::string& commandLine);
// The command line less the switch when it has one.
std::string WithoutDebugSwitch(const std::string& commandLine);
// Parent folder of a directory as the clean-up command needs it:
// C:\TEMP\~ovprocedureinstall gives C:\TEMP\, C:\ gives C:.
std::string ParentFolder(const std::string& directory);

}  // namespace wizard
