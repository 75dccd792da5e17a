// Which catalogue names a medium can carry.
#pragma once
#include <string>

namespace mkmedia {

// A file name that lands safely in a target folder and that both list files
// (the disk map and the installer's transfer list) can carry: a plain file
// name (not empty, not "." or "..", no "\", "/", ":" or zero byte), no comma
// or "=", not beginning with "[" or ";", no blank at either end and no
// control character. These are the names the installer accepts too.
bool IsListableName(const std::string& name);

}  // namespace mkmedia
