// The copy phase of the install step: the worker thread and the progress
// window that follows it.
#pragma once

#include "installer/transfer/copy_progress.h"
#include "installer/transfer/install_paths.h"
#include "installer/transfer/xfer_plan.h"
#include "ui/dialog.h"

namespace transfer {

// Runs XferWorker on its own thread while CopyProgressDlg (owned by
// `owner`, which also owns the worker's disk prompts) shows `progress`;
// returns when the worker has ended: 1 when the transfer ran to its end, 0
// when the operator stopped it.
int CopyXferFiles(const InstallPaths& paths, const XferPlan& plan, CopyProgress& progress,
                  ui::Dialog* owner);

}  // namespace transfer
