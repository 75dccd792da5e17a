// The default backend of the Windows build: each host call carried out by
// the Win32 API (platform/win32/), with the tests' flush hook in front of
// the flushes.
#include "platform/flush.h"
#include "platform/host_backend.h"
#include "platform/win32/native_calls.h"

namespace platform {

BOOL win32_native::FlushFileBuffers(HFILE file) {
  return win32::FlushAllowed(FlushScope::kFile, "") ? win32::FlushFileBuffers(file) : FALSE;
}

BOOL win32_native::FlushVolumeBuffers(const char* path) {
  return win32::FlushAllowed(FlushScope::kVolume, path ? path : "") ? win32::FlushVolumeBuffers(path) : FALSE;
}

namespace {

class Win32Backend final : public HostBackend {
 public:
#define HOST_CALL(R, NAME, PARAMS, ARGS) \
  R NAME PARAMS override { return native::NAME ARGS; }
#include "platform/host_calls.def"
#undef HOST_CALL
};

}  // namespace

HostBackend& DefaultHostBackend() {
  static Win32Backend backend;
  return backend;
}

}  // namespace platform
