// The Insert Disk page (dialog 1048): asks for one disk of the set.
#pragma once
#include <string>

#include "ui/dialog.h"

namespace transfer {

class InsertDiskDlg : public ui::Dialog {
 public:
  explicit InsertDiskDlg(ui::Dialog* owner);
  void DoDataExchange(ui::DataExchange& dx) override;

  std::string prompt;  // 1040, "Please insert Disk<n>"
};

}  // namespace transfer
