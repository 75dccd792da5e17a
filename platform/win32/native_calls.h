// The host calls of the Windows build, in platform::native: the Win32 API's
// own (platform/win32/), but for the flushes, which the tests' flush hook may
// fail first.
#pragma once
#include "platform/win32/win32_host.h"

namespace platform::win32_native {

using namespace win32;

BOOL FlushFileBuffers(HFILE file);
BOOL FlushVolumeBuffers(const char* path);

}  // namespace platform::win32_native

namespace platform {
namespace native = win32_native;
}  // namespace platform
