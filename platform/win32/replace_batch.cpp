// The tests' flush hook and the batch of files that replace their targets
// after one flush per volume, on Windows.
#include <mutex>
#include <optional>
#include <utility>

#include "platform/files.h"
#include "platform/flush.h"
#include "platform/hfile.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

std::mutex g_hookMutex;
FlushHook& Hook() {
  static FlushHook hook;
  return hook;
}

// The volume a file lies on, as the host names its root ("C:\"); "" when
// the path names none.
std::string VolumeOf(const std::string& path) {
  char full[MAX_PATH];
  char* name = nullptr;
  if (::GetFullPathNameA(path.c_str(), sizeof full, full, &name) == 0) return "";
  char volume[MAX_PATH];
  if (!::GetVolumePathNameA(full, volume, sizeof volume)) return "";
  return volume;
}

// Flushes the file at `path` through a handle of its own.
BOOL FlushFileAt(const std::string& path) {
  if (!win32::FlushAllowed(FlushScope::kFile, path)) return FALSE;
  OFSTRUCT of;
  HFILE file = win32::OpenFile(path.c_str(), &of, OF_READWRITE | OF_SHARE_DENY_NONE);
  if (file == HFILE_ERROR) {
    win32::SetLastError(of.nErrCode);
    return FALSE;
  }
  BOOL ok = win32::FlushFileBuffers(file);
  DWORD error = win32::GetLastError();
  win32::_lclose(file);
  win32::SetLastError(ok ? ERROR_SUCCESS : error);
  return ok;
}

}  // namespace

bool win32::FlushAllowed(FlushScope scope, const std::string& path) {
  FlushHook hook;
  {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    hook = Hook();
  }
  if (hook && !hook(scope, path)) {
    win32::SetLastError(ERROR_WRITE_FAULT);
    return false;
  }
  return true;
}

void SetFlushHook(FlushHook hook) {
  std::lock_guard<std::mutex> lock(g_hookMutex);
  Hook() = std::move(hook);
}

void ReplaceBatch::Add(const std::string& written, const std::string& target, HFILE guard) {
  pending_.push_back({written, target, guard});
}

std::vector<ReplaceBatch::Failure> ReplaceBatch::PutInPlace() {
  std::vector<Pending> files;
  files.swap(pending_);
  std::vector<std::optional<Failure>> failed(files.size());

  // The volumes the written files lie on, each with its files.
  std::vector<std::pair<std::string, std::vector<std::size_t>>> volumes;
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string volume = VolumeOf(files[i].written);
    if (volume.empty() || GetFileAttributesA(files[i].written.c_str()) == INVALID_FILE_ATTRIBUTES) {
      failed[i] = Failure{files[i].written, files[i].target, false,
                          volume.empty() ? ERROR_PATH_NOT_FOUND : GetLastError()};
      continue;
    }
    auto it = volumes.begin();
    while (it != volumes.end() && it->first != volume) ++it;
    if (it == volumes.end()) it = volumes.insert(volumes.end(), {volume, {}});
    it->second.push_back(i);
  }

  for (const auto& [volume, members] : volumes) {
    if (FlushVolumeBuffers(files[members.front()].written.c_str())) continue;
    // The volume could not be flushed as a whole: each file on its own.
    for (std::size_t i : members) {
      if (FlushFileAt(files[i].written)) continue;
      DWORD error = GetLastError();
      DeleteFileA(files[i].written.c_str());
      failed[i] = Failure{files[i].written, files[i].target, false, error};
    }
  }

  std::vector<Failure> failures;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!failed[i] &&
        !MoveFileExA(files[i].written.c_str(), files[i].target.c_str(), MOVEFILE_REPLACE_EXISTING))
      failed[i] = Failure{files[i].written, files[i].target, true, GetLastError()};
    if (files[i].guard >= 0) _lclose(files[i].guard);
    if (failed[i]) failures.push_back(*failed[i]);
  }
  return failures;
}

}  // namespace platform
