#include "installer/selection/selection_step.h"

#include "installer/procdir/procdir_open.h"
#include "installer/selection/proc_select_dlg.h"
#include "installer/wizard_codes.h"
#include "platform/process.h"
#include "text/text.h"

namespace selection {

int StepAfterSelection(int endCode) {
  switch (endCode) {
    case ui::IDOK:
      return wizard::STEP_INSTALL;
    case ui::IDCANCEL:
      return wizard::STEP_CONFIRM_QUIT;
    case wizard::END_DIRECTORIES_AGAIN:
      return wizard::STEP_DIRECTORIES_AGAIN;
    case wizard::ID_BACK:
      return wizard::STEP_CALIBRATOR;
    default:
      errp(9243);
      return wizard::STEP_EXIT;
  }
}

int RunSelectionStep(ProceduresList& catalogue, const std::string& procDir, ui::Dialog* owner) {
  ProcSelectDlg page(catalogue, owner);
  page.alwaysOverwrite = 0;

  // procDir ends in a backslash; the doubled separator reads as one.
  std::string path = procDir + "\\proc.dir";
  // A path beyond the platform's limit would name another file once cut:
  // it counts as an index that cannot be opened.
  platform::HFILE index =
      path.size() < static_cast<std::size_t>(platform::MAX_PATH) ? ProcDirOpen(path.c_str(), "w") : -1;
  if (index == -1) {
    errp(9242);
    platform::ExitProcess(wizard::EXIT_FATAL);
  }

  page.indexHandle = index;
  int step = StepAfterSelection(page.DoModal());

  if (ProcDirClose(index) == 0) {
    errp(9244);
    platform::ExitProcess(wizard::EXIT_FATAL);
  }
  return step;
}

}  // namespace selection
