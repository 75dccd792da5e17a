// procdir: lists and checks a procedure index (proc.dir) for the people who
// look after procedure folders.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace procdir_tool {

// Exit statuses.
constexpr int kHealthy = 0;
constexpr int kDamaged = 1;
constexpr int kUsage = 2;  // bad arguments, or the index cannot be read

// Runs `procdir <args...>` (args without the program name).
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The DOS path for an argument: X:\... and \\server\share\... are DOS paths
// already; anything else is a host path (relative to the working directory).
// "" when no drive covers it.
std::string ArgumentToDosPath(const std::string& argument);

}  // namespace procdir_tool
