// Names from the catalogue that become files on the target.
#pragma once
#include <cstddef>
#include <string>

namespace catalogue {

// True for a plain file name: not empty, not "." or "..", and without "\",
// "/", ":" or a zero byte, so it can neither leave its target folder nor name
// another drive.
bool IsPlainFileName(const std::string& name);

// A plain file name that the media lists (the disk map and the transfer
// list, both in initialisation-file layout) can also carry: no comma (the
// kind follows the first comma) and no '=', not beginning with '[' or ';' (a
// section header or a comment), no blanks at either end (the profile reader
// trims them), no control characters, and at most kListableNameMax long so
// that "<name>,<kind>" fits the 260-character buffer the lists are read with.
constexpr std::size_t kListableNameMax = 257;
bool IsListableFileName(const std::string& name);

}  // namespace catalogue
