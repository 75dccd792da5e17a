#include "testing/procdir_operation.h"

#include <cstring>

#include "installer/procdir/procdir_entry.h"

namespace procdir_test {

procdir::ProcDirEntry Descriptor(const NameList& names, std::uint8_t flags) {
  procdir::ProcDirEntry entry;
  std::memset(&entry, 0, sizeof entry);
  entry.flags = flags;
  for (std::size_t i = 0; i < names.size() && i < 6; ++i) std::strncpy(entry.names[i], names[i].c_str(), 55);
  entry.nameCount = std::uint8_t(names.size());
  return entry;
}

int RunOperation(Operation operation, const NameList& oldNames, const NameList& newNames, platform::HFILE file) {
  if (operation == Operation::kFree) {
    procdir::ProcDirEntry old = Descriptor(oldNames, 0);
    int found = procdir::ProcDirFind(file, old);
    return found == 0 || !(old.flags & procdir::PD_EXISTS) ? found : procdir::ProcDirFree(file, old);
  }
  procdir::ProcDirEntry entry = Descriptor(newNames, procdir::PD_KIND_E | procdir::PD_EXISTS);
  int result = procdir::ProcDirAdd(file, entry);
  if (operation == Operation::kAdd || result == 0 || !(entry.flags & procdir::PD_EXISTS)) return result;
  return procdir::ProcDirReplace(file, entry);
}

namespace {

const char* const kWords[] = {"add", "replace", "free"};

}  // namespace

const char* OperationWord(Operation operation) { return kWords[int(operation)]; }

bool OperationFromWord(const std::string& word, Operation* operation) {
  for (int i = 0; i < 3; ++i)
    if (word == kWords[i]) {
      *operation = Operation(i);
      return true;
    }
  return false;
}

std::string JoinNames(const NameList& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ",") + name;
  return text;
}

NameList SplitNames(const std::string& text) {
  NameList names;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    names.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return names;
}

}  // namespace procdir_test
