#include "bootstrap/setup_dialog.h"

#include <cstdio>

#include "common/remove_tree.h"
#include "platform/ascii_case.h"
#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/process.h"
#include "resources/kelmar_ids.h"
#include "resources/setup_ids.h"
#include "ui/msgbox.h"

namespace bootstrap {

namespace {

constexpr int kStartTimer = 1;

void Show(const std::string& message) { ui::MessageBox(message, kInstallCaption, ui::MB_OK); }

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[1200];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

}  // namespace

SetupDialog::SetupDialog(bool debugMode) : ui::Dialog(IDD_STAGING, nullptr), debugMode_(debugMode) {}

bool SetupDialog::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  SetIcon(IDI_SETUP);
  Progress(IDC_STAGING_BAR).SetRange(0, 100);
  Progress(IDC_STAGING_BAR).SetPos(0);
  // The staging starts once the window is on screen.
  SetTimer(kStartTimer, 0);
  return true;
}

void SetupDialog::OnTimer(int timerId) {
  if (timerId != kStartTimer || staged_) return;
  staged_ = true;
  KillTimer(kStartTimer);
  Stage();
  EndDialog(ui::IDOK);
}

void SetupDialog::SetBar(int position) {
  Progress(IDC_STAGING_BAR).SetPos(position);
  UpdateWindow();
}

void SetupDialog::Stage() {
  char module[platform::MAX_PATH];
  if (platform::GetModuleFileNameA(nullptr, module, sizeof module) == 0) {
    Show("Failure identifying module file name. (1)");
    return;
  }
  std::string path = platform::AsciiLower(module);
  std::size_t match = path.find("setup.exe");
  SetBar(10);
  if (match == std::string::npos) {
    Show("Failure identifying module file name. (2)");
    return;
  }
  sourceFolder_ = path.substr(0, match == 0 ? 0 : match - 1);

  char temp[platform::MAX_PATH];
  if (platform::GetTempPathA(sizeof temp, temp) == 0) {
    Show("Failure identifying the system temporary folder.");
    return;
  }
  tempFolder_ = temp;
  stagingFolder_ = Format("%s~ovprocedureinstall", temp);
  if (platform::FindFile(stagingFolder_.c_str())) common::RemoveDirectoryTree(stagingFolder_.c_str(), 0);
  if (debugMode_) Show(Format("Temporary Directory: %s", stagingFolder_.c_str()));

  if (platform::_mkdir(stagingFolder_.c_str()) != 0) {
    Show(kNoStagingFolder);
    failed_ = true;
  } else {
    SetBar(20);
    struct Step {
      const char* file;
      int bar;
    };
    const Step steps[] = {{"text.dll", 25},   {"zlib.dll", 30},   {"ovtext.mdb", 40},
                          {"_diskmap.lst", 50}, {"orvik.lst", 60}, {"kelmar.lst", 70},
                          {"readme", 80},     {"_kelmar.exe", 90}, {"ov_clean.exe", 100}};
    for (const Step& step : steps) {
      if (!failed_) {
        std::string file = step.file;
        if (file == "readme")
          failed_ = !StageReadme();
        else if (file == "ov_clean.exe")
          failed_ = !StageCleanupProgram();
        else
          failed_ = !StageFile(file);
      }
      SetBar(step.bar);
    }
  }

  if (debugMode_) Show(Format("Approaching WinExec area.  bfail is: %s", failed_ ? "TRUE" : "FALSE"));
  if (failed_) {
    platform::Sleep(1000);
    common::RemoveDirectoryTree(stagingFolder_.c_str(), 0);
    return;
  }
  StartInstaller();
}

bool SetupDialog::StageFile(const std::string& file) {
  std::string source = sourceFolder_ + "\\" + file;
  std::string target = stagingFolder_ + "\\" + file;
  if (!platform::CopyFileA(source.c_str(), target.c_str(), platform::FALSE)) {
    const char* format = file == "text.dll" ? "Failure copying required file %s to %s. "
                                            : "Failure copying required file %s to %s.";
    Show(Format(format, file.c_str(), target.c_str()));
    return false;
  }
  if (platform::_chmod(target.c_str(), platform::_S_IREAD | platform::_S_IWRITE) != 0) {
    Show(Format("Failure to change the attribute of %s file", target.c_str()));
    return false;
  }
  return true;
}

bool SetupDialog::StageReadme() {
  std::string name = Format("%s.txt", "readme");
  std::string source = sourceFolder_ + "\\" + name;
  std::string target = stagingFolder_ + "\\" + name;
  bool ok = true;
  if (!platform::FindFile(source.c_str())) {
    Show(Format("Unable to find the %s file.", name.c_str()));
    ok = false;
  }
  if (!platform::CopyFileA(source.c_str(), target.c_str(), platform::FALSE)) {
    Show(Format("Failure copying required file %s to %s.", name.c_str(), target.c_str()));
    return false;
  }
  if (platform::_chmod(target.c_str(), platform::_S_IREAD | platform::_S_IWRITE) != 0) {
    Show(Format("Failure changing attributes of file %s to writeable.", name.c_str()));
    return false;
  }
  return ok;
}

bool SetupDialog::StageCleanupProgram() {
  std::string source = sourceFolder_ + "\\ov_clean.exe";
  std::string target = tempFolder_ + "ov_clean.exe";
  if (platform::FindFile(target.c_str())) {
    if (platform::_chmod(target.c_str(), platform::_S_IREAD | platform::_S_IWRITE) != 0) {
      Show(Format("Failure to change the attribute of %s file", target.c_str()));
      return false;
    }
    if (!platform::DeleteFileA(target.c_str())) {
      char message[256] = {};
      platform::FormatMessageA(platform::FORMAT_MESSAGE_FROM_SYSTEM, nullptr, platform::GetLastError(), 0, message,
                               255, nullptr);
      Show(message);
      return false;
    }
  }
  if (!platform::CopyFileA(source.c_str(), target.c_str(), platform::FALSE)) {
    Show(Format("Failure copying required file %s to %s.", "ov_clean.exe", target.c_str()));
    return false;
  }
  if (platform::_chmod(target.c_str(), platform::_S_IREAD | platform::_S_IWRITE) != 0) {
    Show(Format("Failure changing attributes of file %s to writeable.", "ov_clean.exe"));
    return false;
  }
  return true;
}

void SetupDialog::StartInstaller() {
  if (debugMode_) Show("Entering winexec area.");
  platform::Sleep(1500);
  if (platform::_chdir(stagingFolder_.c_str()) != 0)
    Show(Format("Unable to locate the directory: %s", stagingFolder_.c_str()));
  std::string installer = stagingFolder_ + "\\_kelmar.exe";
  std::string command = Format("%s %s\\", installer.c_str(), sourceFolder_.c_str());
  if (debugMode_) {
    command += " -d";
    Show(Format("WinExec Command: %s", command.c_str()));
  }
  if (platform::WinExec(command.c_str(), platform::SW_SHOWNORMAL) <= 31) {
    Show(Format("Failure executing: %s", command.c_str()));
    if (platform::_chdir(sourceFolder_.c_str()) != 0)
      Show(Format("Unable to locate the directory: %s", sourceFolder_.c_str()));
    common::RemoveDirectoryTree(stagingFolder_.c_str(), 0);
  }
}

}  // namespace bootstrap
