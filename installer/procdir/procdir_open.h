// The open-index slot: at most one proc.dir is open per process. Opening
// tolerates a file that another program or workstation holds: it retries for
// a while with the wait cursor shown, then asks the operator.
#pragma once
#include <cstdint>

#include "platform/types.h"

namespace procdir {

// Opens the index in mode "r" (read, others may read too) or "w" (read and
// write, others may neither write nor read; a missing file is created).
// Checks the size. Returns the handle, or -1 after the numbered message.
platform::HFILE ProcDirOpen(const char* path, const char* mode);
// Closes the open index, flushing one opened for writing to the disk first:
// 1 on success or when none is open, 0 when the flush or the close failed
// and the operator gave up at message 918.
int ProcDirClose(platform::HFILE handle);

// Opens with OpenFile and `style`; a busy file is tried five times 500 ms
// apart, then the operator may retry or cancel. Other failures are reported
// with their numbered message. Returns the handle, or -1.
platform::HFILE OpenFileWithRetry(const char* path, platform::UINT style);
// Keeps the windows of this thread working for `milliseconds`; returns 1.
int PumpMessages(unsigned milliseconds);
// Shows (true) or restores (false) the wait cursor; 1, or 0 when it could
// not be set.
int SetWaitCursor(bool on);

// Records in the open index: its size / 75 at open, plus every record the
// record operations appended since. 0 when none is open.
std::uint32_t ProcDirRecordCount();
// The record operations report each record they append.
void ProcDirRecordsAppended(std::uint32_t count);
// Whether an index is open, and its path as given to ProcDirOpen ("" when
// none is).
bool ProcDirIsOpen();
const char* ProcDirOpenPath();

}  // namespace procdir
