// The three dialogs of the name-conflict check: Confirm Overwrite (102),
// Procedure Name Conflict [1] (110) and Procedure Name Conflict [2] (111).
#pragma once
#include <cstdint>
#include <string>

#include "resources/kelmar_ids.h"
#include "ui/dialog.h"

namespace selection {

// Confirm Overwrite: ends with the id of the button pressed (1, 1044 or 7),
// or IDCANCEL when closed.
class ConfirmOverwriteDlg : public ui::Dialog {
 public:
  explicit ConfirmOverwriteDlg(ui::Dialog* parent) : ui::Dialog(IDD_CONFIRM_OVERWRITE, parent) {}
  void OnCommand(int controlId) override;
};

// Procedure Name Conflict [1]: the installed entry's names over the names of
// the procedure to be installed; ends with 6 (overwrite), 7 (no) or IDCANCEL.
class NameConflict1Dlg : public ui::Dialog {
 public:
  NameConflict1Dlg(ui::Dialog* parent, std::string installedNames, std::string newNames)
      : ui::Dialog(IDD_NAME_CONFLICT_1, parent),
        installedNames_(std::move(installedNames)),
        newNames_(std::move(newNames)) {}
  void DoDataExchange(ui::DataExchange& dx) override;
  void OnCommand(int controlId) override;

 private:
  std::string installedNames_;
  std::string newNames_;
};

// Procedure Name Conflict [2]: the names that cannot be added; OK only.
class NameConflict2Dlg : public ui::Dialog {
 public:
  NameConflict2Dlg(ui::Dialog* parent, std::string names)
      : ui::Dialog(IDD_NAME_CONFLICT_2, parent), names_(std::move(names)) {}
  void DoDataExchange(ui::DataExchange& dx) override;

 private:
  std::string names_;
};

// Runs dialog 102 and returns the check's answer: 1 to overwrite (the
// "&Always Overwrite" button also sets `alwaysOverwrite`), 0 to keep the
// installed procedure. Any other end is reported with message 9225 and is 0.
int AskConfirmOverwrite(ui::Dialog* owner, std::uint8_t& alwaysOverwrite);

// Runs dialog 110 with the two name texts (CR LF after each name); 1 to
// overwrite, 0 otherwise (message 9225 for an end other than its buttons).
int AskNameConflict1(ui::Dialog* owner, const std::string& installedNames, const std::string& newNames);

// Runs dialog 111 with the names that cannot be added; always 0.
int ShowNameConflict2(ui::Dialog* owner, const std::string& names);

}  // namespace selection
