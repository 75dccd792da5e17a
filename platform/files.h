// Files and folders on DOS paths.
#pragma once
#include <string>

#include "platform/types.h"

namespace platform {

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;  // a symbolic link: never followed
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// True when at least one directory entry matches `path` (a file or a folder);
// the last component may hold the wildcards * and ?.
bool FindFile(const char* path);

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes = 0;
  DWORD nFileSizeHigh = 0;
  DWORD nFileSizeLow = 0;
  char cFileName[MAX_PATH] = {};
};
using FindHandle = void*;
inline FindHandle const INVALID_HANDLE_VALUE = reinterpret_cast<FindHandle>(-1);

// Folder listing. The pattern's last component may hold wildcards ("*.*" is
// every entry, "." and ".." included). A symbolic link is listed as a plain
// entry with FILE_ATTRIBUTE_REPARSE_POINT, never as a folder.
FindHandle FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(FindHandle handle, WIN32_FIND_DATAA* data);
BOOL FindClose(FindHandle handle);

// Attributes: read-only is the absence of the owner write bit; the system
// and hidden bits live in the extended attribute user.DOSATTRIB.
DWORD GetFileAttributesA(const char* path);
BOOL SetFileAttributesA(const char* path, DWORD attributes);

// Copies src to dst through a file written beside dst, flushed to the disk
// and renamed over it; keeps the mode bits. Fails (error 80) when failIfExists and dst exists,
// and (error 5) when dst exists read-only.
BOOL CopyFileA(const char* src, const char* dst, BOOL failIfExists);
// Deletes a file (not a folder); fails with error 5 on a read-only file.
BOOL DeleteFileA(const char* path);
// Renames/moves within one drive; fails (error 183) when dst exists.
BOOL MoveFileA(const char* src, const char* dst);
// With MOVEFILE_REPLACE_EXISTING an existing dst (not read-only, not a
// folder) is replaced in one step: there is no moment without a dst.
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
BOOL MoveFileExA(const char* src, const char* dst, DWORD flags);

// C run-time calls. They return 0 or -1 and set the C error number that
// CrtErrno() reports (numbered as the host's C library: 2, 13, 17, 41 ...).
// The Windows C library's <sys/stat.h> defines the two modes as macros of
// the same values; these constants take their place in whatever includes
// this header after it.
#undef _S_IREAD
#undef _S_IWRITE
constexpr int _S_IREAD = 0x0100;
constexpr int _S_IWRITE = 0x0080;
int _chmod(const char* path, int pmode);
int _mkdir(const char* path);
int _rmdir(const char* path);
int _access(const char* path, int mode);  // mode 0 existence, 2 write, 4 read, 6 both
int CrtErrno();
// Sets the C error number that CrtErrno() reports.
void _set_errno(int crtErrno);
const char* CrtStrError(int crtErrno);

// C:\windows\temp\ (created when missing), with its trailing backslash.
DWORD GetTempPathA(DWORD size, char* buffer);
// The running program's own path in DOS form (module must be nullptr).
DWORD GetModuleFileNameA(void* module, char* buffer, DWORD size);
// Geometry of the drive whose root is "X:\"; fails for UNC roots and
// unmapped drives. Only bytesPerSector is meaningful on this host.
BOOL GetDiskFreeSpaceA(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* freeClusters, DWORD* totalClusters);

// True when the path names an existing, accessible directory (with or
// without a trailing separator).
bool DirectoryExists(const char* path);

}  // namespace platform
