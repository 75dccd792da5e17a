// The platform's calls around the host calls, on Windows: paths are the
// machine's own, so a DOS path is its host path; there is no prefix.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/win32/windows_api.h"

namespace platform {

std::string PrefixDir() { return ""; }

void ResetPlatformForTesting() {}

std::string HostPath(const std::string& dosPath) { return dosPath; }

std::string DosPath(const std::string& hostPath) { return hostPath; }

std::string FullDosPath(const std::string& dosPath) {
  if (dosPath.empty()) return "";
  char full[MAX_PATH];
  char* name = nullptr;
  DWORD length = ::GetFullPathNameA(dosPath.c_str(), sizeof full, full, &name);
  if (length == 0 || length >= sizeof full) return "";
  std::string result = full;
  // A folder keeps no trailing backslash, but a drive's root does ("C:\").
  while (result.size() > 3 && result.back() == '\\') result.pop_back();
  return result;
}

// Shares are the network's own on Windows.
bool MapShare(const std::string&, const std::string&, const std::string&) { return false; }

const char* CrtStrError(int crtErrno) { return std::strerror(crtErrno); }

std::string CommandLineFromArgs(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i] ? argv[i] : "";
  }
  return line;
}

void SetChildEnvironment(const std::string& name, const std::string& value) {
  win32::SetChildEnvironment(name, value);
}

void ExitProcess(int code) { win32::ExitProcess(code); }

// The host parses initialisation files itself: the text goes through a
// temporary file.
DWORD ProfileStringFromText(const std::string& contents, const char* section, const char* key,
                            const char* defaultValue, char* buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  char dir[MAX_PATH];
  char file[MAX_PATH];
  if (::GetTempPathA(sizeof dir, dir) == 0 || ::GetTempFileNameA(dir, "ini", 0, file) == 0) {
    buffer[0] = '\0';
    return 0;
  }
  if (std::FILE* out = std::fopen(file, "wb")) {
    std::fwrite(contents.data(), 1, contents.size(), out);
    std::fclose(out);
  }
  DWORD stored = ::GetPrivateProfileStringA(section, key, defaultValue ? defaultValue : "", buffer, size, file);
  ::DeleteFileA(file);
  return stored;
}

}  // namespace platform
