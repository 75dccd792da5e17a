// Files by handle. A handle is the host file descriptor; the table remembers
// which access the handle was opened for, since a lock may need a read-write
// descriptor behind a read-only handle.
//
// Share modes are whole-file open-file-description locks (F_OFD_SETLK): they
// belong to the open file, not the process, so two opens in one process
// conflict as they do between processes, and a close releases the lock.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/dos_path.h"
#include "platform/hfile.h"
#include "platform/host.h"
#include "platform/posix/posix_calls.h"
#include "platform/posix/recent_lookups.h"

namespace platform {

namespace {

struct HandleInfo {
  bool readable = false;
  bool writable = false;
  bool unnamed = false;  // a file of CreateUnnamedFile, named or not since
};

std::mutex g_mutex;
std::unordered_map<int, HandleInfo>& Handles() {
  static std::unordered_map<int, HandleInfo> handles;
  return handles;
}

// The value OpenFile returns for OF_EXIST: positive, and never a descriptor.
constexpr HFILE kExistHandle = INT_MAX;

HFILE Fail(OFSTRUCT* of, DWORD error) {
  SetLastError(error);
  if (of) of->nErrCode = WORD(error);
  return HFILE_ERROR;
}

BOOL FailBool(DWORD error) {
  SetLastError(error);
  return FALSE;
}

void Register(int fd, bool readable, bool writable, bool unnamed = false) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Handles()[fd] = HandleInfo{readable, writable, unnamed};
}

bool Lookup(HFILE file, HandleInfo& info) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = Handles().find(file);
  if (it == Handles().end()) return false;
  info = it->second;
  return true;
}

struct flock WholeFile(short type) {
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 0;  // to the end, however long the file grows
  return fl;
}

// True when the file (or, for a new file, its folder) is on a file system
// mounted read-only: a write-protected medium, whatever the file's mode.
bool OnReadOnlyMount(const std::string& host, bool exists) {
  std::string probe = host;
  if (!exists) {
    size_t slash = host.find_last_of('/');
    probe = slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
  }
  struct statvfs vfs;
  return ::statvfs(probe.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY);
}

// True when another open file holds any lock on the file.
bool LockedElsewhere(int fd) {
  struct flock fl = WholeFile(F_WRLCK);
  if (::fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;
  return fl.l_type != F_UNLCK;
}

// Opens without blocking (a pipe without a writer would wait forever) and
// keeps the descriptor only for a regular file; blocking again after.
int OpenRegular(const std::string& host, int flags, OFSTRUCT* of) {
  int fd = ::open(host.c_str(), flags | O_NONBLOCK, 0666);
  if (fd < 0) {
    Fail(of, detail::ErrorFromErrno(errno, host));
    return -1;
  }
  struct stat st;
  bool known = ::fstat(fd, &st) == 0;
  if (!known || !S_ISREG(st.st_mode)) {
    ::close(fd);
    Fail(of, known && S_ISDIR(st.st_mode) ? ERROR_ACCESS_DENIED : ERROR_BAD_FILE_TYPE);
    return -1;
  }
  // The status flags are those just asked for (F_SETFL ignores the others).
  (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

// True when `host` still names the open file `fd` (and the file has a name).
bool StillAtPath(int fd, const std::string& host, bool noFollow) {
  struct stat open, named;
  if (::fstat(fd, &open) != 0 || open.st_nlink == 0) return false;
  int r = noFollow ? ::lstat(host.c_str(), &named) : ::stat(host.c_str(), &named);
  return r == 0 && named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

}  // namespace

HFILE posix::OpenFile(const char* path, OFSTRUCT* of, UINT style) {
  detail::RecentLookups known;
  std::string dos = FullDosPath(path ? path : "");
  if (of) {
    std::strncpy(of->szPathName, dos.c_str(), sizeof of->szPathName - 1);
    of->szPathName[sizeof of->szPathName - 1] = 0;
    of->nErrCode = 0;
  }
  std::string host = HostPath(dos);
  if (host.empty()) return Fail(of, ERROR_PATH_NOT_FOUND);

  if (style & OF_EXIST) {
    struct stat st;
    if (::stat(host.c_str(), &st) != 0) return Fail(of, detail::ErrorFromErrno(errno, host));
    if (S_ISDIR(st.st_mode)) return Fail(of, ERROR_ACCESS_DENIED);
    SetLastError(ERROR_SUCCESS);
    return kExistHandle;
  }

  UINT access = style & 0x3;
  UINT share = style & 0x70;
  bool create = (style & OF_CREATE) != 0;
  bool createNew = create && (style & OF_CREATE_NEW) != 0;
  bool noFollow = (style & OF_NOFOLLOW) != 0 || createNew;
  bool wantWrite = access == OF_WRITE || access == OF_READWRITE || create;
  bool wantRead = access == OF_READ || access == OF_READWRITE;
  short lockType = F_UNLCK;
  if (share == OF_SHARE_EXCLUSIVE) {
    lockType = F_WRLCK;
  } else if (share == OF_SHARE_DENY_WRITE) {
    lockType = wantWrite ? F_WRLCK : F_RDLCK;
  }

  struct stat st;
  bool exists;
  if (createNew) {
    // The exclusive open tells by itself that the name is taken (EEXIST) or
    // that the mount is read-only (EROFS, for a name that is free).
    exists = false;
  } else {
    // The mapping's lstat answers unless stat would follow a link.
    int error = 0;
    if (detail::RecentLookups::Lstat(host, &st, &error) && (noFollow || error != 0 || !S_ISLNK(st.st_mode)))
      exists = error == 0;
    else
      exists = (noFollow ? ::lstat(host.c_str(), &st) : ::stat(host.c_str(), &st)) == 0;
  }
  if (exists && createNew) return Fail(of, ERROR_FILE_EXISTS);
  if (exists && S_ISLNK(st.st_mode)) return Fail(of, ERROR_CANT_ACCESS_FILE);
  if (exists && S_ISDIR(st.st_mode)) return Fail(of, ERROR_ACCESS_DENIED);
  if (exists && !S_ISREG(st.st_mode)) return Fail(of, ERROR_BAD_FILE_TYPE);
  if (wantWrite && !createNew && OnReadOnlyMount(host, exists)) return Fail(of, ERROR_WRITE_PROTECT);
  // Read-only is the attribute, whoever the host user is.
  bool readOnlyFile = exists && !(st.st_mode & S_IWUSR);
  if (wantWrite && readOnlyFile) return Fail(of, ERROR_ACCESS_DENIED);

  // An exclusive lock needs a descriptor open for writing.
  bool descriptorWrite = wantWrite || (lockType == F_WRLCK && !readOnlyFile);
  if (lockType == F_WRLCK && !descriptorWrite) lockType = F_RDLCK;  // read-only file: nobody can write it anyway
  bool descriptorRead = wantRead || create || lockType == F_RDLCK || !descriptorWrite;
  int flags = O_CLOEXEC | (descriptorWrite ? (descriptorRead ? O_RDWR : O_WRONLY) : O_RDONLY);
  if (create) flags |= O_CREAT;
  if (createNew) flags |= O_EXCL;
  if (noFollow) flags |= O_NOFOLLOW;
  int fd = OpenRegular(host, flags, of);
  if (fd < 0) return HFILE_ERROR;

  if (lockType != F_UNLCK) {
    struct flock fl = WholeFile(lockType);
    if (::fcntl(fd, F_OFD_SETLK, &fl) != 0) {
      int err = errno;
      ::close(fd);
      return Fail(of, (err == EAGAIN || err == EACCES) ? ERROR_SHARING_VIOLATION
                                                         : detail::ErrorFromErrno(err, host));
    }
    // Replaced (or removed) between the open and the lock: the lock guards
    // another file than the path names now.
    if (!StillAtPath(fd, host, noFollow)) {
      ::close(fd);
      return Fail(of, createNew ? ERROR_FILE_EXISTS : ERROR_SHARING_VIOLATION);
    }
  } else if (wantWrite && LockedElsewhere(fd)) {
    ::close(fd);
    return Fail(of, ERROR_SHARING_VIOLATION);
  }
  // Truncate only once the share check has passed: a refused open must not
  // destroy a file that someone else holds.
  if (create && !createNew && ::ftruncate(fd, 0) != 0) {
    int err = errno;
    ::close(fd);
    return Fail(of, detail::ErrorFromErrno(err, host));
  }
  Register(fd, wantRead || create, wantWrite);
  SetLastError(ERROR_SUCCESS);
  return fd;
}

HFILE posix::_lcreat(const char* path, int attribute) {
  std::string host = HostPath(path ? path : "");
  if (host.empty()) return Fail(nullptr, ERROR_PATH_NOT_FOUND);
  struct stat st;
  bool exists = ::stat(host.c_str(), &st) == 0;
  if (OnReadOnlyMount(host, exists)) return Fail(nullptr, ERROR_WRITE_PROTECT);
  if (exists && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR)))
    return Fail(nullptr, ERROR_ACCESS_DENIED);
  if (exists && !S_ISREG(st.st_mode)) return Fail(nullptr, ERROR_BAD_FILE_TYPE);
  int fd = OpenRegular(host, O_RDWR | O_CREAT | O_CLOEXEC, nullptr);
  if (fd < 0) return HFILE_ERROR;
  if (LockedElsewhere(fd)) {
    ::close(fd);
    return Fail(nullptr, ERROR_SHARING_VIOLATION);
  }
  if (::ftruncate(fd, 0) != 0) {
    int err = errno;
    ::close(fd);
    return Fail(nullptr, detail::ErrorFromErrno(err, host));
  }
  if (attribute & 1) (void)::fchmod(fd, 0444);  // read-only; this handle still writes
  if (attribute & 6) detail::WriteDosAttribFd(fd, DWORD(attribute) & 6);
  Register(fd, true, true);
  SetLastError(ERROR_SUCCESS);
  return fd;
}

bool detail::DeleteHostFileIfUnused(const std::string& host) {
  int fd = OpenRegular(host, O_RDWR | O_NOFOLLOW | O_CLOEXEC, nullptr);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !(st.st_mode & S_IWUSR)) {  // read-only, as DeleteFileA
    ::close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  struct flock fl = WholeFile(F_WRLCK);
  bool unused = ::fcntl(fd, F_OFD_SETLK, &fl) == 0 && StillAtPath(fd, host, true);
  if (!unused) {
    ::close(fd);
    SetLastError(ERROR_SHARING_VIOLATION);
    return false;
  }
  int removed = ::unlink(host.c_str());
  int err = errno;
  ::close(fd);
  SetLastError(removed == 0 ? ERROR_SUCCESS : detail::ErrorFromErrno(err, host));
  return removed == 0;
}

BOOL posix::DeleteFileIfUnused(const char* path) {
  std::string host = HostPath(path ? path : "");
  if (host.empty()) return FailBool(ERROR_PATH_NOT_FOUND);
  return detail::DeleteHostFileIfUnused(host) ? TRUE : FALSE;
}

HFILE posix::CreateNewFile(const char* path) {
  std::string host = HostPath(path ? path : "");
  if (host.empty()) return Fail(nullptr, ERROR_PATH_NOT_FOUND);
  if (OnReadOnlyMount(host, false)) return Fail(nullptr, ERROR_WRITE_PROTECT);
  // O_EXCL fails on any existing entry, a symbolic link included.
  int fd = ::open(host.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(nullptr, detail::ErrorFromErrno(errno, host));
  Register(fd, true, true);
  SetLastError(ERROR_SUCCESS);
  return fd;
}

// An O_TMPFILE file in the target's folder. It gets its name through
// /proc/self/fd (NameUnnamedFile), so without /proc none is made.
HFILE posix::CreateUnnamedFile(const char* target) {
  static const bool nameable = ::access("/proc/self/fd", X_OK) == 0;
  if (!nameable) return Fail(nullptr, ERROR_NOT_SUPPORTED);
  std::string host = HostPath(target ? target : "");
  if (host.empty()) return Fail(nullptr, ERROR_PATH_NOT_FOUND);
  const size_t slash = host.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
  int fd = ::open(folder.c_str(), O_RDWR | O_TMPFILE | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(nullptr, errno == EOPNOTSUPP ? ERROR_NOT_SUPPORTED : detail::ErrorFromErrno(errno, folder));
  Register(fd, true, true, true);
  SetLastError(ERROR_SUCCESS);
  return fd;
}

HFILE posix::OpenLockFile(const char* path) {
  std::string host = HostPath(path ? path : "");
  if (host.empty()) return Fail(nullptr, ERROR_PATH_NOT_FOUND);
  int fd = ::open(host.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(nullptr, errno == ELOOP ? ERROR_ACCESS_DENIED : detail::ErrorFromErrno(errno, host));
  struct flock fl = WholeFile(F_WRLCK);
  if (::fcntl(fd, F_OFD_SETLK, &fl) != 0) {
    int err = errno;
    ::close(fd);
    return Fail(nullptr, (err == EAGAIN || err == EACCES) ? ERROR_SHARING_VIOLATION
                                                          : detail::ErrorFromErrno(err, host));
  }
  // Whoever held the lock before may have removed the file in the meantime:
  // a lock on a file that no longer has this name guards nothing.
  struct stat held, named;
  if (::fstat(fd, &held) != 0 || ::lstat(host.c_str(), &named) != 0 || held.st_dev != named.st_dev ||
      held.st_ino != named.st_ino) {
    ::close(fd);
    return Fail(nullptr, ERROR_SHARING_VIOLATION);
  }
  Register(fd, true, true);
  SetLastError(ERROR_SUCCESS);
  return fd;
}

UINT posix::_lread(HFILE file, void* buffer, UINT count) {
  HandleInfo info;
  if (!Lookup(file, info)) return Fail(nullptr, ERROR_INVALID_HANDLE);
  if (!info.readable) return Fail(nullptr, ERROR_ACCESS_DENIED);
  char* out = static_cast<char*>(buffer);
  UINT done = 0;
  while (done < count) {
    ssize_t n = ::read(file, out + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail(nullptr, detail::ErrorFromErrno(errno, ""));
    if (n == 0) break;
    done += UINT(n);
  }
  return done;
}

UINT posix::_lwrite(HFILE file, const void* buffer, UINT count) {
  HandleInfo info;
  if (!Lookup(file, info)) return Fail(nullptr, ERROR_INVALID_HANDLE);
  if (!info.writable) return Fail(nullptr, ERROR_ACCESS_DENIED);
  UINT store = count;
  const char* in = static_cast<const char*>(buffer);
  UINT done = 0;
  while (done < store) {
    ssize_t n = ::write(file, in + done, store - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail(nullptr, detail::ErrorFromErrno(errno, ""));
    done += UINT(n);
  }
  return done;
}

LONG posix::_llseek(HFILE file, LONG offset, int origin) {
  HandleInfo info;
  if (!Lookup(file, info)) return Fail(nullptr, ERROR_INVALID_HANDLE);
  int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : -1;
  if (whence < 0) return Fail(nullptr, ERROR_INVALID_PARAMETER);
  off_t pos = ::lseek(file, off_t(offset), whence);
  if (pos < 0) return Fail(nullptr, ERROR_INVALID_PARAMETER);
  if (pos > off_t(INT32_MAX)) return Fail(nullptr, ERROR_INVALID_PARAMETER);
  return LONG(pos);
}

HFILE posix::_lclose(HFILE file) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (Handles().erase(file) == 0) return Fail(nullptr, ERROR_INVALID_HANDLE);
  }
  if (::close(file) != 0) return Fail(nullptr, detail::ErrorFromErrno(errno, ""));
  return 0;
}

BOOL posix::ReleaseHandle(HFILE file) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return Handles().erase(file) != 0 ? TRUE : FALSE;
}

// A read lock on the writer's open file (DeleteFileIfUnused needs the
// exclusive one), through a second descriptor of it that outlives the
// writer's. A file that lost its name before the lock could be taken is one
// that DeleteFileIfUnused removed: the name is free again.
HFILE posix::OpenGuard(HFILE file, const char*) {
  HandleInfo info;
  if (!Lookup(file, info)) return Fail(nullptr, ERROR_INVALID_HANDLE);
  int fd = ::fcntl(file, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return Fail(nullptr, detail::ErrorFromErrno(errno, ""));
  // A file with no name is out of every other program's reach: the guard
  // only keeps it open.
  if (info.unnamed) {
    Register(fd, true, false, true);
    SetLastError(ERROR_SUCCESS);
    return fd;
  }
  struct flock fl = WholeFile(F_RDLCK);
  struct stat st;
  if (::fcntl(fd, F_OFD_SETLK, &fl) != 0 || ::fstat(fd, &st) != 0 || st.st_nlink == 0) {
    ::close(fd);
    return Fail(nullptr, ERROR_SHARING_VIOLATION);
  }
  Register(fd, true, false);
  SetLastError(ERROR_SUCCESS);
  return fd;
}

bool detail::IsUnnamedHandle(HFILE file) {
  HandleInfo info;
  return Lookup(file, info) && info.unnamed;
}

int posix::CrtDescriptor(HFILE file) {
  HandleInfo info;
  return Lookup(file, info) ? file : -1;
}

DWORD posix::GetFileSize(HFILE file, DWORD* high) {
  HandleInfo info;
  struct stat st;
  if (!Lookup(file, info) || ::fstat(file, &st) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    if (high) *high = 0;
    return INVALID_FILE_SIZE;
  }
  std::uint64_t size = std::uint64_t(st.st_size);
  if (high) *high = DWORD(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return DWORD(size & 0xFFFFFFFFu);
}


}  // namespace platform
