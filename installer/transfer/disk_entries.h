// The entries of one disk's section of the transfer list, read in order up
// to the line that closes it, so that the files of the disk are known
// before the first is copied.
#pragma once
#include <string>
#include <vector>

#include "installer/transfer/xfer_entry.h"

namespace transfer {

struct DiskEntries {
  // The entries F1, F2, ... before the closing line, as written.
  std::vector<std::string> values;
  // The section ended without a closing line ("next disk", "last disk"):
  // the next key was missing.
  bool keyMissing = false;
};

DiskEntries ReadDiskEntries(const XferListFile& list, const std::string& section);

}  // namespace transfer
