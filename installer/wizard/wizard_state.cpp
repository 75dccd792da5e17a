#include "installer/wizard/wizard_state.h"

#include "installer/wizard/installer_app.h"
#include "platform/dos_path.h"
#include "platform/profile.h"

namespace wizard {

namespace {

std::string ReadKey(const char* key, const std::string& defaultValue) {
  char value[260];
  platform::GetPrivateProfileStringA("startup", key, defaultValue.c_str(), value, sizeof value, "orvik.ini");
  return value;
}

}  // namespace

WizardState::WizardState(const std::string& commandLine) : commandLine_(commandLine) {}

bool WizardState::LoadCatalogue() { return procedures_.TextInput("kelmar.lst") != 0; }

void WizardState::TakeWorkDir() {
  if (platform::_getcwd(workDirBuffer_, sizeof workDirBuffer_) == nullptr) workDirBuffer_[0] = '\0';
  workDir_ = workDirBuffer_;
  paths_.diskMapPath = workDir_ + "\\" + "_diskmap.lst";
  paths_.transferListPath = workDir_ + "\\" + "orvik.lst";
}

void WizardState::TakeCommandLine() {
  if (HasDebugSwitch(commandLine_)) debugMode_ = 1;
  paths_.sourceDir = WithoutDebugSwitch(commandLine_);
}

void WizardState::ReadStartupSettings() {
  paths_.passwordDir = ReadKey("password_dir", "c:\\orvik");
  std::string procDir = ReadKey("procdir", "c:\\orvik\\proc");
  if (!procDir.empty()) paths_.procDir = procDir;
  paths_.picDir = ReadKey("picdir", "c:\\orvik\\pic");
  paths_.userProgDir = ReadKey("user_prog_dir", paths_.passwordDir);
  paths_.dataDir = ReadKey("user_cwd", paths_.userProgDir);
}

}  // namespace wizard
