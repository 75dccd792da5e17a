// An initialisation file for many look-ups on Windows: the system's reader
// keeps its files cached itself, so each look-up asks it through the host
// calls (a file that changes between look-ups is read as it is then).
#include <memory>
#include <string>

#include "platform/profile.h"

namespace platform {

ProfileFile::ProfileFile(const char* file) : parsed_(std::make_shared<const std::string>(file ? file : "")) {}

DWORD ProfileFile::GetString(const char* section, const char* key, const char* defaultValue, char* buffer,
                             DWORD size) const {
  const std::string& file = *static_cast<const std::string*>(parsed_.get());
  return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file.c_str());
}

}  // namespace platform
