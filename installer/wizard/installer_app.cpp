#include "installer/wizard/installer_app.h"

#include <algorithm>

#include "installer/installer_codes.h"
#include "installer/wizard/main_dialog.h"
#include "platform/dos_path.h"
#include "platform/process.h"
#include "resources/kelmar_ids.h"
#include "text/text.h"
#include "ui/msgbox.h"

namespace wizard {

namespace {

void Say(const std::string& message) {
  ui::MessageBox(message, kInstallCaption, ui::MB_OK | ui::MB_ICONEXCLAMATION);
}

bool LaunchedBySetup(const std::string& commandLine) {
  return commandLine.size() >= 2 && commandLine[1] == ':';
}

}  // namespace

bool HasDebugSwitch(const std::string& commandLine) {
  return commandLine.size() >= 3 && commandLine.compare(commandLine.size() - 3, 3, " -d") == 0;
}

std::string WithoutDebugSwitch(const std::string& commandLine) {
  return HasDebugSwitch(commandLine) ? commandLine.substr(0, commandLine.size() - 3) : commandLine;
}

std::string ParentFolder(const std::string& directory) {
  std::string text = directory;
  if (!text.empty() && text.back() == '\\') text.pop_back();
  std::string reversed(text.rbegin(), text.rend());
  std::size_t slash = reversed.find('\\');
  if (slash == std::string::npos) return text;
  std::string kept = reversed.substr(slash);
  return std::string(kept.rbegin(), kept.rend());
}

bool InstallerApp::InitInstance() {
  const std::string& commandLine = CommandLine();
  if (!LaunchedBySetup(commandLine)) {
    Say(kNotStartedBySetup);
    return false;
  }
  if (text_open(Instance(), "text.h", "ovtext.mdb") == 0) {
    Say(kNoTextDatabase);
    return false;
  }
  char current[260];
  if (platform::_getcwd(current, sizeof current) == nullptr) {
    char message[260];
    text(9227, message, sizeof message);
    Say(message);
    text_close();
    return false;
  }
  std::string parent = ParentFolder(current);
  {
    MainDialog dialog(commandLine);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
  }
  cleanupCommand = parent + "\\ov_clean.exe " + current;
  exitDirectory = WithoutDebugSwitch(commandLine);
  text_close();
  return false;
}

int InstallerApp::ExitInstance() {
  if (LaunchedBySetup(CommandLine())) {
    platform::_chdir(exitDirectory.c_str());
    if (platform::WinExec(cleanupCommand.c_str(), platform::SW_SHOW) <= 31)
      Say(kCleanupNotStarted);
  }
  return 0;
}

}  // namespace wizard
