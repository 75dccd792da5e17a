#include "installer/wizard/main_dialog.h"

#include <cstdio>

#include "installer/installer_codes.h"
#include "installer/wizard/installer_app.h"
#include "platform/dos_path.h"
#include "platform/profile.h"
#include "ui/msgbox.h"
#include "ui/resource.h"

namespace {

constexpr int kWelcomeTemplate = 1050;
constexpr int kAboutTemplate = 1043;
constexpr int kAboutButton = 57664;
constexpr int kAboutMenuString = 1053;

std::string ReadKey(const char* key, const std::string& defaultValue) {
  char value[260];
  platform::GetPrivateProfileStringA("startup", key, defaultValue.c_str(), value, sizeof value, "orvik.ini");
  return value;
}

}  // namespace

MainDialog::MainDialog(const std::string& commandLineText)
    : ui::Dialog(kWelcomeTemplate, nullptr), commandLine(commandLineText) {}

bool MainDialog::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  // The About command of the system menu: this frontend has no system menu,
  // so the text only confirms the string table; the About button opens it.
  (void)ui::LoadString(kAboutMenuString);

  if (procedures.TextInput("kelmar.lst") == 0)
    ui::MessageBox("Error! Loading information from KELMAR.LST file.", wizard::kInstallCaption,
                   ui::MB_OK | ui::MB_ICONEXCLAMATION);

  if (platform::_getcwd(workDirBuffer, sizeof workDirBuffer) == nullptr) workDirBuffer[0] = '\0';
  workDir = workDirBuffer;
  paths.diskMapPath = workDir + "\\" + "_diskmap.lst";
  paths.transferListPath = workDir + "\\" + "orvik.lst";

  if (HasDebugSwitch(commandLine)) debugMode = 1;
  paths.sourceDir = WithoutDebugSwitch(commandLine);
  if (debugMode) {
    char message[1024];
    std::snprintf(message, sizeof message, "orvik.lst is: %s   ||command line is: %s    ||srcdir is: %s",
                  paths.transferListPath.c_str(), commandLine.c_str(), paths.sourceDir.c_str());
    ui::MessageBox(message, wizard::kInstallCaption, ui::MB_OK);
  }
  ReadStartupSettings();
  return true;
}

void MainDialog::ReadStartupSettings() {
  paths.passwordDir = ReadKey("password_dir", "c:\\orvik");
  std::string procDir = ReadKey("procdir", "c:\\orvik\\proc");
  if (!procDir.empty()) paths.procDir = procDir;
  paths.picDir = ReadKey("picdir", "c:\\orvik\\pic");
  paths.userProgDir = ReadKey("user_prog_dir", paths.passwordDir);
  paths.dataDir = ReadKey("user_cwd", paths.userProgDir);
}

void MainDialog::OnCommand(int controlId) {
  if (controlId == kAboutButton) {
    ShowAbout();
    return;
  }
  ui::Dialog::OnCommand(controlId);
}

void MainDialog::ShowAbout() {
  ui::Dialog about(kAboutTemplate, this);
  about.DoModal();
}
