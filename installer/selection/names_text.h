// Name lists shown in the read-only boxes of the selection dialogs.
#pragma once
#include <string>

#include "installer/catalogue/string_list.h"

namespace selection {

// Every entry of `list`, in order, each followed by CR LF.
std::string LinesOf(const catalogue::StringList& list);

// `count` NUL-terminated names, each followed by CR LF.
std::string LinesOf(const char (*names)[56], int count);

}  // namespace selection
