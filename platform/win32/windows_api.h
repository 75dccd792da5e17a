// windows.h for the .cpp files of platform/win32 only. The platform's own
// headers come first: windows.h defines macros (TRUE, MAX_PATH, OF_READ,
// ERROR_SUCCESS ...) under the names those headers declare as constants.
#pragma once
#include "platform/win32/win32_host.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace platform::win32 {

// The host keeps a file handle in an HFILE, as OpenFile does.
inline HANDLE ToHandle(HFILE file) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(file)); }
inline HFILE ToHfile(HANDLE handle) { return static_cast<HFILE>(reinterpret_cast<intptr_t>(handle)); }

}  // namespace platform::win32
