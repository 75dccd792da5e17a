// Registration of the transferred procedures in proc.dir: every sub-procedure
// and procedure file staged in tempDir gets its entry (one record per name)
// and is copied into procDir under the numbered file name the index gives it.
#pragma once
#include "installer/catalogue/procedures_list.h"
#include "installer/transfer/copy_progress.h"
#include "installer/transfer/install_paths.h"
#include "ui/dialog.h"

namespace registration {

// Registers xferSubProcs (kind 'H') and then xferProcs (kind 'E') from
// paths.tempDir into paths.procDir, counting them in `progress` and showing
// the index progress window over `owner`. Returns 1. When
// proc.dir cannot be opened or closed the process ends with exit status 3
// after message 9250 or 9256. Failures of single items are reported and
// the item is left: a copy is tried only under a file name that the index
// records, and a new entry whose copy fails is taken out again. proc.dir is
// read once for the whole run, not once per item, and the procedure files
// are prepared before the first item and flushed together (ProcedureCopies).
int UpdateProcDir(catalogue::ProceduresList& catalogue, const transfer::InstallPaths& paths, transfer::CopyProgress& progress,
                  ui::Dialog* owner);

}  // namespace registration
