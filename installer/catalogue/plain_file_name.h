// Names from the catalogue that become files on the target.
#pragma once
#include <string>

namespace catalogue {

// True for a plain file name: not empty, not "." or "..", and without "\",
// "/", ":" or a zero byte, so it can neither leave its target folder nor name
// another drive.
bool IsPlainFileName(const std::string& name);

}  // namespace catalogue
