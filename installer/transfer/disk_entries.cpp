#include "installer/transfer/disk_entries.h"

namespace transfer {

DiskEntries ReadDiskEntries(const XferListFile& list, const std::string& section) {
  DiskEntries entries;
  for (int entry = 1;; ++entry) {
    std::string value = list.Entry(section, entry);
    if (value == kKeyMissing) {
      entries.keyMissing = true;
      break;
    }
    if (value == kNextDisk || value == kLastDiskEntry) break;
    entries.values.push_back(std::move(value));
  }
  return entries;
}

}  // namespace transfer
