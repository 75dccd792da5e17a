// Seams for tests of the procedure index.
#pragma once
#include <functional>

#include "platform/types.h"

namespace procdir {

// Replaces the file-size query of ProcDirOpen (GetFileSize); an empty
// function restores it.
using SizeQuery = std::function<platform::DWORD(platform::HFILE, platform::DWORD*)>;
void ProcDirSetSizeQueryForTesting(SizeQuery query);

// The numbered message OpenFileWithRetry reports for an OpenFile error code,
// or 0 for the busy codes that it retries.
int ProcDirOpenFailureMessage(platform::DWORD error);

}  // namespace procdir
