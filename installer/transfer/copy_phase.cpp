#include "installer/transfer/copy_phase.h"

#include <functional>
#include <thread>

#include "installer/transfer/copy_progress_dlg.h"
#include "installer/transfer/xfer_worker.h"

namespace transfer {

int CopyXferFiles(const InstallPaths& paths, const XferPlan& plan, CopyProgress& progress,
                  ui::Dialog* owner) {
  CopyProgressDlg window(progress, owner);
  progress.status.store(0);
  progress.progressCount.store(0);
  // The window never names a file of an earlier round.
  progress.SetCurrentName("");
  progress.currentDisk.store(plan.disks.empty() ? 0 : plan.disks.front());
  // The worker starts once the window is open: a message box it shows at
  // once must come above the window, which closes only when the worker is
  // done, never below it.
  std::thread worker;
  const auto startWorker = [&] {
    worker = std::thread(XferWorker, std::cref(paths), std::cref(plan), std::ref(progress), owner);
  };
  window.OnShown(startWorker);
  window.DoModal();
  // The window closes only once the worker is done; should it not have run
  // at all, the worker is asked to stop, and is waited for either way.
  if (!(progress.status.load() & STATUS_WORKER_DONE))
    progress.status.fetch_or(STATUS_CANCEL_REQUESTED);
  if (!worker.joinable()) startWorker();
  worker.join();
  return (progress.status.load() & STATUS_STOPPED) ? 0 : 1;
}

}  // namespace transfer
