#include "installer/wizard/main_dialog.h"

#include <cstdio>

#include "installer/installer_codes.h"
#include "ui/msgbox.h"
#include "ui/resource.h"

namespace {

constexpr int kWelcomeTemplate = 1050;
constexpr int kAboutTemplate = 1043;
constexpr int kAboutButton = 57664;
constexpr int kAboutMenuString = 1053;

}  // namespace

MainDialog::MainDialog(const std::string& commandLineText)
    : ui::Dialog(kWelcomeTemplate, nullptr), state_(commandLineText) {}

bool MainDialog::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  // The About command of the system menu: this frontend has no system menu,
  // so the text only confirms the string table; the About button opens it.
  (void)ui::LoadString(kAboutMenuString);

  if (!state_.LoadCatalogue())
    ui::MessageBox("Error! Loading information from KELMAR.LST file.", wizard::kInstallCaption,
                   ui::MB_OK | ui::MB_ICONEXCLAMATION);

  state_.TakeWorkDir();
  state_.TakeCommandLine();
  if (state_.DebugMode()) {
    const xfer::InstallPaths& paths = state_.Paths();
    char message[1024];
    std::snprintf(message, sizeof message, "orvik.lst is: %s   ||command line is: %s    ||srcdir is: %s",
                  paths.transferListPath.c_str(), state_.CommandLine().c_str(), paths.sourceDir.c_str());
    ui::MessageBox(message, wizard::kInstallCaption, ui::MB_OK);
  }
  state_.ReadStartupSettings();
  return true;
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
