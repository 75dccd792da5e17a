#include "installer/transfer/disk_space_dlg.h"

#include "resources/kelmar_ids.h"

namespace transfer {

DiskSpaceDlg::DiskSpaceDlg(unsigned long space, ui::Dialog* owner)
    : ui::Dialog(IDD_DISK_SPACE, owner), requiredSpace(space) {}

void DiskSpaceDlg::OnOK() { EndDialog(ui::IDOK); }

void DiskSpaceDlg::DoDataExchange(ui::DataExchange& dx) {
  // Shown only: what the operator types there is not used.
  if (!dx.Saving()) dx.Number(IDC_REQUIRED_SPACE, requiredSpace);
}

}  // namespace transfer
