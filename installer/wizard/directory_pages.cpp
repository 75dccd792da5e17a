#include "installer/wizard/directory_pages.h"

#include "installer/installer_codes.h"
#include "installer/wizard/wizard_codes.h"
#include "platform/ascii_case.h"
#include "resources/kelmar_ids.h"

namespace wizard {

ConfirmDirectoriesPage::ConfirmDirectoriesPage(ui::Dialog* parent) : ui::Dialog(IDD_CONFIRM_DIRECTORIES, parent) {}

void ConfirmDirectoriesPage::DoDataExchange(ui::DataExchange& dx) {
  dx.Text(IDC_USER_PROG_DIR, userProgramDirectory);
  dx.Text(IDC_PROC_DIR, procedureDirectory);
  dx.Text(IDC_PIC_DIR, pictureDirectory);
  dx.Text(IDC_DATA_DIR, dataDirectory);
}

void ConfirmDirectoriesPage::OnCommand(int controlId) {
  if (controlId == installer::ID_BACK) {
    if (UpdateData(true)) EndDialog(installer::ID_BACK);
    return;
  }
  ui::Dialog::OnCommand(controlId);
}

SelectDirectoryPage::SelectDirectoryPage(ui::Dialog* parent) : ui::Dialog(IDD_SELECT_DIRECTORY, parent) {}

void SelectDirectoryPage::DoDataExchange(ui::DataExchange& dx) {
  dx.Text(IDC_DIR_LABEL, label);
  // The path field turns typed letters into capitals.
  if (dx.Saving()) {
    dx.Text(IDC_DIR_PATH, path);
    path = platform::AsciiUpper(path);
  } else {
    dx.Text(IDC_DIR_PATH, path);
  }
}

void SelectDirectoryPage::OnCommand(int controlId) {
  if (controlId == installer::ID_BACK) {
    if (UpdateData(true)) EndDialog(installer::ID_BACK);
    return;
  }
  ui::Dialog::OnCommand(controlId);
}

}  // namespace wizard
