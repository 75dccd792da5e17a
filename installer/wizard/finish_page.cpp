#include "installer/wizard/finish_page.h"

#include "platform/process.h"

namespace {
constexpr int kViewReadmeButton = 1055;
}

FinishPage::FinishPage(const std::string& path, ui::Dialog* parent) : ui::Dialog(107, parent), readmePath(path) {}

void FinishPage::OnCommand(int controlId) {
  if (controlId == kViewReadmeButton) {
    std::string command = "write.exe \"" + readmePath + "\"";
    platform::WinExec(command.c_str(), platform::SW_SHOW);
    platform::Sleep(2000);
    EndDialog(ui::IDCANCEL);
    return;
  }
  ui::Dialog::OnCommand(controlId);
}
