// C run-time file calls with the C library's error numbers.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/posix/posix_calls.h"

namespace platform {

namespace {
thread_local int t_crtErrno = 0;

int Fail(int crtErrno) {
  t_crtErrno = crtErrno;
  return -1;
}
}  // namespace

void detail::SetCrtErrno(int crtErrno) { t_crtErrno = crtErrno; }

int posix::CrtErrno() { return t_crtErrno; }

void posix::_set_errno(int crtErrno) { t_crtErrno = crtErrno; }

const char* CrtStrError(int crtErrno) {
  switch (crtErrno) {
    case 0: return "No error";
    case CRT_ENOENT: return "No such file or directory";
    case CRT_EIO: return "Input/output error";
    case CRT_EACCES: return "Permission denied";
    case CRT_EEXIST: return "File exists";
    case CRT_ENOTDIR: return "Not a directory";
    case CRT_EINVAL: return "Invalid argument";
    case CRT_ENOSPC: return "No space left on device";
    case CRT_ENOTEMPTY: return "Directory not empty";
    case 34: return "Result too large";
    default: return "Unknown error";
  }
}

int posix::_chmod(const char* path, int pmode) {
  std::string host = HostPath(path ? path : "");
  struct stat st;
  if (host.empty() || ::lstat(host.c_str(), &st) != 0) return Fail(CRT_ENOENT);
  // A symbolic link has no mode of its own; its target is never changed.
  if (S_ISLNK(st.st_mode)) return 0;
  mode_t mode = st.st_mode & 07777;
  mode_t newMode = (pmode & _S_IWRITE) ? (mode | S_IWUSR) : (mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH));
  if (newMode != mode && ::chmod(host.c_str(), newMode) != 0) return Fail(detail::CrtErrnoFromHost(errno));
  return 0;
}

int posix::_mkdir(const char* path) {
  std::string host = HostPath(path ? path : "");
  if (host.empty()) return Fail(CRT_ENOENT);
  if (::mkdir(host.c_str(), 0777) != 0) return Fail(detail::CrtErrnoFromHost(errno));
  return 0;
}

int posix::_rmdir(const char* path) {
  std::string host = HostPath(path ? path : "");
  struct stat st;
  if (host.empty() || ::lstat(host.c_str(), &st) != 0) return Fail(CRT_ENOENT);
  if (!S_ISDIR(st.st_mode)) return Fail(CRT_ENOTDIR);
  if (::rmdir(host.c_str()) != 0) {
    int err = errno;
    return Fail(err == EEXIST ? CRT_ENOTEMPTY : detail::CrtErrnoFromHost(err));
  }
  return 0;
}

int posix::_access(const char* path, int mode) {
  std::string host = HostPath(path ? path : "");
  struct stat st;
  if (host.empty() || ::stat(host.c_str(), &st) != 0) return Fail(CRT_ENOENT);
  // Write access is the read-only attribute, as on the DOS side; the host's
  // own access rules (which let root write anything) play no part.
  if ((mode & 2) && !(st.st_mode & S_IWUSR)) return Fail(CRT_EACCES);
  if ((mode & 4) && !(st.st_mode & (S_IRUSR | S_IRGRP | S_IROTH))) return Fail(CRT_EACCES);
  return 0;
}

}  // namespace platform
