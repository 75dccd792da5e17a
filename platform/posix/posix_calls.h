// The host calls as this host's system answers them; the POSIX backend hands
// each call here. Calls made inside the emulation go here directly, so that a
// wrapping backend sees each call the system makes exactly once.
#pragma once
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/types.h"

namespace platform::posix {

#define HOST_CALL(R, NAME, PARAMS, ARGS) R NAME PARAMS;
#include "platform/host_calls.def"
#undef HOST_CALL

}  // namespace platform::posix
