// Reading the transfer list back: one entry F<d> of a disk's section.
#pragma once
#include <string>

#include "installer/transfer/install_paths.h"
#include "platform/profile.h"

namespace transfer {

inline constexpr const char* kKeyMissing = "failed find key";
inline constexpr const char* kNextDisk = "next disk";
inline constexpr const char* kLastDiskEntry = "last disk";

// The transfer list read once for the copy of all its disks.
class XferListFile {
 public:
  explicit XferListFile(const std::string& listPath) : file_(listPath.c_str()) {}
  // Value of key F<entry> of `section`, or "failed find key".
  std::string Entry(const std::string& section, int entry) const;

 private:
  platform::ProfileFile file_;
};

// A single look-up: value of key F<entry> of `section` in the transfer list,
// or "failed find key".
std::string ReadXferEntry(const std::string& listPath, const std::string& section, int entry);

// An entry value split at its first comma: the name before it and the kind
// letter right after it (0 when there is no comma or nothing follows it).
struct XferEntry {
  std::string name;
  char kind = 0;
};
XferEntry SplitXferEntry(const std::string& value);

// The target path of `name` for `kind` (P, B, M, A); "" for any other kind.
std::string TargetPath(const InstallPaths& paths, char kind, const std::string& name);

}  // namespace transfer
