// The program instance tests hand to the message service: boxes go to the
// current frontend, files are read at DOS paths or, without a drive, host
// paths.
#pragma once
#include "ui/app.h"

namespace orvik_testing {

ui::InstanceHandle* FakeInstance();

// Opens the message service on the built ovtext.mdb; false when it cannot.
bool OpenMessages();

}  // namespace orvik_testing
