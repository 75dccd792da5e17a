// The index operations the crash tests interrupt, shared by the test and the
// program it kills in their middle (procdir_crash_child).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "installer/procdir/procdir_entry.h"
#include "platform/types.h"

namespace procdir_test {

using NameList = std::vector<std::string>;

enum class Operation {
  kAdd,      // ProcDirAdd of a new entry holding the new names
  kReplace,  // ProcDirAdd, then ProcDirReplace of the entry it found
  kFree,     // ProcDirFree of the entry holding the old names
};

// A descriptor holding `names` (six at most).
procdir::ProcDirEntry Descriptor(const NameList& names, std::uint8_t flags);

// Runs `operation` on the open index; the result of the last call.
int RunOperation(Operation operation, const NameList& oldNames, const NameList& newNames, platform::HFILE file);

// The operation and the name lists as words of a command line ("add",
// "replace", "free"; names joined by commas) and back.
const char* OperationWord(Operation operation);
bool OperationFromWord(const std::string& word, Operation* operation);
std::string JoinNames(const NameList& names);
NameList SplitNames(const std::string& text);

}  // namespace procdir_test
