// The install step (wizard step 9): the transfer library runs it with the
// wizard's catalogue, paths and the pieces below.
#include "installer/registration/update_proc_dir.h"
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
  actions.writeXferList = [this](const xfer::InstallPaths& run) {
    return xfer::WriteXferList(procedures, run, plan, debugMode != 0);
  };
  actions.copyXferFiles = [this](const xfer::InstallPaths& run) {
    return xfer::CopyXferFiles(run, plan, progress, this);
  };
  actions.updateProcDir = [this, mainWindow](const xfer::InstallPaths& run) {
    return registration::UpdateProcDir(procedures, run, progress, mainWindow);
  };
  actions.runFinishPage = [this] {
    FinishPage finish(readmeTarget, this);
    return finish.DoModal();
  };
  switch (xfer::RunInstallStep(paths, plan, progress, mainWindow, actions)) {
    case xfer::InstallResult::DirectoriesAgain:
      return wizard::STEP_DIRECTORIES_AGAIN;
    case xfer::InstallResult::Exit:
      break;
  }
  return wizard::STEP_EXIT;
}
