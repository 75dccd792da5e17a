// The free host calls, each handed to the current backend.
#include "platform/host_backend.h"

#include <atomic>

#include "platform/dos_path.h"
#include "platform/flush.h"
#include "platform/native_calls.h"
#include "platform/process.h"
#include "platform/profile.h"

namespace platform {

namespace {
std::atomic<HostBackend*> g_installed{nullptr};
}  // namespace

HostBackend& CurrentHostBackend() {
  HostBackend* installed = g_installed.load(std::memory_order_acquire);
  return installed ? *installed : DefaultHostBackend();
}

HostBackend* InstallHostBackend(HostBackend* backend) {
  return g_installed.exchange(backend, std::memory_order_acq_rel);
}

// With no backend installed a call goes straight to the build's own system.
#define HOST_CALL(R, NAME, PARAMS, ARGS)                                     \
  R NAME PARAMS {                                                            \
    HostBackend* installed = g_installed.load(std::memory_order_acquire);  \
    return installed ? installed->NAME ARGS : native::NAME ARGS;           \
  }
#include "platform/host_calls.def"
#undef HOST_CALL

}  // namespace platform
