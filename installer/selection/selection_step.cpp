#include "installer/selection/selection_step.h"

#include "installer/installer_codes.h"
#include "installer/procdir/procdir_open.h"
#include "installer/selection/proc_select_dlg.h"
#include "platform/process.h"
#include "text/text.h"

namespace selection {

SelectionResult SelectionEnd(int endCode) {
  switch (endCode) {
    case ui::IDOK:
      return SelectionResult::Next;
    case ui::IDCANCEL:
      return SelectionResult::Quit;
    case END_DIRECTORIES_AGAIN:
      return SelectionResult::DirectoriesAgain;
    case installer::ID_BACK:
      return SelectionResult::Back;
    default:
      errp(9243);
      return SelectionResult::Failed;
  }
}

SelectionResult RunSelectionStep(catalogue::ProceduresList& catalogue, const std::string& procDir, ui::Dialog* owner) {
  ProcSelectDlg page(catalogue, owner);
  page.alwaysOverwrite = 0;

  // procDir ends in a backslash; the doubled separator reads as one.
  std::string path = procDir + "\\proc.dir";
  // A path beyond the platform's limit would name another file once cut:
  // it counts as an index that cannot be opened.
  platform::HFILE index =
      path.size() < static_cast<std::size_t>(platform::MAX_PATH) ? procdir::ProcDirOpen(path.c_str(), "w") : -1;
  if (index == -1) {
    errp(9242);
    platform::ExitProcess(installer::EXIT_FATAL);
  }

  page.indexHandle = index;
  SelectionResult result = SelectionEnd(page.DoModal());

  if (procdir::ProcDirClose(index) == 0) {
    errp(9244);
    platform::ExitProcess(installer::EXIT_FATAL);
  }
  return result;
}

}  // namespace selection
