// The procedure selection page (dialog 108): the operator highlights the
// procedures to install; all names of one procedure are selected together,
// an installed procedure only after the name-conflict check; Next turns the
// choice into the catalogue's transfer lists.
#pragma once
#include <cstdint>
#include <string>

#include "installer/catalogue/procedures_list.h"
#include "platform/types.h"
#include "resources/kelmar_ids.h"
#include "ui/dialog.h"

namespace selection {

// End code of the page when nothing was selected or the transfer lists could
// not be built: the directories are asked for again.
constexpr int END_DIRECTORIES_AGAIN = 8;

// The selection log, created empty and held open while the page lives.
inline constexpr const char* kSelectionLogPath = "c:\\windows\\_procsel.log";

class ProcSelectDlg : public ui::Dialog {
 public:
  // Empties selectedProcs and selectedSubProcs of `catalogue`.
  ProcSelectDlg(catalogue::ProceduresList& catalogue, ui::Dialog* owner);
  ~ProcSelectDlg() override;

  // The open proc.dir that the conflict check reads (-1: none).
  platform::HFILE indexHandle = platform::HFILE_ERROR;
  // Set by "&Always Overwrite" of dialog 102; cleared by the selection step.
  std::uint8_t alwaysOverwrite = 0;
  // Sub-procedures already expanded during one Next.
  catalogue::StringList visitedSubProcs;

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
  void SetAliasItems(const catalogue::StringList& aliases, bool select);
  // End of Next with code 8 after `message`.
  void EndDirectoriesAgain(int message);

  catalogue::ProceduresList& catalogue_;
  platform::HFILE log_ = platform::HFILE_ERROR;
  std::string nameText_;
  std::string configText_;
};

}  // namespace selection
