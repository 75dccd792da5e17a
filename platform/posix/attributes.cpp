// File attributes on the host.
//
// Read-only is the absence of the owner write bit. The hidden and system
// bits have no place in the mode, so they are kept in the extended attribute
// user.DOSATTRIB (value like "0x4", as other DOS-on-host layers store it).
// On a file system without user extended attributes, and on symbolic links
// (which cannot carry them), setting those bits fails rather than being
// silently dropped: a system file must never lose its protection unnoticed.
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/host.h"
#include "platform/posix/posix_calls.h"
#include "platform/posix/recent_lookups.h"

namespace platform {

namespace {
constexpr DWORD kXattrBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
}  // namespace

DWORD detail::HostAttributes(const std::string& hostPath) {
  struct stat st;
  if (hostPath.empty()) {
    errno = ENOENT;
    return INVALID_FILE_ATTRIBUTES;
  }
  int error = 0;
  if (!RecentLookups::Lstat(hostPath, &st, &error)) error = ::lstat(hostPath.c_str(), &st) == 0 ? 0 : errno;
  if (error != 0) {
    errno = error;
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISLNK(st.st_mode)) return FILE_ATTRIBUTE_REPARSE_POINT;  // never a folder: not followed
  DWORD attributes = ReadDosAttrib(hostPath);
  if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (!(st.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool detail::WriteDosAttribFd(int fd, DWORD bits) {
  char value[16];
  std::snprintf(value, sizeof value, "0x%x", unsigned(bits & kXattrBits));
  return ::fsetxattr(fd, "user.DOSATTRIB", value, std::char_traits<char>::length(value), 0) == 0;
}

DWORD posix::GetFileAttributesA(const char* path) {
  detail::RecentLookups known;
  std::string host = HostPath(path ? path : "");
  DWORD attributes = detail::HostAttributes(host);
  if (attributes == INVALID_FILE_ATTRIBUTES) SetLastError(detail::ErrorFromErrno(errno, host));
  return attributes;
}

BOOL posix::SetFileAttributesA(const char* path, DWORD attributes) {
  std::string host = HostPath(path ? path : "");
  struct stat st;
  if (host.empty() || ::lstat(host.c_str(), &st) != 0) {
    SetLastError(host.empty() ? ERROR_PATH_NOT_FOUND : detail::ErrorFromErrno(errno, host));
    return FALSE;
  }
  DWORD wanted = attributes & kXattrBits;
  if (S_ISLNK(st.st_mode)) {
    // A link has no mode of its own, and changing its target is never wanted.
    if (wanted) {
      SetLastError(ERROR_NOT_SUPPORTED);
      return FALSE;
    }
    return TRUE;
  }
  if (wanted) {
    char value[16];
    std::snprintf(value, sizeof value, "0x%x", unsigned(wanted));
    if (::setxattr(host.c_str(), "user.DOSATTRIB", value, std::char_traits<char>::length(value), 0) != 0) {
      SetLastError(errno == ENOTSUP ? ERROR_NOT_SUPPORTED : detail::ErrorFromErrno(errno, host));
      return FALSE;
    }
  } else if (::removexattr(host.c_str(), "user.DOSATTRIB") != 0 && errno != ENODATA &&
             errno != ENOTSUP) {
    SetLastError(detail::ErrorFromErrno(errno, host));
    return FALSE;
  }
  mode_t mode = st.st_mode & 07777;
  mode_t newMode = (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH))
                                                          : (mode | S_IWUSR);
  if (newMode != mode && ::chmod(host.c_str(), newMode) != 0) {
    SetLastError(detail::ErrorFromErrno(errno, host));
    return FALSE;
  }
  return TRUE;
}

}  // namespace platform
