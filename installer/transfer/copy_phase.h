// The copy phase of the install step: the worker thread and the progress
// window that follows it.
#pragma once

#include "installer/transfer/transfer_context.h"
#include "ui/dialog.h"

namespace xfer {

// Runs XferWorker on its own thread while CopyProgressDlg (owned by
// `owner`) shows its progress; returns when the worker has ended: 1 when
// the transfer ran to its end, 0 when the operator stopped it.
int CopyXferFiles(TransferContext& transfer, ui::Dialog* owner);

}  // namespace xfer
