// Flushing files and volumes to the disk, and the batch of files that
// replace their targets after one flush per volume.
#include "platform/flush.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <optional>

#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/host.h"
#include "platform/posix/posix_calls.h"

namespace platform {

namespace {

std::mutex g_hookMutex;
FlushHook& Hook() {
  static FlushHook hook;
  return hook;
}

// False, with ERROR_WRITE_FAULT, when the test hook fails this flush.
bool Allowed(FlushScope scope, const std::string& path) {
  FlushHook hook;
  {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    hook = Hook();
  }
  if (hook && !hook(scope, path)) {
    SetLastError(ERROR_WRITE_FAULT);
    return false;
  }
  return true;
}

BOOL Failed(int err, const std::string& host) {
  SetLastError(detail::ErrorFromErrno(err, host));
  return FALSE;
}

BOOL SyncData(int fd, const std::string& host) {
  while (::fdatasync(fd) != 0) {
    if (errno == EINTR) continue;
    // A file system that keeps nothing to flush (EINVAL) or takes no writes.
    if (errno == EINVAL || errno == EROFS) break;
    return Failed(errno, host);
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

// Flushes the file at a DOS path through a descriptor of its own.
BOOL FlushFileAt(const std::string& path) {
  if (!Allowed(FlushScope::kFile, path)) return FALSE;
  std::string host = HostPath(path);
  if (host.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Failed(errno, host);
  BOOL ok = SyncData(fd, host);
  ::close(fd);
  return ok;
}

// The folder of a DOS path: "C:\\A\\B.TXT" gives "C:\\A", "C:\\B.TXT" gives "C:\\".
std::string FolderOf(const std::string& dos) {
  const std::size_t cut = dos.find_last_of('\\');
  if (cut == std::string::npos) return dos;
  return dos.substr(0, cut == 2 && dos[1] == ':' ? cut + 1 : cut);
}

// Renames a written file over its target, or names a file with no name.
BOOL PutOne(const std::string& written, const std::string& target, HFILE guard) {
  if (written.empty()) return NameUnnamedFile(guard, target.c_str());
  return MoveFileExA(written.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

BOOL posix::FlushFileBuffers(HFILE file) {
  if (!Allowed(FlushScope::kFile, "")) return FALSE;
  return SyncData(file, "");
}

BOOL posix::FlushVolumeBuffers(const char* path) {
  std::string dos = path != nullptr ? path : "";
  if (!Allowed(FlushScope::kVolume, dos)) return FALSE;
  std::string host = HostPath(dos);
  if (host.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Failed(errno, host);
  int rc;
  while ((rc = ::syncfs(fd)) != 0 && errno == EINTR) {
  }
  int err = errno;
  ::close(fd);
  if (rc != 0) return Failed(err, host);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
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
  std::vector<std::pair<dev_t, std::vector<std::size_t>>> volumes;
  for (std::size_t i = 0; i < files.size(); ++i) {
    // A guarded file is the guard's own open file: its volume needs no path.
    // A file with no name has only its handle.
    const bool unnamed = files[i].written.empty();
    struct stat st;
    const bool held =
        files[i].guard >= 0 && ::fstat(files[i].guard, &st) == 0 && (unnamed || st.st_nlink > 0);
    if (!held && unnamed) {
      failed[i] = Failure{"", files[i].target, false, ERROR_INVALID_HANDLE};
      continue;
    }
    if (!held) {
      std::string host = HostPath(files[i].written);
      if (host.empty() || ::stat(host.c_str(), &st) != 0) {
        failed[i] = Failure{files[i].written, files[i].target, false,
                            host.empty() ? ERROR_PATH_NOT_FOUND : detail::ErrorFromErrno(errno, host)};
        continue;
      }
    }
    auto volume = volumes.begin();
    while (volume != volumes.end() && volume->first != st.st_dev) ++volume;
    if (volume == volumes.end()) volume = volumes.insert(volumes.end(), {st.st_dev, {}});
    volume->second.push_back(i);
  }

  for (const auto& [device, members] : volumes) {
    // A file with no name is found on its volume by its target's folder.
    const Pending& first = files[members.front()];
    if (FlushVolumeBuffers((first.written.empty() ? FolderOf(first.target) : first.written).c_str())) continue;
    // Which files the failure touched: each is flushed on its own.
    for (std::size_t i : members) {
      const bool unnamed = files[i].written.empty();
      if (unnamed ? FlushFileBuffers(files[i].guard) : FlushFileAt(files[i].written)) continue;
      DWORD error = GetLastError();
      if (!unnamed) DeleteFileA(files[i].written.c_str());
      failed[i] = Failure{files[i].written, files[i].target, false, error};
    }
  }

  std::vector<Failure> failures;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!failed[i] && !PutOne(files[i].written, files[i].target, files[i].guard))
      failed[i] = Failure{files[i].written, files[i].target, true, GetLastError()};
    if (files[i].guard >= 0) _lclose(files[i].guard);
    if (failed[i]) failures.push_back(*failed[i]);
  }
  return failures;
}

}  // namespace platform
