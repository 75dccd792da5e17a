// The host calls on Windows: each function is one platform call carried out
// by the Win32 API itself, with the platform's types and the meaning its
// headers give it. Paths are the machine's own (no prefix, no drive
// mapping). The header is free of windows.h, so none of its macros reach
// the code that includes it.
#pragma once
#include <string>

#include "platform/files.h"
#include "platform/flush.h"
#include "platform/hfile.h"
#include "platform/process.h"
#include "platform/types.h"

namespace platform::win32 {

// Files by handle. A handle is the host's own file handle, as OpenFile
// gives it; share modes are the host's share modes.
HFILE OpenFile(const char* path, OFSTRUCT* of, UINT style);
HFILE _lcreat(const char* path, int attribute);
HFILE CreateNewFile(const char* path);
HFILE OpenLockFile(const char* path);
// Any open handle keeps DeleteFileIfUnused away (it opens with no sharing);
// this one lets writers and renames through.
HFILE OpenGuard(HFILE file, const char* path);
// The host keeps no file without a name: both fail with error 50, and the
// caller writes a named file beside its target.
HFILE CreateUnnamedFile(const char* target);
BOOL NameUnnamedFile(HFILE file, const char* target);
BOOL DeleteFileIfUnused(const char* path);
UINT _lread(HFILE file, void* buffer, UINT count);
UINT _lwrite(HFILE file, const void* buffer, UINT count);
LONG _llseek(HFILE file, LONG offset, int origin);
HFILE _lclose(HFILE file);
DWORD GetFileSize(HFILE file, DWORD* high);
// A C run-time descriptor made over the handle (it then owns the handle);
// -1 when there is none. ReleaseHandle has nothing to forget: TRUE.
int CrtDescriptor(HFILE file);
BOOL ReleaseHandle(HFILE file);
BOOL FlushFileBuffers(HFILE file);
// Flushes the volume that holds `path` through a handle on the volume
// itself, which the host grants administrators only; others get FALSE with
// error 5 (1 where the volume cannot be flushed that way) and flush file by
// file instead.
BOOL FlushVolumeBuffers(const char* path);
// False, with ERROR_WRITE_FAULT, when the tests' flush hook fails this
// flush (platform/flush.h); the backend asks before every flush.
bool FlushAllowed(FlushScope scope, const std::string& path);
DWORD GetLastError();
void SetLastError(DWORD error);
DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                     char* buffer, DWORD size, void* arguments);

// Files and folders.
bool FindFile(const char* path);
FindHandle FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(FindHandle handle, WIN32_FIND_DATAA* data);
BOOL FindClose(FindHandle handle);
DWORD GetFileAttributesA(const char* path);
BOOL SetFileAttributesA(const char* path, DWORD attributes);
BOOL CopyFileA(const char* src, const char* dst, BOOL failIfExists);
BOOL DeleteFileA(const char* path);
BOOL MoveFileA(const char* src, const char* dst);
BOOL MoveFileExA(const char* src, const char* dst, DWORD flags);
BOOL CreateDirectoryA(const char* path);
BOOL RemoveDirectoryA(const char* path);
DWORD GetTempPathA(DWORD size, char* buffer);
DWORD GetModuleFileNameA(void* module, char* buffer, DWORD size);
BOOL GetDiskFreeSpaceA(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* freeClusters, DWORD* totalClusters);
bool DirectoryExists(const char* path);
DWORD GetCurrentDirectoryA(DWORD size, char* buffer);
BOOL SetCurrentDirectoryA(const char* path);
// The C run-time's current directory calls (nullptr / -1 on failure).
char* _getcwd(char* buf, int size);
int _chdir(const char* path);

// C run-time calls (0 or -1, with the C error number in CrtErrno()).
int _chmod(const char* path, int pmode);
int _mkdir(const char* path);
int _rmdir(const char* path);
int _access(const char* path, int mode);
int CrtErrno();
void _set_errno(int crtErrno);

// Appends `text` to the file at `path` (created when missing) with one
// write on a handle opened for appending only, so that lines of several
// threads and programs never mix. False when it cannot.
bool AppendToFile(const char* path, const std::string& text);

// Initialisation files.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* file);

// Processes and time. WinExec starts the host's own programs: the bare name
// write.exe is the host's text viewer.
UINT WinExec(const char* commandLine, UINT show);
void SetChildEnvironment(const std::string& name, const std::string& value);
DWORD GetCurrentProcessId();
void Sleep(DWORD milliseconds);
DWORD GetTickCount();
[[noreturn]] void ExitProcess(int code);

}  // namespace platform::win32
