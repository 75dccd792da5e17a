#include "installer/transfer/copy_phase.h"

#include <thread>

#include "installer/transfer/copy_progress_dlg.h"
#include "installer/transfer/xfer_worker.h"

namespace xfer {

int CopyXferFiles(TransferContext& transfer, ui::Dialog* owner) {
  CopyProgressDlg progress(transfer, owner);
  transfer.status.store(0);
  transfer.progressCount.store(0);
  // The window never names a file of an earlier round.
  transfer.SetCurrentName("");
  transfer.currentDisk.store(transfer.diskTable[0]);
  // The worker starts once the window is open: a message box it shows at
  // once must come above the window, which closes only when the worker is
  // done, never below it.
  std::thread worker;
  progress.OnShown([&] { worker = std::thread(XferWorker, &transfer); });
  progress.DoModal();
  // The window closes only once the worker is done; should it not have run
  // at all, the worker is asked to stop, and is waited for either way.
  if (!(transfer.status.load() & STATUS_WORKER_DONE))
    transfer.status.fetch_or(STATUS_CANCEL_REQUESTED);
  if (!worker.joinable()) worker = std::thread(XferWorker, &transfer);
  worker.join();
  return (transfer.status.load() & STATUS_STOPPED) ? 0 : 1;
}

}  // namespace xfer
