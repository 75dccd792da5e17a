// The copy worker: walks the transfer list disk by disk, asks for each disk
// of a floppy set, and decompresses every file into its target folder.
#pragma once

#include "installer/transfer/transfer_context.h"

namespace xfer {

// Thread entry; receives the address of MainDialog.transfer. Returns 1, or 0
// after the operator stopped the transfer. Setting STATUS_WORKER_DONE is its
// last touch of the record.
int XferWorker(TransferContext* transfer);

}  // namespace xfer
