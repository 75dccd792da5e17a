#include "installer/wizard/finish_page.h"

#include "platform/process.h"
#include "resources/kelmar_ids.h"

namespace wizard {

FinishPage::FinishPage(const std::string& path, ui::Dialog* parent)
    : ui::Dialog(IDD_FINISH, parent), readmePath(path) {}

void FinishPage::OnCommand(int controlId) {
  if (controlId == IDC_VIEW_README) {
    std::string command = "write.exe \"" + readmePath + "\"";
    platform::WinExec(command.c_str(), platform::SW_SHOW);
    platform::Sleep(2000);
    EndDialog(ui::IDCANCEL);
    return;
  }
  ui::Dialog::OnCommand(controlId);
}

}  // namespace wizard
