// Folder listing with DOS wildcards. Entries are read at FindFirstFileA and
// handed out in name order ("." and ".." first).
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/host.h"
#include "platform/posix/posix_calls.h"

namespace platform {

namespace {

constexpr DWORD ERROR_NO_MORE_FILES = 18;

struct FindState {
  std::vector<WIN32_FIND_DATAA> entries;
  size_t next = 0;
};

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// Splits a DOS pattern into its folder (with its separator, or "") and its
// last component.
void SplitPattern(const std::string& pattern, std::string& folder, std::string& name) {
  size_t sep = pattern.find_last_of("\\/");
  if (sep == std::string::npos) {
    size_t colon = (pattern.size() >= 2 && pattern[1] == ':') ? 2 : 0;
    folder = pattern.substr(0, colon);
    name = pattern.substr(colon);
  } else {
    folder = pattern.substr(0, sep + 1);
    name = pattern.substr(sep + 1);
  }
}

WIN32_FIND_DATAA Describe(const std::string& hostDir, const std::string& name) {
  WIN32_FIND_DATAA data;
  std::string full = hostDir + "/" + name;
  data.dwFileAttributes = detail::HostAttributes(full);
  if (data.dwFileAttributes == INVALID_FILE_ATTRIBUTES) data.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
  struct stat st;
  if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    std::uint64_t size = std::uint64_t(st.st_size);
    data.nFileSizeHigh = DWORD(size >> 32);
    data.nFileSizeLow = DWORD(size & 0xFFFFFFFFu);
  }
  std::strncpy(data.cFileName, name.c_str(), MAX_PATH - 1);
  return data;
}

// Every entry of the pattern's folder that matches its last component.
// Returns false (with the last error set) when the folder cannot be listed.
bool Collect(const char* pattern, std::vector<WIN32_FIND_DATAA>& entries) {
  std::string folder, name;
  SplitPattern(pattern ? pattern : "", folder, name);
  if (name.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  std::string hostDir = HostPath(folder.empty() ? "." : folder);
  DIR* d = hostDir.empty() ? nullptr : ::opendir(hostDir.c_str());
  if (!d) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  std::vector<std::string> names;
  bool wild = HasWildcard(name);
  while (struct dirent* e = ::readdir(d)) {
    std::string entry = e->d_name;
    if (wild ? detail::WildcardMatch(name, entry) : detail::EqualNoCase(name, entry))
      names.push_back(entry);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    bool aDot = a == "." || a == "..";
    bool bDot = b == "." || b == "..";
    if (aDot != bDot) return aDot;
    return a < b;
  });
  for (const auto& n : names) entries.push_back(Describe(hostDir, n));
  if (entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  return true;
}

}  // namespace

bool posix::FindFile(const char* path) {
  std::vector<WIN32_FIND_DATAA> entries;
  return Collect(path, entries);
}

FindHandle posix::FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
  auto* state = new FindState;
  if (!Collect(pattern, state->entries)) {
    delete state;
    return INVALID_HANDLE_VALUE;
  }
  if (data) *data = state->entries[0];
  state->next = 1;
  SetLastError(ERROR_SUCCESS);
  return state;
}

BOOL posix::FindNextFileA(FindHandle handle, WIN32_FIND_DATAA* data) {
  if (!handle || handle == INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto* state = static_cast<FindState*>(handle);
  if (state->next >= state->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  if (data) *data = state->entries[state->next];
  ++state->next;
  return TRUE;
}

BOOL posix::FindClose(FindHandle handle) {
  if (!handle || handle == INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete static_cast<FindState*>(handle);
  return TRUE;
}

}  // namespace platform
