// The install step (wizard step 9) and the transfer members of MainDialog;
// the work itself is done by the transfer library.
#include "installer/transfer/copy_phase.h"
#include "installer/transfer/install_flow.h"
#include "installer/transfer/xfer_list_writer.h"
#include "installer/wizard/finish_page.h"
#include "installer/wizard/main_dialog.h"
#include "installer/wizard/wizard_codes.h"
#include "ui/app.h"

int MainDialog::InstallStep() {
  ui::App* app = ui::GetApp();
  ui::Dialog* mainWindow = app != nullptr && app->m_pMainWnd != nullptr ? app->m_pMainWnd : this;
  xfer::InstallActions actions;
  actions.writeXferList = [this] { return WriteXferList(); };
  actions.copyXferFiles = [this] { return CopyXferFiles(); };
  actions.updateProcDir = [this] { return UpdateProcDir(); };
  actions.runFinishPage = [this] {
    FinishPage finish(readmeTarget, this);
    return finish.DoModal();
  };
  switch (xfer::RunInstallStep(transfer, mainWindow, actions)) {
    case xfer::InstallResult::DirectoriesAgain:
      return wizard::STEP_DIRECTORIES_AGAIN;
    case xfer::InstallResult::Exit:
      break;
  }
  return wizard::STEP_EXIT;
}

std::uint32_t MainDialog::WriteXferList() {
  return xfer::WriteXferList(procedures, transfer, debugMode != 0);
}

int MainDialog::CopyXferFiles() { return xfer::CopyXferFiles(transfer, this); }
