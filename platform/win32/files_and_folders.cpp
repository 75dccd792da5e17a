// Files and folders on Windows: the host's own calls on the machine's paths.
#include <direct.h>
#include <io.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/win32/windows_api.h"

namespace platform::win32 {

namespace {

thread_local int t_crtErrno = 0;

int CrtResult(int result) {
  t_crtErrno = result == 0 ? 0 : errno;
  return result;
}

void CopyFindData(const ::WIN32_FIND_DATAA& host, platform::WIN32_FIND_DATAA* data) {
  data->dwFileAttributes = host.dwFileAttributes;
  data->nFileSizeHigh = host.nFileSizeHigh;
  data->nFileSizeLow = host.nFileSizeLow;
  std::memcpy(data->cFileName, host.cFileName, sizeof data->cFileName);
  data->cFileName[sizeof data->cFileName - 1] = '\0';
}

// True when both paths name one existing file (any spelling, any link).
bool SameFile(const char* a, const char* b) {
  ::BY_HANDLE_FILE_INFORMATION info[2];
  const char* paths[2] = {a, b};
  for (int i = 0; i < 2; ++i) {
    HANDLE handle = ::CreateFileA(paths[i], 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BOOL got = ::GetFileInformationByHandle(handle, &info[i]);
    ::CloseHandle(handle);
    if (!got) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

}  // namespace

bool FindFile(const char* path) {
  ::WIN32_FIND_DATAA host;
  HANDLE find = ::FindFirstFileA(path, &host);
  if (find == INVALID_HANDLE_VALUE) return false;
  ::FindClose(find);
  return true;
}

FindHandle FindFirstFileA(const char* pattern, platform::WIN32_FIND_DATAA* data) {
  ::WIN32_FIND_DATAA host;
  HANDLE find = ::FindFirstFileA(pattern, &host);
  if (find != INVALID_HANDLE_VALUE) CopyFindData(host, data);
  return find;
}

BOOL FindNextFileA(FindHandle handle, platform::WIN32_FIND_DATAA* data) {
  ::WIN32_FIND_DATAA host;
  if (!::FindNextFileA(handle, &host)) return 0;
  CopyFindData(host, data);
  return 1;
}

BOOL FindClose(FindHandle handle) { return ::FindClose(handle) ? 1 : 0; }

DWORD GetFileAttributesA(const char* path) { return ::GetFileAttributesA(path); }

BOOL SetFileAttributesA(const char* path, DWORD attributes) {
  return ::SetFileAttributesA(path, attributes) ? 1 : 0;
}

// Through a file beside dst, flushed and renamed over it, so that dst is
// the old file or the whole new one at every moment.
BOOL CopyFileA(const char* src, const char* dst, BOOL failIfExists) {
  DWORD existing = ::GetFileAttributesA(dst);
  if (existing != INVALID_FILE_ATTRIBUTES) {
    if (failIfExists) {
      ::SetLastError(ERROR_FILE_EXISTS);
      return 0;
    }
    if (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
      ::SetLastError(ERROR_ACCESS_DENIED);
      return 0;
    }
  }
  if (existing != INVALID_FILE_ATTRIBUTES && SameFile(src, dst)) {
    ::SetLastError(ERROR_SHARING_VIOLATION);  // as the system's own copy onto itself
    return 0;
  }
  std::string beside = std::string(dst) + ".~cp" + std::to_string(::GetCurrentProcessId());
  if (!::CopyFileA(src, beside.c_str(), FALSE)) return 0;
  // A read-only source gives a read-only copy; the flush needs write access.
  DWORD attributes = ::GetFileAttributesA(beside.c_str());
  ::SetFileAttributesA(beside.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  HANDLE handle = ::CreateFileA(beside.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  // Through the tests' flush hook, as every flush.
  bool flushed = handle != INVALID_HANDLE_VALUE && FlushAllowed(FlushScope::kFile, "") && ::FlushFileBuffers(handle);
  DWORD error = ::GetLastError();
  if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  if (flushed) {
    ::SetFileAttributesA(beside.c_str(), attributes);
    DWORD flags = MOVEFILE_WRITE_THROUGH | (failIfExists ? 0 : MOVEFILE_REPLACE_EXISTING);
    if (::MoveFileExA(beside.c_str(), dst, flags)) return 1;
    error = ::GetLastError();
    ::SetFileAttributesA(beside.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  ::DeleteFileA(beside.c_str());
  ::SetLastError(error);
  return 0;
}

BOOL DeleteFileA(const char* path) { return ::DeleteFileA(path) ? 1 : 0; }

BOOL MoveFileA(const char* src, const char* dst) { return ::MoveFileA(src, dst) ? 1 : 0; }

BOOL MoveFileExA(const char* src, const char* dst, DWORD flags) {
  // A read-only target is never replaced. Windows refuses it itself; Wine
  // would rename over it.
  if (flags & MOVEFILE_REPLACE_EXISTING) {
    DWORD existing = ::GetFileAttributesA(dst);
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) &&
        ::GetFileAttributesA(src) != INVALID_FILE_ATTRIBUTES) {
      ::SetLastError(ERROR_ACCESS_DENIED);
      return 0;
    }
  }
  return ::MoveFileExA(src, dst, flags) ? 1 : 0;
}

BOOL CreateDirectoryA(const char* path) { return ::CreateDirectoryA(path, nullptr) ? 1 : 0; }

BOOL RemoveDirectoryA(const char* path) { return ::RemoveDirectoryA(path) ? 1 : 0; }

DWORD GetTempPathA(DWORD size, char* buffer) { return ::GetTempPathA(size, buffer); }

DWORD GetModuleFileNameA(void* module, char* buffer, DWORD size) {
  DWORD length = ::GetModuleFileNameA(static_cast<HMODULE>(module), buffer, size);
  // A path cut to the buffer ends within it, as on current Windows (older
  // ones and Wine leave it unterminated).
  if (length == size && size > 0) buffer[size - 1] = '\0';
  return length;
}

BOOL GetDiskFreeSpaceA(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* freeClusters, DWORD* totalClusters) {
  ::DWORD values[4] = {};
  if (!::GetDiskFreeSpaceA(root, &values[0], &values[1], &values[2], &values[3])) return 0;
  if (sectorsPerCluster) *sectorsPerCluster = values[0];
  if (bytesPerSector) *bytesPerSector = values[1];
  if (freeClusters) *freeClusters = values[2];
  if (totalClusters) *totalClusters = values[3];
  return 1;
}

bool DirectoryExists(const char* path) {
  DWORD attributes = ::GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DWORD GetCurrentDirectoryA(DWORD size, char* buffer) { return ::GetCurrentDirectoryA(size, buffer); }

BOOL SetCurrentDirectoryA(const char* path) { return ::SetCurrentDirectoryA(path) ? 1 : 0; }

char* _getcwd(char* buf, int size) {
  char* result = ::_getcwd(buf, size);
  t_crtErrno = result != nullptr ? 0 : errno;
  return result;
}

int _chdir(const char* path) { return CrtResult(::_chdir(path)); }

int _chmod(const char* path, int pmode) { return CrtResult(::_chmod(path, pmode)); }

int _mkdir(const char* path) { return CrtResult(::_mkdir(path)); }

int _rmdir(const char* path) {
  int result = CrtResult(::_rmdir(path));
  // The C run-time says EINVAL for a file; the platform says ENOTDIR.
  DWORD attributes = result != 0 && t_crtErrno == EINVAL ? ::GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) t_crtErrno = ENOTDIR;
  return result;
}

int _access(const char* path, int mode) { return CrtResult(::_access(path, mode)); }

int CrtErrno() { return t_crtErrno; }

void _set_errno(int crtErrno) { t_crtErrno = crtErrno; }

}  // namespace platform::win32
