#include "installer/wizard/directory_pages.h"

#include "installer/wizard_codes.h"
#include "platform/ascii_case.h"

ConfirmDirectoriesPage::ConfirmDirectoriesPage(ui::Dialog* parent) : ui::Dialog(105, parent) {}

void ConfirmDirectoriesPage::DoDataExchange(ui::DataExchange& dx) {
  dx.Text(1008, userProgramDirectory);
  dx.Text(1009, procedureDirectory);
  dx.Text(1010, pictureDirectory);
  dx.Text(1011, dataDirectory);
}

void ConfirmDirectoriesPage::OnCommand(int controlId) {
  if (controlId == wizard::ID_BACK) {
    if (UpdateData(true)) EndDialog(wizard::ID_BACK);
    return;
  }
  ui::Dialog::OnCommand(controlId);
}

SelectDirectoryPage::SelectDirectoryPage(ui::Dialog* parent) : ui::Dialog(106, parent) {}

void SelectDirectoryPage::DoDataExchange(ui::DataExchange& dx) {
  dx.Text(1008, label);
  // The path field turns typed letters into capitals.
  if (dx.Saving()) {
    dx.Text(1009, path);
    path = platform::AsciiUpper(path);
  } else {
    dx.Text(1009, path);
  }
}

void SelectDirectoryPage::OnCommand(int controlId) {
  if (controlId == wizard::ID_BACK) {
    if (UpdateData(true)) EndDialog(wizard::ID_BACK);
    return;
  }
  ui::Dialog::OnCommand(controlId);
}
