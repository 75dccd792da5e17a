// The default backend: the host calls emulated over POSIX, with the prefix's
// drive mapping, the case-blind folder name tables and the handle table.
#include "platform/host_backend.h"
#include "platform/posix/posix_calls.h"

namespace platform {

namespace {

class PosixBackend final : public HostBackend {
 public:
#define HOST_CALL(R, NAME, PARAMS, ARGS) \
  R NAME PARAMS override { return posix::NAME ARGS; }
#include "platform/host_calls.def"
#undef HOST_CALL
};

}  // namespace

HostBackend& DefaultHostBackend() {
  static PosixBackend backend;
  return backend;
}

}  // namespace platform
