#include "installer/transfer/disk_map.h"

#include <limits>

#include "platform/profile.h"

namespace transfer {

std::int32_t DiskMap::Size(const std::string& section, const std::string& name) const {
  char buffer[260];
  file_.GetString(section.c_str(), name.c_str(), "-1", buffer, sizeof buffer);
  return LeadingInteger(buffer);
}

std::int32_t LookupDiskMap(const std::string& diskMapPath, const std::string& section,
                           const std::string& name) {
  return DiskMap(diskMapPath).Size(section, name);
}

std::int32_t LeadingInteger(const char* value) {
  const char* p = value;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  const std::int64_t limit = negative ? -std::int64_t(std::numeric_limits<std::int32_t>::min())
                                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > limit) magnitude = limit;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string DiskSection(int disk) { return "Disk" + std::to_string(disk); }

}  // namespace transfer
