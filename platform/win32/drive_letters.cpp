// Drive letters mapped onto folders, for tools and tests. On Windows a DOS
// device of the session; under Wine, whose file access finds drives only
// through the prefix's dosdevices links, Wine's mount manager makes the link.
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/dos_path.h"
#include "platform/win32/windows_api.h"

#include <winioctl.h>

namespace platform {

namespace {

// Wine's kernel32 gives the host path of a path; no such export on Windows.
using UnixFileName = char*(CDECL*)(const WCHAR*);
UnixFileName WineUnixFileName() {
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  return kernel ? reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name"))) : nullptr;
}

// The mount manager's request to define (or, without a mount point, remove)
// a drive letter, as Wine's mount manager reads it.
struct WineUnixDrive {
  ULONG size;
  ULONG type;
  ULONG fsType;
  ::DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;
  USHORT deviceOffset;
  USHORT labelOffset;
};
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool WineDefineDrive(char letter, const std::string& unixPath) {
  HANDLE manager = ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) return false;
  std::vector<char> request(sizeof(WineUnixDrive) + unixPath.size() + 1, '\0');
  auto* drive = reinterpret_cast<WineUnixDrive*>(request.data());
  drive->size = static_cast<ULONG>(request.size());
  drive->type = DRIVE_FIXED;
  drive->letter = static_cast<WCHAR>(std::tolower(static_cast<unsigned char>(letter)));
  if (!unixPath.empty()) {
    std::memcpy(request.data() + sizeof(WineUnixDrive), unixPath.c_str(), unixPath.size() + 1);
    drive->mountPointOffset = sizeof(WineUnixDrive);
  }
  ::DWORD returned = 0;
  BOOL ok = ::DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<::DWORD>(request.size()), nullptr, 0,
                              &returned, nullptr);
  ::CloseHandle(manager);
  return ok != FALSE;
}

std::string WineHostPath(UnixFileName unixFileName, const std::string& path) {
  int length = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (length <= 0) return "";
  std::vector<WCHAR> wide(static_cast<std::size_t>(length));
  ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
  char* host = unixFileName(wide.data());
  if (host == nullptr) return "";
  std::string result = host;
  ::HeapFree(::GetProcessHeap(), 0, host);
  return result;
}

}  // namespace

bool MapDrive(char letter, const std::string& hostTarget) {
  if (!std::isalpha(static_cast<unsigned char>(letter)) || hostTarget.empty()) return false;
  if (UnixFileName unixFileName = WineUnixFileName()) {
    std::string host = WineHostPath(unixFileName, hostTarget);
    return !host.empty() && WineDefineDrive(letter, host);
  }
  const char device[] = {letter, ':', '\0'};
  char current[MAX_PATH];
  if (::QueryDosDeviceA(device, current, sizeof current) != 0) ::DefineDosDeviceA(DDD_REMOVE_DEFINITION, device, nullptr);
  return ::DefineDosDeviceA(0, device, hostTarget.c_str()) != 0;
}

bool UnmapDrive(char letter) {
  if (!std::isalpha(static_cast<unsigned char>(letter))) return false;
  if (WineUnixFileName()) return WineDefineDrive(letter, "");
  const char device[] = {letter, ':', '\0'};
  return ::DefineDosDeviceA(DDD_REMOVE_DEFINITION, device, nullptr) != 0;
}

}  // namespace platform
