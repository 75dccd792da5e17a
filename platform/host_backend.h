// The host behind the platform's calls. Every Win32-named free function of
// platform/ forwards to the backend installed now: by default the one that
// emulates the calls over this host's own system. A test wraps it to fail or
// count calls (platform/fault_injector.h); a native build puts the real API
// behind it.
#pragma once
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/types.h"

namespace platform {

class HostBackend {
 public:
  virtual ~HostBackend() = default;
#define HOST_CALL(R, NAME, PARAMS, ARGS) virtual R NAME PARAMS = 0;
#include "platform/host_calls.def"
#undef HOST_CALL
};

// The backend the free functions use now.
HostBackend& CurrentHostBackend();

// Makes `backend` the current one (nullptr: the default one) and returns the
// one it replaces. Install a backend before any thread that uses the
// platform starts, and remove it after they have ended: the switch itself is
// atomic, but a call in progress keeps using the backend it started with.
HostBackend* InstallHostBackend(HostBackend* backend);

// The default backend of this build.
HostBackend& DefaultHostBackend();

// A backend that hands every call to another one; wrappers override the
// calls they change.
class ForwardingBackend : public HostBackend {
 public:
  explicit ForwardingBackend(HostBackend& inner) : inner_(inner) {}
#define HOST_CALL(R, NAME, PARAMS, ARGS) \
  R NAME PARAMS override { return inner_.NAME ARGS; }
#include "platform/host_calls.def"
#undef HOST_CALL

 protected:
  HostBackend& inner() { return inner_; }

 private:
  HostBackend& inner_;
};

}  // namespace platform
