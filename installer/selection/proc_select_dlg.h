// The procedure selection page (dialog 108): the operator highlights the
// procedures to install; all names of one procedure are selected together,
// an installed procedure only after the name-conflict check; Next turns the
// choice into the catalogue's transfer lists.
#pragma once
#include <cstdint>
#include <string>

#include "installer/catalogue/procedures_list.h"
#include "platform/types.h"
#include "ui/dialog.h"

namespace selection {

constexpr int IDD_PROC_SELECT = 108;
constexpr int IDC_PROC_LIST = 1014;
constexpr int IDC_PROC_NAME = 1030;
constexpr int IDC_PROC_CONFIG = 1007;
constexpr int IDC_SELECT_ALL = 1004;
constexpr int IDC_DESELECT_ALL = 1003;
constexpr int IDC_BACK = 1001;

// The selection log, created empty and held open while the page lives.
inline constexpr const char* kSelectionLogPath = "c:\\windows\\_procsel.log";

class ProcSelectDlg : public ui::Dialog {
 public:
  // Empties selectedProcs and selectedSubProcs of `catalogue`.
  ProcSelectDlg(ProceduresList& catalogue, ui::Dialog* owner);
  ~ProcSelectDlg() override;

  // The open proc.dir that the conflict check reads (-1: none).
  platform::HFILE indexHandle = platform::HFILE_ERROR;
  // Set by "&Always Overwrite" of dialog 102; cleared by the selection step.
  std::uint8_t alwaysOverwrite = 0;
  // Sub-procedures already expanded during one Next.
  StringList visitedSubProcs;

  bool OnInitDialog() override;
  void OnOK() override;  // Next
  void OnCommand(int controlId) override;
  void OnSelChange(int controlId) override;
  void DoDataExchange(ui::DataExchange& dx) override;

  const std::string& NameText() const { return nameText_; }
  bool SelectionLogOpen() const { return log_ != platform::HFILE_ERROR; }

 private:
  void OnItemClicked();
  void SelectAll();
  void DeselectAll();
  // Gives the item of every name in `aliases` the selection `select`; ends
  // the process when a name has no item or the list refuses.
  void SetAliasItems(const StringList& aliases, bool select);
  // End of Next with code 8 after `message`.
  void EndDirectoriesAgain(int message);

  ProceduresList& catalogue_;
  platform::HFILE log_ = platform::HFILE_ERROR;
  std::string nameText_;
  std::string configText_;
};

}  // namespace selection
