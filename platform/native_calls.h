// The host calls as this build's own system answers them, in namespace
// platform::native: what the free functions call when no backend is
// installed, without going through a table of every call (so a program links
// only the calls it makes).
#pragma once
#ifdef _WIN32
#include "platform/win32/native_calls.h"
#else
#include "platform/posix/posix_calls.h"
namespace platform {
namespace native = posix;
}  // namespace platform
#endif
