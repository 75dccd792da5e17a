#include "installer/transfer/copy_progress_dlg.h"

#include "installer/transfer/transfer_ids.h"
#include "installer/transfer/transfer_texts.h"
#include "platform/process.h"

namespace xfer {

CopyProgressDlg::CopyProgressDlg(TransferContext& transfer, ui::Dialog* owner)
    : ui::Dialog(IDD_COPY_PROGRESS, owner), transfer_(transfer) {}

int ProgressPercent(std::uint32_t count, std::uint32_t total) {
  if (total == 0) return 0;
  std::uint64_t percent = static_cast<std::uint64_t>(count) * 100 / total;
  return percent > 100 ? 100 : static_cast<int>(percent);
}

bool CopyProgressDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  Progress(IDC_COPY_PROGRESS).SetRange(0, 100);
  Progress(IDC_COPY_PROGRESS).SetPos(0);
  label = kFileLabel;
  fileName = transfer_.CurrentName();
  shownDisk_ = transfer_.currentDisk.load();
  heading = FormatNumber(kCopyingDiskFormat, shownDisk_);
  UpdateData(false);
  SetTimer(kProgressTimer, kProgressTimerMs);
  if (shown_) shown_();
  return true;
}

void CopyProgressDlg::OnTimer(int timerId) {
  if (timerId != kProgressTimer) return;
  Progress(IDC_COPY_PROGRESS)
      .SetPos(ProgressPercent(transfer_.progressCount.load(), transfer_.requiredSize));
  fileName = transfer_.CurrentName();
  // After a disk change the heading names the disk being copied now.
  if (const int disk = transfer_.currentDisk.load(); disk != shownDisk_) {
    shownDisk_ = disk;
    heading = FormatNumber(kCopyingDiskFormat, disk);
  }
  UpdateData(false);
  UpdateWindow();
  if (const std::uint32_t status = transfer_.status.load(); status & STATUS_WORKER_DONE) {
    // A copy that ran to its end shows 100% before the window goes: the
    // share counts whole sectors and so stops just short of it.
    if (!(status & STATUS_STOPPED)) {
      Progress(IDC_COPY_PROGRESS).SetPos(100);
      UpdateWindow();
    }
    KillTimer(kProgressTimer);
    EndDialog(ui::IDCANCEL);
  }
}

void CopyProgressDlg::OnCancel() {
  transfer_.status.fetch_or(STATUS_CANCEL_REQUESTED);
  // The worker asks the operator whether to go on: No ends it, Yes takes the
  // request back and the window shows the copy again.
  std::uint32_t status;
  while (((status = transfer_.status.load()) & (STATUS_WORKER_DONE | STATUS_CANCEL_REQUESTED)) ==
         STATUS_CANCEL_REQUESTED)
    platform::Sleep(kProgressTimerMs);
  if (!(status & STATUS_WORKER_DONE)) return;
  KillTimer(kProgressTimer);
  EndDialog(ui::IDCANCEL);
}

void CopyProgressDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Text(IDC_COPY_HEADING, heading);
  dx.Text(IDC_COPY_LABEL, label);
  dx.Text(IDC_COPY_FILE, fileName);
}

}  // namespace xfer
