#include "installer/transfer/scratch_folder.h"

#include <utility>
#include <vector>

#include "common/remove_tree.h"
#include "platform/ascii_case.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/process.h"

namespace transfer {

namespace {

using platform::DWORD;
using platform::HFILE;
using platform::HFILE_ERROR;

constexpr const char* kLockSuffix = ".lck";
constexpr std::size_t kLockSuffixLength = 4;
// Names tried before giving up: each failed try means another run took the
// name or removed the parent at that moment.
constexpr int kAttempts = 100;

std::function<void(const std::string&)>& Hook() {
  static std::function<void(const std::string&)> hook;
  return hook;
}

bool IsLockName(const std::string& name) {
  if (name.size() <= kLockSuffixLength) return false;
  return platform::AsciiLower(name.substr(name.size() - kLockSuffixLength)) == kLockSuffix;
}

bool IsLink(DWORD attributes) {
  return attributes != platform::INVALID_FILE_ATTRIBUTES && (attributes & platform::FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsFolder(DWORD attributes) {
  return attributes != platform::INVALID_FILE_ATTRIBUTES && !IsLink(attributes) &&
         (attributes & platform::FILE_ATTRIBUTE_DIRECTORY);
}

struct Listed {
  std::string name;
  DWORD attributes;
};

std::vector<Listed> List(const std::string& parent) {
  std::vector<Listed> entries;
  platform::WIN32_FIND_DATAA data;
  platform::FindHandle find = platform::FindFirstFileA((parent + "\\*.*").c_str(), &data);
  if (find == platform::INVALID_HANDLE_VALUE) return entries;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") entries.push_back({name, data.dwFileAttributes});
  } while (platform::FindNextFileA(find, &data));
  platform::FindClose(find);
  return entries;
}

// Removes a run's folder when its lock file can be had: nobody holds it, so
// its run has ended, and while this call holds it no other run will touch
// the folder either.
void RemoveIfAbandoned(const std::string& folder) {
  const std::string lockPath = folder + kLockSuffix;
  HFILE lock = platform::OpenLockFile(lockPath.c_str());
  if (lock == HFILE_ERROR) return;
  common::RemoveDirectoryTree(folder.c_str(), 1);
  platform::DeleteFileA(lockPath.c_str());
  platform::_lclose(lock);
}

// A lock file without its folder: the run ended between removing the
// folder and the lock file, or is just doing so (then it holds the lock).
void RemoveLoneLock(const std::string& lockPath) {
  std::string folder = lockPath.substr(0, lockPath.size() - kLockSuffixLength);
  if (platform::GetFileAttributesA(folder.c_str()) != platform::INVALID_FILE_ATTRIBUTES) return;
  HFILE lock = platform::OpenLockFile(lockPath.c_str());
  if (lock == HFILE_ERROR) return;
  platform::DeleteFileA(lockPath.c_str());
  platform::_lclose(lock);
}

}  // namespace

void SetScratchFolderHookForTesting(std::function<void(const std::string& folder)> hook) { Hook() = std::move(hook); }

void RemoveAbandonedScratchFolders(const std::string& parent) {
  for (const Listed& entry : List(parent)) {
    const std::string path = parent + "\\" + entry.name;
    if (IsFolder(entry.attributes))
      RemoveIfAbandoned(path);
    else if (!IsLink(entry.attributes) && IsLockName(entry.name))
      RemoveLoneLock(path);
    else  // a link, or a file no run of this kind writes there: left over
      platform::DeleteFileA(path.c_str());
  }
}

bool ScratchFolder::Create(const std::string& parent) {
  Remove();
  parent_ = parent;
  const std::string id = std::to_string(platform::GetCurrentProcessId());
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    // A link in place of the parent is removed, never followed.
    if (IsLink(platform::GetFileAttributesA(parent_.c_str()))) platform::DeleteFileA(parent_.c_str());
    if (platform::_mkdir(parent_.c_str()) != 0 && platform::CrtErrno() != platform::CRT_EEXIST) return false;
    if (attempt == 0) RemoveAbandonedScratchFolders(parent_);
    const std::string folder = parent_ + "\\" + (attempt == 0 ? id : id + "-" + std::to_string(attempt));
    // The name is taken, or the last run removed the parent just now.
    if (platform::_mkdir(folder.c_str()) != 0) {
      int error = platform::CrtErrno();
      if (error != platform::CRT_EEXIST && error != platform::CRT_ENOENT) return false;
      continue;
    }
    if (Hook()) Hook()(folder);
    const std::string lockPath = folder + kLockSuffix;
    HFILE lock = platform::OpenLockFile(lockPath.c_str());
    if (lock == HFILE_ERROR) {
      // Busy, or the folder gone (with the parent, when that run was the
      // last): another run took the new folder for abandoned and removed
      // it, or is doing so. Anything else: nothing can be locked here.
      const DWORD error = platform::GetLastError();
      if (error == platform::ERROR_SHARING_VIOLATION || !IsFolder(platform::GetFileAttributesA(folder.c_str())))
        continue;
      platform::_rmdir(folder.c_str());
      return false;
    }
    // Locked only after another run removed the folder (and perhaps a third
    // made one again under the name): only a folder there now is ours.
    if (!IsFolder(platform::GetFileAttributesA(folder.c_str()))) {
      platform::DeleteFileA(lockPath.c_str());
      platform::_lclose(lock);
      continue;
    }
    path_ = folder;
    lock_ = lock;
    return true;
  }
  return false;
}

void ScratchFolder::Remove() {
  if (lock_ == HFILE_ERROR) return;
  common::RemoveDirectoryTree(path_.c_str(), 1);
  platform::DeleteFileA((path_ + kLockSuffix).c_str());
  platform::_lclose(lock_);
  lock_ = HFILE_ERROR;
  path_.clear();
  RemoveAbandonedScratchFolders(parent_);
  platform::_rmdir(parent_.c_str());  // only once it is empty
}

}  // namespace transfer
