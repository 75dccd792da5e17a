// File copy, deletion and renaming on DOS paths.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/flush.h"
#include "platform/hfile.h"
#include "platform/host.h"
#include "platform/posix/posix_calls.h"
#include "platform/posix/recent_lookups.h"

namespace platform {

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

bool WriteAll(int fd, const char* data, size_t count) {
  while (count > 0) {
    ssize_t n = ::write(fd, data, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    count -= size_t(n);
  }
  return true;
}

// True while the open file `fd` is the entry named `path`.
bool AtItsName(int fd, const char* path) {
  struct stat open, named;
  if (::fstat(fd, &open) != 0 || open.st_nlink == 0) return false;
  return ::lstat(path, &named) == 0 && named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

// The file a copy writes beside its target: ".<name>.~ov" and six letters.
std::string TempPrefix(const std::string& name) { return "." + name + ".~ov"; }

// Removes the files that copies which ended before their rename left beside
// the target; a copy in progress keeps its file locked.
void RemoveLeftovers(const std::string& dir, const std::string& name) {
  const std::string prefix = TempPrefix(name);
  DIR* folder = ::opendir(dir.c_str());
  if (folder == nullptr) return;
  std::vector<std::string> leftovers;
  while (struct dirent* entry = ::readdir(folder)) {
    std::string found = entry->d_name;
    if (found.size() == prefix.size() + 6 && found.compare(0, prefix.size(), prefix) == 0)
      leftovers.push_back(found);
  }
  ::closedir(folder);
  for (const std::string& found : leftovers) detail::DeleteHostFileIfUnused((dir == "/" ? "" : dir) + "/" + found);
}

// Copies the open source into a new file beside `dstHost` and renames it
// over the target, so the target is never left half-written. The new file
// is made exclusively (never through a planted link) and stays locked until
// it has its name, through a second descriptor of the same open file.
BOOL CopyInto(int in, const struct stat& srcStat, const std::string& dstHost) {
  size_t slash = dstHost.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : dstHost.substr(0, slash));
  std::string name = slash == std::string::npos ? dstHost : dstHost.substr(slash + 1);
  RemoveLeftovers(dir, name);
  const std::string temp = (dir == "/" ? "" : dir) + "/" + TempPrefix(name) + "XXXXXX";
  std::vector<char> tempName;
  int out = -1;
  // Another copy's clean-up can take the new file away in the moment between
  // its creation and its lock: a file not at its name once locked, or whose
  // lock that clean-up holds, is given up and another one made.
  for (int attempt = 0; out < 0 && attempt < 16; ++attempt) {
    tempName.assign(temp.begin(), temp.end());
    tempName.push_back(0);
    out = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (out < 0) return Fail(detail::ErrorFromErrno(errno, dstHost));
    struct flock inUse = {};
    inUse.l_type = F_RDLCK;
    inUse.l_whence = SEEK_SET;
    // A lock refused because another copy's clean-up holds the file is the
    // same case: that clean-up is about to remove it. (A file system
    // without these locks leaves the file unlocked, as before.)
    const bool taken = ::fcntl(out, F_OFD_SETLK, &inUse) != 0 && (errno == EAGAIN || errno == EACCES);
    if (taken || !AtItsName(out, tempName.data())) {
      ::close(out);
      out = -1;
    }
  }
  if (out < 0) return Fail(ERROR_SHARING_VIOLATION);
  int guard = ::fcntl(out, F_DUPFD_CLOEXEC, 0);
  std::vector<char> chunk(65536);
  bool ok = true;
  int err = 0;
  while (ok) {
    ssize_t n = ::read(in, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ok = false;
      err = errno;
    } else if (n == 0) {
      break;
    } else if (!WriteAll(out, chunk.data(), size_t(n))) {
      ok = false;
      err = errno;
    }
  }
  if (ok && ::fchmod(out, srcStat.st_mode & 07777) != 0) {
    ok = false;
    err = errno;
  }
  if (ok) {
    struct timespec times[2] = {srcStat.st_atim, srcStat.st_mtim};
    (void)::futimens(out, times);  // keeping the date is a courtesy
  }
  // The data reach the disk before the rename, so a power cut leaves the old
  // file or the new one, never an empty one.
  DWORD flushError = ERROR_SUCCESS;
  if (ok && !FlushFileBuffers(out)) {
    ok = false;
    flushError = GetLastError();
  }
  if (::close(out) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && ::rename(tempName.data(), dstHost.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) ::unlink(tempName.data());
  if (guard >= 0) ::close(guard);
  if (!ok) return Fail(flushError != ERROR_SUCCESS ? flushError : detail::ErrorFromErrno(err, dstHost));
  return TRUE;
}

}  // namespace

BOOL posix::CopyFileA(const char* src, const char* dst, BOOL failIfExists) {
  std::string srcHost = HostPath(src ? src : "");
  std::string dstHost = HostPath(dst ? dst : "");
  if (srcHost.empty() || dstHost.empty()) return Fail(ERROR_PATH_NOT_FOUND);
  // Without blocking: a pipe in place of the source must not hang the copy.
  int in = ::open(srcHost.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (in < 0) return Fail(detail::ErrorFromErrno(errno, srcHost));
  struct stat srcStat = {};
  if (::fstat(in, &srcStat) != 0 || !S_ISREG(srcStat.st_mode)) {
    ::close(in);
    return Fail(S_ISDIR(srcStat.st_mode) ? ERROR_ACCESS_DENIED : ERROR_BAD_FILE_TYPE);
  }
  struct stat dstStat;
  if (::lstat(dstHost.c_str(), &dstStat) == 0) {
    DWORD error = 0;
    if (failIfExists) {
      error = ERROR_FILE_EXISTS;
    } else if (S_ISDIR(dstStat.st_mode) || !(dstStat.st_mode & S_IWUSR)) {
      error = ERROR_ACCESS_DENIED;  // a folder, or a read-only target
    } else if (dstStat.st_dev == srcStat.st_dev && dstStat.st_ino == srcStat.st_ino) {
      error = ERROR_SHARING_VIOLATION;  // a file onto itself
    }
    if (error) {
      ::close(in);
      return Fail(error);
    }
  }
  BOOL ok = CopyInto(in, srcStat, dstHost);
  ::close(in);
  return ok;
}

BOOL posix::DeleteFileA(const char* path) {
  std::string host = HostPath(path ? path : "");
  struct stat st;
  if (host.empty()) return Fail(ERROR_PATH_NOT_FOUND);
  if (::lstat(host.c_str(), &st) != 0) return Fail(detail::ErrorFromErrno(errno, host));
  if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR)) return Fail(ERROR_ACCESS_DENIED);
  if (::unlink(host.c_str()) != 0) return Fail(detail::ErrorFromErrno(errno, host));
  return TRUE;
}

BOOL posix::MoveFileA(const char* src, const char* dst) {
  std::string srcHost = HostPath(src ? src : "");
  std::string dstHost = HostPath(dst ? dst : "");
  if (srcHost.empty() || dstHost.empty()) return Fail(ERROR_PATH_NOT_FOUND);
  struct stat st;
  if (::lstat(srcHost.c_str(), &st) != 0) return Fail(detail::ErrorFromErrno(errno, srcHost));
  if (::lstat(dstHost.c_str(), &st) == 0) return Fail(ERROR_ALREADY_EXISTS);
  if (::rename(srcHost.c_str(), dstHost.c_str()) != 0) return Fail(detail::ErrorFromErrno(errno, dstHost));
  return TRUE;
}

BOOL posix::MoveFileExA(const char* src, const char* dst, DWORD flags) {
  if (!(flags & MOVEFILE_REPLACE_EXISTING)) return MoveFileA(src, dst);
  detail::RecentLookups known;
  std::string srcHost = HostPath(src ? src : "");
  std::string dstHost = HostPath(dst ? dst : "");
  if (srcHost.empty() || dstHost.empty()) return Fail(ERROR_PATH_NOT_FOUND);
  struct stat st;
  int error = 0;
  if (!detail::RecentLookups::Lstat(srcHost, &st, &error)) error = ::lstat(srcHost.c_str(), &st) == 0 ? 0 : errno;
  if (error != 0) return Fail(detail::ErrorFromErrno(error, srcHost));
  if (!detail::RecentLookups::Lstat(dstHost, &st, &error)) error = ::lstat(dstHost.c_str(), &st) == 0 ? 0 : errno;
  bool exists = error == 0;
  if (exists && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR))) return Fail(ERROR_ACCESS_DENIED);
  // The file takes the name as given: when the existing one is spelled in
  // other letter case, the new file is put in place under the given name
  // first and the old spelling removed after, so a dst always exists.
  std::string typed = dst;
  std::size_t cut = typed.find_last_of("\\/");
  typed = cut == std::string::npos ? typed.substr(typed.find(':') == 1 ? 2 : 0) : typed.substr(cut + 1);
  std::size_t hostCut = dstHost.find_last_of('/');
  std::string hostName = dstHost.substr(hostCut + 1);
  std::string target = exists && !typed.empty() && hostName != typed ? dstHost.substr(0, hostCut + 1) + typed
                                                                     : dstHost;
  if (::rename(srcHost.c_str(), target.c_str()) != 0) return Fail(detail::ErrorFromErrno(errno, target));
  if (target != dstHost) ::unlink(dstHost.c_str());
  return TRUE;
}

// A free name is linked to the open file at once. A taken one (in any
// letter case) is replaced as MoveFileExA replaces: the file is linked
// beside it first, under a copy's leftover name, and renamed over it; when
// that rename fails the file stays beside the target under that name.
BOOL posix::NameUnnamedFile(HFILE file, const char* target) {
  if (!detail::IsUnnamedHandle(file)) return Fail(ERROR_INVALID_HANDLE);
  const std::string dos = target ? target : "";
  const std::string host = HostPath(dos);
  if (host.empty()) return Fail(ERROR_PATH_NOT_FOUND);
  const std::string self = "/proc/self/fd/" + std::to_string(file);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, host.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  if (errno != EEXIST) return Fail(detail::ErrorFromErrno(errno, host));
  const std::size_t cut = dos.find_last_of('\\');
  if (cut == std::string::npos) return Fail(ERROR_PATH_NOT_FOUND);
  const std::size_t hostCut = host.find_last_of('/');
  const std::string prefix = TempPrefix(dos.substr(cut + 1));
  thread_local std::minstd_rand letters{std::random_device{}()};
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string beside = prefix;
    for (int i = 0; i < 6; ++i) beside += char('a' + letters() % 26);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, (host.substr(0, hostCut + 1) + beside).c_str(),
                 AT_SYMLINK_FOLLOW) != 0) {
      if (errno == EEXIST) continue;
      return Fail(detail::ErrorFromErrno(errno, host));
    }
    return MoveFileExA((dos.substr(0, cut + 1) + beside).c_str(), dos.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  return Fail(ERROR_FILE_EXISTS);
}

}  // namespace platform
