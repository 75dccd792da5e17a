// The install step (wizard step 9): the transfer library runs it with the
// confirmed paths; the wizard gives it the catalogue's lists, the index
// update and the Finish page.
#include "installer/registration/update_proc_dir.h"
#include "installer/transfer/copy_phase.h"
#include "installer/transfer/install_flow.h"
#include "installer/transfer/xfer_list_writer.h"
#include "installer/wizard/finish_page.h"
#include "installer/wizard/main_dialog.h"
#include "installer/wizard/wizard_codes.h"
#include "ui/app.h"

namespace wizard {

int MainDialog::InstallStep() {
  ui::App* app = ui::GetApp();
  ui::Dialog* mainWindow = app != nullptr && app->m_pMainWnd != nullptr ? app->m_pMainWnd : this;
  xfer::InstallActions actions;
  ProceduresList& procedures = state_.Procedures();
  xfer::XferPlan& plan = state_.Plan();
  xfer::CopyProgress& progress = state_.Progress();
  const bool debugMode = state_.DebugMode();
  actions.writeXferList = [&](const xfer::InstallPaths& run) {
    return xfer::WriteXferList(procedures, run, plan, debugMode);
  };
  actions.copyXferFiles = [&](const xfer::InstallPaths& run) {
    return xfer::CopyXferFiles(run, plan, progress, this);
  };
  actions.updateProcDir = [&](const xfer::InstallPaths& run) {
    return registration::UpdateProcDir(procedures, run, progress, mainWindow);
  };
  actions.runFinishPage = [this] {
    FinishPage finish(state_.ReadmeTarget(), this);
    return finish.DoModal();
  };
  switch (xfer::RunInstallStep(state_.Paths(), plan, progress, mainWindow, actions)) {
    case xfer::InstallResult::DirectoriesAgain:
      return wizard::STEP_DIRECTORIES_AGAIN;
    case xfer::InstallResult::Exit:
      break;
  }
  return wizard::STEP_EXIT;
}

}  // namespace wizard
