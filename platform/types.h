// Basic host types with the widths the system's records rely on.
#pragma once
#include <cstdint>

namespace platform {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using BOOL = int;
using HFILE = int;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr HFILE HFILE_ERROR = -1;
constexpr int MAX_PATH = 260;

// Error numbers reported by GetLastError, as the host defines them.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_WRITE_PROTECT = 19;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_LOCK_VIOLATION = 33;
constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_NETWORK_BUSY = 54;
constexpr DWORD ERROR_NETWORK_ACCESS_DENIED = 65;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_BAD_FILE_TYPE = 222;      // not a regular file: a device, a pipe
constexpr DWORD ERROR_CANT_ACCESS_FILE = 1920;  // a symbolic link where none may be

// Error numbers of the C run-time (errno) as the host's C library numbers them.
constexpr int CRT_ENOENT = 2;
constexpr int CRT_EIO = 5;
constexpr int CRT_EACCES = 13;
constexpr int CRT_EEXIST = 17;
constexpr int CRT_ENOTDIR = 20;
constexpr int CRT_EINVAL = 22;
constexpr int CRT_ENOSPC = 28;
constexpr int CRT_ENOTEMPTY = 41;

}  // namespace platform
