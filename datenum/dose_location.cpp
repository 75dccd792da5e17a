#include "datenum/dose_location.h"

#include <optional>

#include "datenum/messages.h"
#include "datenum/stop_box.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace datenum {

namespace {

constexpr const char* kSection = "Startup";

std::optional<std::string>& KeptPath() {
  static std::optional<std::string> path;
  return path;
}

// A key of [Startup], read into a buffer of MAX_PATH characters as the
// product does; "" when missing.
std::string StartupKey(const std::string& iniPath, const char* key) {
  char value[platform::MAX_PATH] = {};
  platform::GetPrivateProfileStringA(kSection, key, "", value, sizeof value, iniPath.c_str());
  return value;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The file a profile read of `iniPath` looks at.
std::string ProfileFile(const std::string& iniPath) {
  if (iniPath.find_first_of("\\/:") == std::string::npos) return "C:\\windows\\" + iniPath;
  return iniPath;
}

// `dir`, one trailing separator removed, a backslash and dosdose.dat.
std::string InFolder(std::string dir) {
  if (IsSeparator(dir.back())) dir.pop_back();
  return dir + "\\" + kDoseFileName;
}

}  // namespace

bool IsValidIniFile(const std::string& iniPath) {
  if (iniPath.empty()) return false;
  if (platform::_access(ProfileFile(iniPath).c_str(), 0) != 0) return false;
  return !StartupKey(iniPath, "procdir").empty();
}

bool LocateDoseFile(const std::string& iniPath, std::string* dosePath) {
  if (KeptPath()) {
    *dosePath = *KeptPath();
    return true;
  }
  if (!IsValidIniFile(iniPath)) {
    StopBox(FillText(msg::kInvalidIni, iniPath), msg::kFileCaption);
    return false;
  }
  // A key names the folder when it is set at all: a value of "\" alone is
  // the root of the current drive, not "unset".
  std::string userCwd = StartupKey(iniPath, "user_cwd");
  std::string userDataDir = StartupKey(iniPath, "user_data_dir");
  if (!userDataDir.empty()) {
    KeptPath() = InFolder(userDataDir);
  } else if (!userCwd.empty()) {
    KeptPath() = InFolder(userCwd);
  } else {
    KeptPath() = kDoseFileName;
  }
  *dosePath = *KeptPath();
  return true;
}

void ResetDoseLocationForTesting() { KeptPath().reset(); }

}  // namespace datenum
