// The modeless window shown while transferred procedures are registered in
// proc.dir: the file being registered and the share of items begun.
#pragma once
#include "installer/transfer/copy_progress.h"
#include "resources/kelmar_ids.h"
#include "ui/dialog.h"

namespace registration {

class IndexProgressDialog : public ui::Dialog {
 public:
  explicit IndexProgressDialog(const transfer::CopyProgress& progress)
      : ui::Dialog(IDD_INDEX_PROGRESS), progress_(progress) {}

  // Bar range 0 to 100 at 0; the file name from currentName.
  bool OnInitDialog() override;
  // Shows progressCount * 100 / requiredSize and currentName, and repaints at
  // once (no message loop runs while the index is updated).
  void Refresh();

 private:
  const transfer::CopyProgress& progress_;
};

}  // namespace registration
