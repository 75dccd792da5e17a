// Environment handed to programs started by WinExec; internal to platform/.
#pragma once
#include <string>
#include <vector>

namespace platform::detail {

// `base` (NAME=value entries) with the values of SetChildEnvironment put over it.
std::vector<std::string> ChildEnvironment(char** base);

}  // namespace platform::detail
