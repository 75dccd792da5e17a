#include "platform/fault_injector.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// The C error number a failing C run-time call reports for a host error.
int CrtErrnoFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return CRT_ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return CRT_EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return CRT_EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return CRT_ENOSPC;
    case ERROR_DIR_NOT_EMPTY:
      return CRT_ENOTEMPTY;
    default:
      return CRT_EIO;
  }
}

}  // namespace

const char* HostCallKindName(HostCallKind kind) {
  static const char* const kNames[kHostCallKinds] = {
      "open", "read", "write", "seek", "close", "move", "copy", "create folder", "remove folder",
      "delete file", "lock", "profile read", "process start", "flush"};
  return kNames[int(kind)];
}

FaultInjector::FaultInjector() : ForwardingBackend(CurrentHostBackend()), previous_(InstallHostBackend(this)) {}

FaultInjector::~FaultInjector() {
  InstallHostBackend(previous_);
  for (HFILE file : leftOpen_) inner()._lclose(file);
}

void FaultInjector::FailAt(HostCallKind kind, unsigned n, DWORD error) {
  failKind_.store(-1);
  fired_.store(false);
  error_.store(error);
  failAt_.store(Count(kind) + n);
  failKind_.store(int(kind));
}

void FaultInjector::FilterWrites(WriteFilter filter) {
  std::lock_guard<std::mutex> lock(mutex_);
  filter_ = std::move(filter);
}

bool FaultInjector::Fails(HostCallKind kind) {
  unsigned n = ++counts_[int(kind)];
  if (failKind_.load() != int(kind) || n != failAt_.load()) return false;
  fired_.store(true);
  inner()._set_errno(CrtErrnoFor(error_.load()));
  inner().SetLastError(error_.load());
  return true;
}

HFILE FaultInjector::OpenFile(const char* path, OFSTRUCT* of, UINT style) {
  if (!Fails(HostCallKind::kOpen)) return inner().OpenFile(path, of, style);
  if (of) of->nErrCode = WORD(error_.load());
  return HFILE_ERROR;
}

HFILE FaultInjector::_lcreat(const char* path, int attribute) {
  return Fails(HostCallKind::kOpen) ? HFILE_ERROR : inner()._lcreat(path, attribute);
}

HFILE FaultInjector::CreateNewFile(const char* path) {
  return Fails(HostCallKind::kOpen) ? HFILE_ERROR : inner().CreateNewFile(path);
}

HFILE FaultInjector::OpenGuard(HFILE file, const char* path) {
  return Fails(HostCallKind::kOpen) ? HFILE_ERROR : inner().OpenGuard(file, path);
}

HFILE FaultInjector::OpenLockFile(const char* path) {
  return Fails(HostCallKind::kLock) ? HFILE_ERROR : inner().OpenLockFile(path);
}

UINT FaultInjector::_lread(HFILE file, void* buffer, UINT count) {
  return Fails(HostCallKind::kRead) ? UINT(HFILE_ERROR) : inner()._lread(file, buffer, count);
}

UINT FaultInjector::_lwrite(HFILE file, const void* buffer, UINT count) {
  if (Fails(HostCallKind::kWrite)) return UINT(HFILE_ERROR);
  WriteFilter filter;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    filter = filter_;
  }
  UINT store = filter ? std::min(filter(file, count), count) : count;
  return inner()._lwrite(file, buffer, store);
}

LONG FaultInjector::_llseek(HFILE file, LONG offset, int origin) {
  return Fails(HostCallKind::kSeek) ? HFILE_ERROR : inner()._llseek(file, offset, origin);
}

HFILE FaultInjector::_lclose(HFILE file) {
  if (!Fails(HostCallKind::kClose)) return inner()._lclose(file);
  std::lock_guard<std::mutex> lock(mutex_);
  leftOpen_.push_back(file);
  return HFILE_ERROR;
}

BOOL FaultInjector::MoveFileA(const char* src, const char* dst) {
  return Fails(HostCallKind::kMove) ? FALSE : inner().MoveFileA(src, dst);
}

HFILE FaultInjector::CreateUnnamedFile(const char* target) {
  return Fails(HostCallKind::kOpen) ? HFILE_ERROR : inner().CreateUnnamedFile(target);
}

BOOL FaultInjector::NameUnnamedFile(HFILE file, const char* target) {
  return Fails(HostCallKind::kMove) ? FALSE : inner().NameUnnamedFile(file, target);
}

BOOL FaultInjector::MoveFileExA(const char* src, const char* dst, DWORD flags) {
  return Fails(HostCallKind::kMove) ? FALSE : inner().MoveFileExA(src, dst, flags);
}

BOOL FaultInjector::CopyFileA(const char* src, const char* dst, BOOL failIfExists) {
  return Fails(HostCallKind::kCopy) ? FALSE : inner().CopyFileA(src, dst, failIfExists);
}

int FaultInjector::_mkdir(const char* path) { return Fails(HostCallKind::kCreateFolder) ? -1 : inner()._mkdir(path); }

int FaultInjector::_rmdir(const char* path) { return Fails(HostCallKind::kRemoveFolder) ? -1 : inner()._rmdir(path); }

BOOL FaultInjector::DeleteFileA(const char* path) {
  return Fails(HostCallKind::kDeleteFile) ? FALSE : inner().DeleteFileA(path);
}

BOOL FaultInjector::DeleteFileIfUnused(const char* path) {
  return Fails(HostCallKind::kDeleteFile) ? FALSE : inner().DeleteFileIfUnused(path);
}

DWORD FaultInjector::GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                              char* buffer, DWORD size, const char* file) {
  if (!Fails(HostCallKind::kProfileRead))
    return inner().GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file);
  // As an unreadable file: the default value, cut to the buffer.
  if (!buffer || size == 0) return 0;
  DWORD count = DWORD(std::min<std::size_t>(defaultValue ? std::strlen(defaultValue) : 0, size - 1));
  if (count) std::memcpy(buffer, defaultValue, count);
  buffer[count] = 0;
  return count;
}

UINT FaultInjector::WinExec(const char* commandLine, UINT show) {
  if (!Fails(HostCallKind::kProcessStart)) return inner().WinExec(commandLine, show);
  DWORD error = error_.load();
  return error > 0 && error < 32 ? UINT(error) : UINT(ERROR_FILE_NOT_FOUND);
}

BOOL FaultInjector::FlushFileBuffers(HFILE file) {
  return Fails(HostCallKind::kFlush) ? FALSE : inner().FlushFileBuffers(file);
}

BOOL FaultInjector::FlushVolumeBuffers(const char* path) {
  return Fails(HostCallKind::kFlush) ? FALSE : inner().FlushVolumeBuffers(path);
}

}  // namespace platform
