// Small host helpers shared by the platform's source files.
#include "platform/host.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/posix/recent_lookups.h"

namespace platform::detail {

namespace {

// A relative $ORVIK_PREFIX would name another folder once the program, or a
// program it starts, works in another directory. It is made absolute against
// the directory the program started in, before main runs (and before any
// thread could read the environment), so that every child inherits it whole.
struct AbsolutePrefixAtStart {
  AbsolutePrefixAtStart() {
    const char* prefix = std::getenv("ORVIK_PREFIX");
    if (prefix == nullptr || *prefix == 0 || *prefix == '/') return;
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) return;
    std::string absolute = std::string(cwd) + (cwd[1] == 0 ? "" : "/") + prefix;
    ::setenv("ORVIK_PREFIX", absolute.c_str(), 1);
  }
} g_absolutePrefixAtStart;

}  // namespace

bool MakeHostDirs(const std::string& hostPath) {
  struct stat st;
  if (hostPath.empty()) return false;
  if (::stat(hostPath.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  size_t slash = hostPath.find_last_of('/');
  if (slash != std::string::npos && slash > 0) MakeHostDirs(hostPath.substr(0, slash));
  if (::mkdir(hostPath.c_str(), 0777) == 0) return true;
  return ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DWORD ErrorFromErrno(int err, const std::string& hostPath) {
  switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: {
      size_t slash = hostPath.find_last_of('/');
      if (slash == std::string::npos) return ERROR_FILE_NOT_FOUND;
      std::string parent = slash == 0 ? "/" : hostPath.substr(0, slash);
      struct stat st;
      if (RecentLookups::KnownFolder(parent)) return ERROR_FILE_NOT_FOUND;
      if (::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return ERROR_FILE_NOT_FOUND;
      return ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EROFS: return ERROR_WRITE_PROTECT;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EAGAIN: return ERROR_SHARING_VIOLATION;
    case EXDEV: return 17;  // ERROR_NOT_SAME_DEVICE
    case ENAMETOOLONG: return 206;  // ERROR_FILENAME_EXCED_RANGE
    case ELOOP: return ERROR_CANT_ACCESS_FILE;  // a link refused (O_NOFOLLOW)
    case ENXIO: return ERROR_BAD_FILE_TYPE;  // a pipe without a reader
    default: return 1117;  // ERROR_IO_DEVICE
  }
}

int CrtErrnoFromHost(int err) {
  switch (err) {
    case ENOENT: return CRT_ENOENT;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY: return CRT_EACCES;
    case EEXIST: return CRT_EEXIST;
    case ENOTEMPTY: return CRT_ENOTEMPTY;  // 39 on this host, 41 in the C run-time
    case ENOTDIR: return CRT_ENOTDIR;
    case EINVAL: return CRT_EINVAL;
    case ENOSPC:
    case EDQUOT: return CRT_ENOSPC;
    case ENAMETOOLONG: return CRT_ENOENT;
    default: return CRT_EIO;
  }
}

namespace {
bool Match(const char* p, const char* n) {
  while (*p) {
    if (*p == '*') {
      while (*p == '*') ++p;
      if (!*p) return true;
      for (const char* s = n; ; ++s) {
        if (Match(p, s)) return true;
        if (!*s) return false;
      }
    }
    if (!*n) return false;
    if (*p != '?' && !EqualNoCase(*p, *n)) return false;
    ++p;
    ++n;
  }
  return *n == 0;
}
}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  if (Match(pattern.c_str(), name.c_str())) return true;
  // "x.*" also matches "x", and "x." matches a name without an extension.
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0)
    return Match(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
  if (!pattern.empty() && pattern.back() == '.' && name.find('.') == std::string::npos)
    return Match(pattern.substr(0, pattern.size() - 1).c_str(), name.c_str());
  return false;
}

DWORD ReadDosAttrib(const std::string& hostPath) {
  char value[32] = {};
  ssize_t n = ::lgetxattr(hostPath.c_str(), "user.DOSATTRIB", value, sizeof value - 1);
  if (n <= 0) return 0;
  value[n] = 0;
  unsigned long bits = std::strtoul(value, nullptr, 0);
  return DWORD(bits) & 0x06;  // hidden and system; the others come from the mode
}

}  // namespace platform::detail
