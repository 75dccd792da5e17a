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
  transfer::InstallActions actions;
  catalogue::ProceduresList& procedures = state_.Procedures();
  transfer::XferPlan& plan = state_.Plan();
  transfer::CopyProgress& progress = state_.Progress();
  const bool debugMode = state_.DebugMode();
  actions.writeXferList = [&](const transfer::InstallPaths& run) {
    return transfer::WriteXferList(procedures, run, plan, debugMode);
  };
  actions.copyXferFiles = [&](const transfer::InstallPaths& run) {
    return transfer::CopyXferFiles(run, plan, progress, this);
  };
  actions.updateProcDir = [&](const transfer::InstallPaths& run) {
    return registration::UpdateProcDir(procedures, run, progress, mainWindow);
  };
  actions.runFinishPage = [this] {
    FinishPage finish(state_.ReadmeTarget(), this);
    return finish.DoModal();
  };
  switch (transfer::RunInstallStep(state_.Paths(), plan, progress, mainWindow, actions)) {
    case transfer::InstallResult::DirectoriesAgain:
      return wizard::STEP_DIRECTORIES_AGAIN;
    case transfer::InstallResult::Exit:
      break;
  }
  return wizard::STEP_EXIT;
}

}  // namespace wizard
