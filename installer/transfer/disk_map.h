// The disk map _diskmap.lst: on which disk each file of the media lies and
// how large it is.
#pragma once
#include <cstdint>
#include <string>

#include "platform/profile.h"

namespace transfer {

// The disk map read once for many look-ups: file names and disk sections
// match without regard to letter case.
class DiskMap {
 public:
  explicit DiskMap(const std::string& diskMapPath) : file_(diskMapPath.c_str()) {}
  // Size of `name` in section `section` ("Disk3"); -1 when the key is missing.
  std::int32_t Size(const std::string& section, const std::string& name) const;

 private:
  platform::ProfileFile file_;
};

// A single look-up: size of `name` in section `section` ("Disk3") of the disk map at
// `diskMapPath`; -1 when the key is missing. A file lies on that disk exactly
// when the result is greater than 0.
std::int32_t LookupDiskMap(const std::string& diskMapPath, const std::string& section,
                           const std::string& name);

// A profile value as a leading decimal integer: leading blanks and a sign
// are allowed, conversion stops at the first non-digit, no digits give 0;
// values beyond the 32-bit range are held at its ends.
std::int32_t LeadingInteger(const char* value);

// "Disk<n>", the section of disk n in both list files.
std::string DiskSection(int disk);

}  // namespace transfer
