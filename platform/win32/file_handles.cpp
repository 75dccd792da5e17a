// Files by handle on Windows: the host's file handles and share modes.
// Opening goes through CreateFileA, which takes paths of any length and the
// open modes the platform adds (a new file only, no link followed); the
// handle lands in an HFILE as OpenFile's does, so _lread, _lwrite, _llseek
// and _lclose are the host's own.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/win32/windows_api.h"

namespace platform::win32 {

namespace {

constexpr UINT kAccessMask = 0x0003;
constexpr UINT kShareMask = 0x0070;
constexpr UINT kPlatformNoFollow = 0x10000;
constexpr UINT kPlatformCreateNew = 0x20000;

DWORD DesiredAccess(UINT style) {
  switch (style & kAccessMask) {
    case OF_WRITE: return GENERIC_WRITE;
    case OF_READWRITE: return GENERIC_READ | GENERIC_WRITE;
    default: return GENERIC_READ;
  }
}

// The host's meaning of the share bits: compatibility mode and deny-none
// let everyone in, deny-write lets others read, exclusive nobody.
DWORD ShareMode(UINT style) {
  switch (style & kShareMask) {
    case OF_SHARE_EXCLUSIVE: return 0;
    case OF_SHARE_DENY_WRITE: return FILE_SHARE_READ;
    case OF_SHARE_DENY_READ: return FILE_SHARE_WRITE;
    default: return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  }
}

// Keeps only regular files: a device or a pipe fails with 222.
HANDLE RegularOnly(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return handle;
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    ::CloseHandle(handle);
    ::SetLastError(ERROR_BAD_FILE_TYPE);
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

// A symbolic link (a reparse point) where none may be: 1920.
HANDLE NotALink(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return handle;
  BY_HANDLE_FILE_INFORMATION info;
  if (::GetFileInformationByHandle(handle, &info) &&
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    ::CloseHandle(handle);
    ::SetLastError(ERROR_CANT_ACCESS_FILE);
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

void Report(OFSTRUCT* of, const char* path, bool ok) {
  if (of == nullptr) return;
  of->cBytes = sizeof(OFSTRUCT);
  of->fFixedDisk = 1;
  DWORD error = ::GetLastError();
  of->nErrCode = ok ? 0 : static_cast<WORD>(error);
  // The full path, as the system's own OpenFile gives it.
  char full[MAX_PATH];
  DWORD length = ::GetFullPathNameA(path, sizeof full, full, nullptr);
  std::strncpy(of->szPathName, length > 0 && length < sizeof full ? full : path, sizeof of->szPathName - 1);
  of->szPathName[sizeof of->szPathName - 1] = '\0';
  ::SetLastError(error);
}

}  // namespace

HFILE OpenFile(const char* path, OFSTRUCT* of, UINT style) {
  DWORD disposition = OPEN_EXISTING;
  if (style & OF_CREATE) disposition = (style & kPlatformCreateNew) ? CREATE_NEW : CREATE_ALWAYS;
  DWORD flags = FILE_ATTRIBUTE_NORMAL;
  if ((style & kPlatformNoFollow) || (style & kPlatformCreateNew)) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  HANDLE handle = ::CreateFileA(path, (style & OF_EXIST) ? GENERIC_READ : DesiredAccess(style),
                                ShareMode(style), nullptr, disposition, flags, nullptr);
  if (style & kPlatformNoFollow) handle = NotALink(handle);
  handle = RegularOnly(handle);
  Report(of, path, handle != INVALID_HANDLE_VALUE);
  if (handle == INVALID_HANDLE_VALUE) return HFILE_ERROR;
  if (style & OF_EXIST) {  // only asks whether the file is there
    ::CloseHandle(handle);
    return 1;
  }
  return ToHfile(handle);
}

HFILE _lcreat(const char* path, int attribute) {
  DWORD attributes = attribute == 0 ? FILE_ATTRIBUTE_NORMAL : static_cast<DWORD>(attribute);
  HANDLE handle = ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, CREATE_ALWAYS, attributes, nullptr);
  handle = RegularOnly(handle);
  return handle == INVALID_HANDLE_VALUE ? HFILE_ERROR : ToHfile(handle);
}

HFILE CreateNewFile(const char* path) {
  HANDLE handle = ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                nullptr);
  return handle == INVALID_HANDLE_VALUE ? HFILE_ERROR : ToHfile(handle);
}

// Exclusive by its share mode: nobody else opens the file while the handle
// lives, and the host drops it when the process ends.
// Shared for deletion only: the holder removes the file while it holds it
// (it goes with the last handle), everyone else is refused with 32.
HFILE OpenLockFile(const char* path) {
  HANDLE handle = ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  handle = NotALink(handle);
  if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_CANT_ACCESS_FILE) {
    ::SetLastError(ERROR_ACCESS_DENIED);
  }
  handle = RegularOnly(handle);
  return handle == INVALID_HANDLE_VALUE ? HFILE_ERROR : ToHfile(handle);
}

// Deleting through a handle opened without sharing fails with 32 while
// anyone has the file open, and keeps others out while it goes.
HFILE OpenGuard(HFILE, const char* path) {
  HANDLE handle = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  handle = RegularOnly(NotALink(handle));
  return handle == INVALID_HANDLE_VALUE ? HFILE_ERROR : ToHfile(handle);
}

HFILE CreateUnnamedFile(const char*) {
  ::SetLastError(ERROR_NOT_SUPPORTED);
  return HFILE_ERROR;
}

BOOL NameUnnamedFile(HFILE, const char*) {
  ::SetLastError(ERROR_NOT_SUPPORTED);
  return 0;
}

BOOL DeleteFileIfUnused(const char* path) {
  HANDLE handle = ::CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  handle = NotALink(handle);
  handle = RegularOnly(handle);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info;
  if (::GetFileInformationByHandle(handle, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
    ::CloseHandle(handle);
    ::SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  BOOL deleted = ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition);
  DWORD error = ::GetLastError();
  ::CloseHandle(handle);
  if (!deleted) ::SetLastError(error);
  return deleted ? 1 : 0;
}

UINT _lread(HFILE file, void* buffer, UINT count) { return ::_lread(file, buffer, count); }

// Writing nothing leaves the file as it is: the host's _lwrite would cut
// the file off at the current position instead.
UINT _lwrite(HFILE file, const void* buffer, UINT count) {
  if (count == 0) return 0;
  return ::_lwrite(file, static_cast<LPCCH>(buffer), count);
}

LONG _llseek(HFILE file, LONG offset, int origin) { return ::_llseek(file, offset, origin); }

HFILE _lclose(HFILE file) { return ::_lclose(file); }

DWORD GetFileSize(HFILE file, DWORD* high) {
  ::DWORD hostHigh = 0;
  ::DWORD low = ::GetFileSize(ToHandle(file), &hostHigh);
  if (high != nullptr) *high = hostHigh;
  return low;
}

int CrtDescriptor(HFILE file) {
  if (file == HFILE_ERROR) return -1;
  return ::_open_osfhandle(static_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
}

BOOL ReleaseHandle(HFILE file) { return file != HFILE_ERROR ? 1 : 0; }

BOOL FlushFileBuffers(HFILE file) { return ::FlushFileBuffers(ToHandle(file)) ? 1 : 0; }

BOOL FlushVolumeBuffers(const char* path) {
  char root[MAX_PATH];
  char* name = nullptr;
  if (::GetFullPathNameA(path, sizeof root, root, &name) == 0) return 0;
  char volume[MAX_PATH];
  if (!::GetVolumePathNameA(root, volume, sizeof volume)) return 0;
  // "C:\" becomes "\\.\C:", the volume as a device.
  std::string device = "\\\\.\\" + std::string(volume);
  if (!device.empty() && device.back() == '\\') device.pop_back();
  HANDLE handle = ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  BOOL flushed = ::FlushFileBuffers(handle);
  DWORD error = ::GetLastError();
  ::CloseHandle(handle);
  if (!flushed) ::SetLastError(error);
  return flushed ? 1 : 0;
}

// Appending writers of one file, in any thread or process, take turns on a
// lock of one byte far past any data: Windows appends at the end at once
// with FILE_APPEND_DATA alone, but Wine seeks there first, and two writers
// could put their lines at the same place. (Locks on Windows keep readers
// off the bytes they cover, so the lock covers none that a reader reads.)
bool AppendToFile(const char* path, const std::string& text) {
  HANDLE handle = ::CreateFileA(path, FILE_APPEND_DATA | FILE_READ_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  OVERLAPPED turn{};
  turn.Offset = 0xFFFFFFFE;
  turn.OffsetHigh = 0x7FFFFFFF;
  const bool locked = ::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn);
  ::DWORD written = 0;
  bool ok = ::WriteFile(handle, text.data(), static_cast<::DWORD>(text.size()), &written, nullptr) &&
            written == text.size();
  if (locked) ::UnlockFileEx(handle, 0, 1, 0, &turn);
  ::CloseHandle(handle);
  return ok;
}

DWORD GetLastError() { return ::GetLastError(); }

void SetLastError(DWORD error) { ::SetLastError(error); }

DWORD FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                     char* buffer, DWORD size, void* arguments) {
  if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer || size == 0) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // Only text from the system is asked for: no inserts, no allocation. It
  // is fetched whole and cut to the caller's buffer, and a number the
  // system has no text for still gets one, as on the other hosts.
  char text[1024];
  DWORD length = ::FormatMessageA(flags | FORMAT_MESSAGE_IGNORE_INSERTS, source, messageId, languageId, text,
                                  sizeof text, static_cast<va_list*>(arguments));
  if (length == 0) length = static_cast<DWORD>(std::snprintf(text, sizeof text, "Unknown error %lu.",
                                                             static_cast<unsigned long>(messageId)));
  // The host ends its texts in CR LF; callers put them into sentences.
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) --length;
  if (length > size - 1) length = size - 1;
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return length;
}

}  // namespace platform::win32
