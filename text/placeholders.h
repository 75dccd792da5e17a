// The printf conversions a message text carries, and the ones its callers fill.
#pragma once
#include <string>

#include "text/printf_conversions.h"

namespace ovtext {

// The conversions that the callers of message `number` fill, in order;
// "" for a message shown as it is.
const char* ExpectedSignature(int number);

}  // namespace ovtext
