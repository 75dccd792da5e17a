#include "tools/ov_clean/staging_removal.h"

#include <string>

#include "platform/ascii_case.h"
#include "platform/dos_path.h"
#include "platform/files.h"

namespace ov_clean {

namespace {


std::string StripSeparators(std::string path) {
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

// Removes the contents of a folder (given with its trailing backslash).
bool RemoveContents(const std::string& folder) {
  using namespace platform;
  WIN32_FIND_DATAA data;
  FindHandle h = FindFirstFileA((folder + "*.*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return true;  // nothing listed: nothing to remove
  bool ok = true;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = folder + name;
    // A link never has the folder bit, so it is deleted and not followed.
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      _chmod(path.c_str(), _S_IREAD | _S_IWRITE);
      if (!RemoveContents(path + "\\") || _rmdir(path.c_str()) != 0) ok = false;
    } else {
      _chmod(path.c_str(), _S_IREAD | _S_IWRITE);
      if (!DeleteFileA(path.c_str())) ok = false;
    }
  } while (FindNextFileA(h, &data));
  FindClose(h);
  return ok;
}

}  // namespace

bool IsStagingFolder(const std::string& folder) {
  std::string path = StripSeparators(folder);
  size_t sep = path.find_last_of("\\/:");
  std::string last = sep == std::string::npos ? path : path.substr(sep + 1);
  return platform::EqualNoCase(last, kStagingName);
}

bool RemoveStagingFolder(const std::string& folder) {
  using namespace platform;
  std::string path = StripSeparators(folder);
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // already gone
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileA(path.c_str()) != FALSE;
  _chmod(path.c_str(), _S_IREAD | _S_IWRITE);
  // Windows removes no folder that is a program's working folder, and this
  // program may have inherited the staging folder as its own: step out.
  size_t sep = path.find_last_of('\\');
  if (sep != std::string::npos) _chdir(sep == 2 && path[1] == ':' ? path.substr(0, 3).c_str() : path.substr(0, sep).c_str());
  bool ok = RemoveContents(path + "\\");
  return _rmdir(path.c_str()) == 0 && ok;
}

}  // namespace ov_clean
