// The Disk Space page (dialog 1047): the free space of the target drive is
// unknown; shows the space the installation needs and lets the operator go
// on (end code 1) or cancel the installation (end code 2).
#pragma once

#include "ui/dialog.h"

namespace transfer {

class DiskSpaceDlg : public ui::Dialog {
 public:
  DiskSpaceDlg(unsigned long requiredSpace, ui::Dialog* owner);
  // Continue ends the page whatever the operator typed into the number.
  void OnOK() override;
  void DoDataExchange(ui::DataExchange& dx) override;

  unsigned long requiredSpace;  // 1012
};

}  // namespace transfer
