#include "installer/wizard/main_dialog.h"

#include <cstdio>

#include "installer/installer_codes.h"
#include "resources/kelmar_ids.h"
#include "ui/msgbox.h"
#include "ui/resource.h"

namespace wizard {

MainDialog::MainDialog(const std::string& commandLineText)
    : ui::Dialog(IDD_WELCOME, nullptr), state_(commandLineText) {}

bool MainDialog::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  // The About command of the system menu, where the window has one (the
  // About button opens the box as well).
  const std::string about = ui::LoadString(IDS_ABOUTBOX);
  if (!about.empty()) AppendSystemMenuItem(IDM_ABOUTBOX, about);
  SetIcon(IDI_KELMAR);

  if (!state_.LoadCatalogue())
    ui::MessageBox(kCatalogueUnreadable, kInstallCaption, ui::MB_OK | ui::MB_ICONEXCLAMATION);

  state_.TakeWorkDir();
  state_.TakeCommandLine();
  if (state_.DebugMode()) {
    const transfer::InstallPaths& paths = state_.Paths();
    char message[1024];
    std::snprintf(message, sizeof message, "orvik.lst is: %s   ||command line is: %s    ||srcdir is: %s",
                  paths.transferListPath.c_str(), state_.CommandLine().c_str(), paths.sourceDir.c_str());
    ui::MessageBox(message, kInstallCaption, ui::MB_OK);
  }
  state_.ReadStartupSettings();
  return true;
}

void MainDialog::OnCommand(int controlId) {
  if (controlId == IDC_ABOUT) {
    ShowAbout();
    return;
  }
  ui::Dialog::OnCommand(controlId);
}

void MainDialog::OnSysCommand(int command) {
  // The low four bits of a system command are the system's own.
  if ((command & 0xFFF0) == IDM_ABOUTBOX) ShowAbout();
}

void MainDialog::ShowAbout() {
  ui::Dialog about(IDD_ABOUT, this);
  about.DoModal();
}

}  // namespace wizard
