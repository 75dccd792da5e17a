#include "installer/selection/conflict_dialogs.h"

#include "text/text.h"

namespace selection {

void ConfirmOverwriteDlg::OnCommand(int controlId) {
  if (controlId == IDC_ALWAYS_OVERWRITE || controlId == IDC_KEEP_EXISTING) {
    EndDialog(controlId);
    return;
  }
  ui::Dialog::OnCommand(controlId);
}

void NameConflict1Dlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Text(IDC_INSTALLED_NAMES, installedNames_);
  dx.Text(IDC_NEW_NAMES, newNames_);
}

void NameConflict1Dlg::OnCommand(int controlId) {
  if (controlId == IDC_CONFLICT_OVERWRITE || controlId == IDC_CONFLICT_NO) {
    EndDialog(controlId);
    return;
  }
  ui::Dialog::OnCommand(controlId);
}

void NameConflict2Dlg::DoDataExchange(ui::DataExchange& dx) { dx.Text(IDC_INSTALLED_NAMES, names_); }

int AskConfirmOverwrite(ui::Dialog* owner, std::uint8_t& alwaysOverwrite) {
  ConfirmOverwriteDlg dialog(owner);
  switch (dialog.DoModal()) {
    case IDC_OVERWRITE_FILES:
      return 1;
    case IDC_ALWAYS_OVERWRITE:
      alwaysOverwrite = 1;
      return 1;
    case IDC_KEEP_EXISTING:
      return 0;
    default:
      errp(9225);
      return 0;
  }
}

int AskNameConflict1(ui::Dialog* owner, const std::string& installedNames, const std::string& newNames) {
  NameConflict1Dlg dialog(owner, installedNames, newNames);
  switch (dialog.DoModal()) {
    case IDC_CONFLICT_OVERWRITE:
      return 1;
    case IDC_CONFLICT_NO:
      return 0;
    default:
      errp(9225);
      return 0;
  }
}

int ShowNameConflict2(ui::Dialog* owner, const std::string& names) {
  NameConflict2Dlg dialog(owner, names);
  dialog.DoModal();
  return 0;
}

}  // namespace selection
