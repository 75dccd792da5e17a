// Which catalogue names the list files can carry.
#pragma once
#include <string>

namespace xfer {

// A plain file name (catalogue::IsPlainFileName) that both list files can
// also carry: no comma (the kind follows the first comma) and no '=', not
// beginning with '[' or ';' (a section header or a comment), no blanks at
// either end (the profile reader trims them) and no control characters.
bool IsListableName(const std::string& name);

}  // namespace xfer
