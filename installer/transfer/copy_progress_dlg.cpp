#include "installer/transfer/copy_progress_dlg.h"

#include "installer/transfer/transfer_texts.h"
#include "platform/process.h"
#include "resources/kelmar_ids.h"

namespace transfer {

namespace {
// The window polls the worker's progress on a timer.
constexpr int kProgressTimer = 4322;
constexpr unsigned kProgressTimerMs = 10;
}  // namespace

CopyProgressDlg::CopyProgressDlg(CopyProgress& progress, ui::Dialog* owner)
    : ui::Dialog(IDD_COPY_PROGRESS, owner), progress_(progress) {}

int ProgressPercent(std::uint32_t count, std::uint32_t total) {
  if (total == 0) return 0;
  std::uint64_t percent = static_cast<std::uint64_t>(count) * 100 / total;
  return percent > 100 ? 100 : static_cast<int>(percent);
}

bool CopyProgressDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  Progress(IDC_PROGRESS_BAR).SetRange(0, 100);
  Progress(IDC_PROGRESS_BAR).SetPos(0);
  label = kFileLabel;
  fileName = progress_.CurrentName();
  shownDisk_ = progress_.currentDisk.load();
  heading = FormatNumber(kCopyingDiskFormat, shownDisk_);
  UpdateData(false);
  SetTimer(kProgressTimer, kProgressTimerMs);
  if (shown_) shown_();
  return true;
}

void CopyProgressDlg::OnTimer(int timerId) {
  if (timerId != kProgressTimer) return;
  Progress(IDC_PROGRESS_BAR)
      .SetPos(ProgressPercent(progress_.progressCount.load(), progress_.requiredSize));
  fileName = progress_.CurrentName();
  // After a disk change the heading names the disk being copied now.
  if (const int disk = progress_.currentDisk.load(); disk != shownDisk_) {
    shownDisk_ = disk;
    heading = FormatNumber(kCopyingDiskFormat, disk);
  }
  UpdateData(false);
  UpdateWindow();
  if (const std::uint32_t status = progress_.status.load(); status & STATUS_WORKER_DONE) {
    // A copy that ran to its end shows 100% before the window goes: the
    // share counts whole sectors and so stops just short of it.
    if (!(status & STATUS_STOPPED)) {
      Progress(IDC_PROGRESS_BAR).SetPos(100);
      UpdateWindow();
    }
    KillTimer(kProgressTimer);
    EndDialog(ui::IDCANCEL);
  }
}

void CopyProgressDlg::OnCancel() {
  progress_.status.fetch_or(STATUS_CANCEL_REQUESTED);
  // The worker asks the operator whether to go on: No ends it, Yes takes the
  // request back and the window shows the copy again.
  std::uint32_t status;
  while (((status = progress_.status.load()) & (STATUS_WORKER_DONE | STATUS_CANCEL_REQUESTED)) ==
         STATUS_CANCEL_REQUESTED)
    platform::Sleep(kProgressTimerMs);
  if (!(status & STATUS_WORKER_DONE)) return;
  KillTimer(kProgressTimer);
  EndDialog(ui::IDCANCEL);
}

void CopyProgressDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Text(IDC_PROGRESS_HEADING, heading);
  dx.Text(IDC_PROGRESS_LABEL, label);
  dx.Text(IDC_PROGRESS_FILE, fileName);
}

}  // namespace transfer
