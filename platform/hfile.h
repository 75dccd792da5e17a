// Record-level file access by handle, with share modes as whole-file locks.
#pragma once
#include "platform/types.h"

namespace platform {

constexpr UINT OF_READ = 0x0000;
constexpr UINT OF_WRITE = 0x0001;
constexpr UINT OF_READWRITE = 0x0002;
constexpr UINT OF_SHARE_EXCLUSIVE = 0x0010;
constexpr UINT OF_SHARE_DENY_WRITE = 0x0020;
constexpr UINT OF_SHARE_DENY_NONE = 0x0040;
constexpr UINT OF_CREATE = 0x1000;
constexpr UINT OF_EXIST = 0x4000;
// Extensions beyond the host's own bits, for files others can plant links
// in place of:
// OF_NOFOLLOW: a path whose last component is a symbolic link is refused
// (error 1920) instead of being followed.
constexpr UINT OF_NOFOLLOW = 0x10000;
// OF_CREATE_NEW (with OF_CREATE): only a new file is made; any entry of that
// name, a link or a dangling link included, fails with error 80. Nothing is
// followed and nothing existing is truncated.
constexpr UINT OF_CREATE_NEW = 0x20000;

struct OFSTRUCT {
  BYTE cBytes = sizeof(OFSTRUCT);
  BYTE fFixedDisk = 0;
  WORD nErrCode = 0;
  char szPathName[128] = {};
};

// Opens a file. Only regular files open: a device or a pipe fails with error
// 222, a folder with 5, without blocking. OF_SHARE_DENY_WRITE takes a
// whole-file open-file-description lock: shared with read access, exclusive
// with read-write access. A lock held elsewhere fails at once with error 32
// (no blocking wait). A lock is only kept while the path still names the
// file locked (else error 32, as a busy file). Failures set GetLastError and
// of->nErrCode (2, 3, 5, 32 ...).
HFILE OpenFile(const char* path, OFSTRUCT* of, UINT style);
// Creates or truncates a regular file for writing (attribute 0: normal).
HFILE _lcreat(const char* path, int attribute);
// Deletes a file that nobody uses: a writable regular file (never a link,
// error 1920, another kind, error 222, or a read-only file, error 5) on
// which no open file holds a lock (else error 32). It holds the exclusive
// lock itself while it deletes, so a file that its writer keeps locked, on
// this machine or on a shared folder, is never taken away from it.
BOOL DeleteFileIfUnused(const char* path);
// Takes an open file out of the handle table without closing it: its host
// descriptor now belongs to a library that reads and closes it itself
// (zlib's gzdopen). FALSE when `file` is no open handle.
BOOL ReleaseHandle(HFILE file);
// The C run-time descriptor of an open file, for a library that reads and
// closes it through one (zlib's gzdopen); -1 when `file` is no open handle.
// Where the handle is not itself a descriptor (Windows), the descriptor is
// made over it and closing the descriptor closes the handle. Hand the file
// over with ReleaseHandle once the library has taken the descriptor.
int CrtDescriptor(HFILE file);
// Creates `path` as a new empty file open for reading and writing; never
// opens or truncates one that exists, nor follows a symbolic link there
// (error 80 for either). Of several programs creating the same name at once,
// exactly one succeeds.
HFILE CreateNewFile(const char* path);
// A guard on the file that `file`, this program's own handle open for
// writing, holds under `path`: until the guard is closed, and after `file`
// is, DeleteFileIfUnused leaves the file alone, while the writer goes on
// writing and the file may still be renamed. HFILE_ERROR (error 32) when the
// file was removed before it could be guarded. On Windows the guard is a
// second handle opened on `path` (never through a symbolic link, error
// 1920), as a deny-write open is refused beside a writer; on POSIX it holds
// the writer's own open file, without opening it by name again.
HFILE OpenGuard(HFILE file, const char* path);
// Creates a new file with no name yet in the folder of `target` (a DOS path
// of a file that does not exist), open for reading and writing: nobody else
// sees it, and it is gone with its last handle unless NameUnnamedFile gives
// it a name. A guard (OpenGuard) is a second handle on it. HFILE_ERROR when
// the host or the folder's file system makes no such files (Windows, network
// file systems: error 50, or the error of the folder); the caller then
// writes a named file beside the target instead.
HFILE CreateUnnamedFile(const char* target);
// Gives the file of `file` (a handle from CreateUnnamedFile, or a guard of
// one) the name `target`, replacing a file there as MoveFileExA with
// MOVEFILE_REPLACE_EXISTING does: a free name is linked to it at once, a
// taken one is replaced by a rename from a name beside it.
BOOL NameUnnamedFile(HFILE file, const char* target);
// Opens `path` as a lock file (creating it when missing, never truncating
// it, never following a symbolic link: error 5) and holds an exclusive share
// lock on it until the handle is closed or the process ends. The lock is on
// the file the path names when the call returns: a file removed or replaced
// while it was being locked, like a file locked elsewhere, fails with 32.
// The holder may delete the file before closing the handle.
HFILE OpenLockFile(const char* path);
// Reads up to count bytes; returns the count read, or (UINT)HFILE_ERROR.
UINT _lread(HFILE file, void* buffer, UINT count);
// Writes count bytes; returns the count written, or (UINT)HFILE_ERROR.
UINT _lwrite(HFILE file, const void* buffer, UINT count);
// origin 0 start, 1 current, 2 end; returns the new position or HFILE_ERROR.
LONG _llseek(HFILE file, LONG offset, int origin);
HFILE _lclose(HFILE file);
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
DWORD GetFileSize(HFILE file, DWORD* high);

DWORD GetLastError();
void SetLastError(DWORD error);
// Readable text for an error number (FormatMessageA with
// FORMAT_MESSAGE_FROM_SYSTEM); returns the count stored.
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;
DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                     char* buffer, DWORD size, void* arguments);


}  // namespace platform
