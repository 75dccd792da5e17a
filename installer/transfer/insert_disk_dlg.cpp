#include "installer/transfer/insert_disk_dlg.h"

#include "resources/kelmar_ids.h"

namespace transfer {

InsertDiskDlg::InsertDiskDlg(ui::Dialog* owner) : ui::Dialog(IDD_INSERT_DISK, owner) {}

void InsertDiskDlg::DoDataExchange(ui::DataExchange& dx) { dx.Text(IDC_INSERT_PROMPT, prompt); }

}  // namespace transfer
