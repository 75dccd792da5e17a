#include "installer/registration/index_progress_dialog.h"

#include <cstdint>

namespace registration {

bool IndexProgressDialog::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  Progress(IDC_PROGRESS_BAR).SetRange(0, 100);
  Progress(IDC_PROGRESS_BAR).SetPos(0);
  SetDlgItemText(IDC_PROGRESS_FILE, progress_.CurrentName());
  return true;
}

void IndexProgressDialog::Refresh() {
  std::uint64_t total = progress_.requiredSize;
  std::uint64_t done = progress_.progressCount.load();
  int percent = total == 0 ? 0 : static_cast<int>(done * 100 / total);
  Progress(IDC_PROGRESS_BAR).SetPos(percent);
  SetDlgItemText(IDC_PROGRESS_FILE, progress_.CurrentName());
  UpdateWindow();
}

}  // namespace registration
