#include "installer/transfer/xfer_entry.h"

#include "platform/profile.h"

namespace transfer {

std::string XferListFile::Entry(const std::string& section, int entry) const {
  char buffer[260];
  const std::string key = "F" + std::to_string(entry);
  file_.GetString(section.c_str(), key.c_str(), kKeyMissing, buffer, sizeof buffer);
  return buffer;
}

std::string ReadXferEntry(const std::string& listPath, const std::string& section, int entry) {
  return XferListFile(listPath).Entry(section, entry);
}

XferEntry SplitXferEntry(const std::string& value) {
  XferEntry entry;
  size_t comma = value.find(',');
  if (comma == std::string::npos) {
    entry.name = value;
    return entry;
  }
  entry.name = value.substr(0, comma);
  if (comma + 1 < value.size()) entry.kind = value[comma + 1];
  return entry;
}

std::string TargetPath(const InstallPaths& paths, char kind, const std::string& name) {
  switch (kind) {
    case 'A':
      return paths.dataDir + name;
    case 'P':
      return paths.tempDir + "\\" + name;
    case 'B':
      return paths.picDir + name;
    case 'M':
      return paths.passwordDir + name;
    default:
      return "";
  }
}

}  // namespace transfer
