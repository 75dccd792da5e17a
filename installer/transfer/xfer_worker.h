// The copy worker: walks the transfer list disk by disk, asks for each disk
// of a floppy set, and decompresses every file into its target folder.
#pragma once

#include "installer/transfer/copy_progress.h"
#include "installer/transfer/install_paths.h"
#include "installer/transfer/xfer_plan.h"
#include "ui/dialog.h"

namespace transfer {

// Thread entry: copies the disks of `plan` from paths.sourceDir, asking for
// each disk over `owner`. Returns 1, or 0 after the operator stopped the
// transfer. Setting STATUS_WORKER_DONE is its last touch of `progress`.
int XferWorker(const InstallPaths& paths, const XferPlan& plan, CopyProgress& progress, ui::Dialog* owner);

}  // namespace transfer
