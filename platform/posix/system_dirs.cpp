// The temporary folder, the program's own path, drive geometry, folder test.
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/host.h"
#include "platform/posix/posix_calls.h"

namespace platform {

namespace {
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;

// Copies text into a caller's buffer the way the Get...A calls do: the
// length without the zero when it fits, else the size needed with the zero.
DWORD CopyOut(const std::string& text, char* buffer, DWORD size) {
  if (!buffer || text.size() + 1 > size) return DWORD(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return DWORD(text.size());
}
}  // namespace

DWORD posix::GetTempPathA(DWORD size, char* buffer) {
  static const char kTemp[] = "C:\\windows\\temp\\";
  detail::MakeHostDirs(HostPath(kTemp));
  return CopyOut(kTemp, buffer, size);
}

DWORD posix::GetModuleFileNameA(void* module, char* buffer, DWORD size) {
  if (module != nullptr || !buffer || size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  char exe[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  exe[n] = 0;
  std::string dos = DosPath(exe);
  if (dos.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  if (dos.size() + 1 > size) {  // cut to fit, as the host call does
    std::memcpy(buffer, dos.c_str(), size - 1);
    buffer[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(buffer, dos.c_str(), dos.size() + 1);
  return DWORD(dos.size());
}

BOOL posix::GetDiskFreeSpaceA(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* freeClusters, DWORD* totalClusters) {
  std::string text = root ? root : "";
  bool driveRoot = (text.size() == 2 || (text.size() == 3 && (text[2] == '\\' || text[2] == '/'))) &&
                   ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) && text[1] == ':';
  std::string host = driveRoot ? HostPath(text.substr(0, 2) + "\\") : "";
  struct statvfs vfs;
  if (host.empty() || ::statvfs(host.c_str(), &vfs) != 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  std::uint64_t sector = vfs.f_frsize ? vfs.f_frsize : 512;
  std::uint64_t perCluster = vfs.f_bsize > sector ? vfs.f_bsize / sector : 1;
  std::uint64_t cluster = sector * perCluster;
  std::uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;  // unit of the block counts
  auto clamp = [](std::uint64_t v) { return v > 0xFFFFFFFFu ? DWORD(0xFFFFFFFFu) : DWORD(v); };
  if (sectorsPerCluster) *sectorsPerCluster = clamp(perCluster);
  if (bytesPerSector) *bytesPerSector = clamp(sector);
  if (freeClusters) *freeClusters = clamp(std::uint64_t(vfs.f_bavail) * unit / cluster);
  if (totalClusters) *totalClusters = clamp(std::uint64_t(vfs.f_blocks) * unit / cluster);
  return TRUE;
}

bool posix::DirectoryExists(const char* path) {
  std::string host = HostPath(path ? path : "");
  struct stat st;
  if (host.empty() || ::stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return ::access(host.c_str(), R_OK | X_OK) == 0;
}

}  // namespace platform
