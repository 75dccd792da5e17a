// The directory step: confirm or correct the four target directories, copy
// readme.txt into the procedure directory once per run, fix the scratch folder.
#include <cstdio>
#include <cstring>

#include "installer/installer_codes.h"
#include "installer/wizard/directory_pages.h"
#include "installer/wizard/main_dialog.h"
#include "installer/wizard/wizard_codes.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "resources/kelmar_ids.h"
#include "text/text.h"
#include "ui/msgbox.h"

namespace wizard {

namespace {

std::string WithBackslash(const std::string& directory) {
  if (!directory.empty() && directory.back() == '\\') return directory;
  return directory + "\\";
}

void Say(const std::string& message) {
  ui::MessageBox(message, kInstallCaption, ui::MB_OK | ui::MB_ICONEXCLAMATION);
}

}  // namespace

int MainDialog::DirectoryStep() {
  int confirmed = ConfirmDirectories();
  if (confirmed == 2) return wizard::STEP_CONFIRM_QUIT;
  if (confirmed == wizard::STEP_EXIT) return wizard::STEP_EXIT;
  if (confirmed == installer::ID_BACK) return wizard::STEP_WELCOME;
  if (confirmed != 1) {
    errp(9228);
    return wizard::STEP_EXIT;
  }

  transfer::InstallPaths& paths = state_.Paths();
  // Checks one directory; 0 to go on, else the step code to return.
  auto check = [this](std::string& directory, const char* label, int error) {
    int result = CheckDirectory(directory, label);
    if (result == 1) return 0;
    if (result == 2) return wizard::STEP_CONFIRM_QUIT;
    if (result == installer::ID_BACK) return wizard::STEP_WELCOME;
    errp(error);
    return wizard::STEP_EXIT;
  };

  if (int next = check(paths.procDir, "Procedure Files", 9229)) return next;

  if (!state_.ReadmeCopied()) {
    std::string source = WithBackslash(state_.WorkDir()) + "readme.txt";
    state_.SetReadmeTarget(WithBackslash(paths.procDir) + "readme.txt");
    const std::string& readmeTarget = state_.ReadmeTarget();
    if (platform::_chmod(readmeTarget.c_str(), platform::_S_IREAD | platform::_S_IWRITE) != 0) {
      char message[600];
      std::snprintf(message, sizeof message, "Unable to change permission of this %s file.", readmeTarget.c_str());
      Say(message);
    }
    if (!platform::CopyFileA(source.c_str(), readmeTarget.c_str(), platform::FALSE)) {
      platform::DWORD error = platform::GetLastError();
      char format[260];
      text(9237, format, sizeof format);
      char message[600];
      std::snprintf(message, sizeof message, format, static_cast<int>(error));
      Say(message);
      return wizard::STEP_EXIT;
    }
    state_.MarkReadmeCopied();
  }

  if (int next = check(paths.picDir, "Picture Files", 9230)) return next;
  if (int next = check(paths.userProgDir, "User Program Files", 9231)) return next;
  // User programs are copied into passwordDir: it follows a corrected folder.
  paths.passwordDir = paths.userProgDir;
  if (int next = check(paths.dataDir, "Data Directory Files", 9232)) return next;

  paths.tempDir = paths.procDir + "_temp";
  return wizard::STEP_CALIBRATOR;
}

int MainDialog::ConfirmDirectories() {
  transfer::InstallPaths& paths = state_.Paths();
  ConfirmDirectoriesPage page(this);
  page.userProgramDirectory = paths.userProgDir;
  page.procedureDirectory = paths.procDir;
  page.pictureDirectory = paths.picDir;
  page.dataDirectory = paths.dataDir;
  int result = page.DoModal();
  if (result == 1) {
    paths.passwordDir = page.userProgramDirectory;
    paths.userProgDir = paths.passwordDir;
    paths.picDir = page.pictureDirectory;
    paths.procDir = page.procedureDirectory;
    paths.dataDir = page.dataDirectory;
    for (std::string* directory :
         {&paths.passwordDir, &paths.userProgDir, &paths.picDir, &paths.procDir, &paths.dataDir})
      *directory = WithBackslash(*directory);
    return 1;
  }
  if (result == 2 || result == installer::ID_BACK) return result;
  errp(9233);
  return wizard::STEP_EXIT;
}

int MainDialog::CheckDirectory(std::string& directory, const char* label) {
  std::string path = directory.substr(0, 260);
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (platform::DirectoryExists(path.c_str())) return 1;
    SelectDirectoryPage page(this);
    page.label = label;
    page.path = directory;
    int result = page.DoModal();
    if (result == 1) {
      // The member is a folder that file names are appended to, so it ends
      // in a backslash whatever the operator typed.
      directory = WithBackslash(page.path);
      path = directory.substr(0, 260);
    } else if (result == 2) {
      return 2;
    } else if (result == installer::ID_BACK) {
      return installer::ID_BACK;
    } else {
      errp(9235);
      return wizard::STEP_EXIT;
    }
  }
  return 0;
}

}  // namespace wizard
