#include "installer/selection/proc_select_dlg.h"

#include "installer/procdir/procdir_open.h"
#include "installer/selection/collect_sub_procs.h"
#include "installer/selection/conflict_check.h"
#include "installer/installer_codes.h"
#include "platform/hfile.h"
#include "platform/process.h"
#include "resources/kelmar_ids.h"
#include "text/text.h"
#include "ui/msgbox.h"

namespace selection {

ProcSelectDlg::ProcSelectDlg(catalogue::ProceduresList& catalogue, ui::Dialog* owner)
    : ui::Dialog(IDD_PROC_SELECT, owner), catalogue_(catalogue) {
  catalogue_.selectedProcs.RemoveAll();
  catalogue_.selectedSubProcs.RemoveAll();
}

ProcSelectDlg::~ProcSelectDlg() {
  if (log_ != platform::HFILE_ERROR) platform::_lclose(log_);
}

void ProcSelectDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Text(IDC_PROC_NAME, nameText_);
  dx.Text(IDC_PROC_CONFIG, configText_);
}

bool ProcSelectDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  // Nothing is written to the log; a failure to create it is silent.
  if (log_ == platform::HFILE_ERROR) log_ = platform::_lcreat(kSelectionLogPath, 0);
  ui::ListBox list = List(IDC_PROC_LIST);
  for (const std::string& name : catalogue_.ProcTable) list.AddString(name);
  return true;
}

void ProcSelectDlg::OnCommand(int controlId) {
  switch (controlId) {
    case IDC_SELECT_ALL:
      SelectAll();
      break;
    case IDC_DESELECT_ALL:
      DeselectAll();
      break;
    case IDC_BACK:
      EndDialog(installer::ID_BACK);
      break;
    default:
      ui::Dialog::OnCommand(controlId);  // 1 Next, 2 Cancel
      break;
  }
}

void ProcSelectDlg::OnSelChange(int controlId) {
  if (controlId == IDC_PROC_LIST) {
    OnItemClicked();
    return;
  }
  ui::Dialog::OnSelChange(controlId);
}

void ProcSelectDlg::OnItemClicked() {
  ui::ListBox list = List(IDC_PROC_LIST);
  int clicked = list.GetCaretIndex();
  if (clicked < 0) return;
  std::string name = list.GetText(clicked);

  configText_.clear();
  if (const catalogue::ProcNode* node = catalogue_.FindByAnyName(name)) {
    for (const std::string& line : node->configLines) {
      configText_ += line;
      configText_ += "\r\n";
    }
  }

  // A name that no record carries stands for itself alone.
  catalogue::StringList own;
  const catalogue::StringList* aliases = catalogue_.FindSiblings(name);
  if (aliases == nullptr) {
    own.AddTail(name);
    aliases = &own;
  }

  bool select = false;
  if (list.GetSel(clicked) > 0) {
    nameText_ = name;
    SetDlgItemText(IDC_PROC_NAME, nameText_);
    SetDlgItemText(IDC_PROC_CONFIG, configText_);
    select = CheckProcConflicts(indexHandle, *aliases, alwaysOverwrite, this) == 1;
  }
  SetAliasItems(*aliases, select);
  list.SetCaretIndex(clicked);
}

void ProcSelectDlg::SetAliasItems(const catalogue::StringList& aliases, bool select) {
  ui::ListBox list = List(IDC_PROC_LIST);
  for (const std::string& alias : aliases) {
    // The item whose whole text is the alias: a prefix search could reach
    // another procedure's item whose name merely begins with the alias.
    int item = list.FindStringExact(-1, alias);
    if (item == ui::LB_ERR) {
      errp(9223);
      platform::ExitProcess(installer::EXIT_FATAL);
    }
    if (list.SetSel(item, select) == ui::LB_ERR) {
      errp(9224);
      platform::ExitProcess(installer::EXIT_FATAL);
    }
  }
}

void ProcSelectDlg::SelectAll() {
  char question[260] = {};
  text(9226, question, sizeof question);
  if (MessageBox(question, kInstallCaption, ui::MB_OKCANCEL) != ui::IDOK) return;
  List(IDC_PROC_LIST).SetSel(-1, true);
}

void ProcSelectDlg::DeselectAll() { List(IDC_PROC_LIST).SetSel(-1, false); }

void ProcSelectDlg::EndDirectoriesAgain(int message) {
  procdir::SetWaitCursor(false);
  errp(message);
  EndDialog(END_DIRECTORIES_AGAIN);
}

void ProcSelectDlg::OnOK() {
  procdir::SetWaitCursor(true);
  ui::ListBox list = List(IDC_PROC_LIST);
  int selectedCount = list.GetSelCount();
  visitedSubProcs.RemoveAll();
  if (selectedCount <= 0) {
    EndDirectoriesAgain(9220);
    return;
  }

  catalogue_.selectedProcs.RemoveAll();
  int count = list.GetCount();
  for (int i = 0; i < count; ++i) {
    if (list.GetSel(i) > 0) catalogue_.AddSelectedProc(list.GetText(i));
  }
  // selectedProcs does not change while the sub-procedures are collected.
  for (const std::string& name : catalogue_.selectedProcs) {
    CollectSubProcs(catalogue_, visitedSubProcs, name);
  }

  if (catalogue_.LoadAllXferFiles() == 1) {
    procdir::SetWaitCursor(false);
    EndDialog(ui::IDOK);
    return;
  }
  procdir::SetWaitCursor(false);
  MessageBox(kNoTransferLists, kInstallCaption, ui::MB_OK);
  EndDirectoriesAgain(9221);
}

}  // namespace selection
