// Helpers shared by the platform's source files; not part of its interface.
#pragma once
#include <string>

#include "platform/ascii_case.h"
#include "platform/types.h"

namespace platform::detail {

// Host mirror of the current directory ("" when it cannot be mapped).
std::string CurrentHostDir();

// Creates a host folder and its missing parents; true when it exists after.
bool MakeHostDirs(const std::string& hostPath);

// Last-error number for a failed host call on `hostPath`: a missing file is 2
// when its folder exists and 3 when the folder is missing too.
DWORD ErrorFromErrno(int err, const std::string& hostPath);

// The C run-time error number (thread-local), numbered as types.h lists them.
void SetCrtErrno(int crtErrno);
int CrtErrnoFromHost(int err);

// DOS wildcard match of one name component (* and ?), ignoring ASCII case.
// "*.*" matches every name, also names without a dot.
bool WildcardMatch(const std::string& pattern, const std::string& name);

using platform::EqualNoCase;

// Hidden and system bits from the extended attribute user.DOSATTRIB.
DWORD ReadDosAttrib(const std::string& hostPath);

// DOS attributes of a host entry (not following a final symbolic link), or
// INVALID_FILE_ATTRIBUTES (0xFFFFFFFF) with errno set when it is missing.
DWORD HostAttributes(const std::string& hostPath);

// True when `file` is an open handle of a file from CreateUnnamedFile.
bool IsUnnamedHandle(HFILE file);

// DeleteFileIfUnused on a host path.
bool DeleteHostFileIfUnused(const std::string& hostPath);

// Stores the hidden/system bits on an open file; false where the file
// system has no user extended attributes.
bool WriteDosAttribFd(int fd, DWORD bits);

}  // namespace platform::detail
