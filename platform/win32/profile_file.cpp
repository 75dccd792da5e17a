// An initialisation file for many look-ups on Windows: the file is read once,
// when the ProfileFile is made, into a private copy in the temporary folder,
// which the system's reader then answers from; later changes of the file (or
// its removal) do not reach the look-ups, as on the other hosts.
#include <memory>
#include <string>

#include "platform/profile.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

// The file's bytes now; "" when it cannot be read (every look-up then gives
// its default, as for a missing file).
std::string Contents(const char* file) {
  std::string text;
  HANDLE handle = ::CreateFileA(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  ::DWORD got = 0;
  while (::ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  ::CloseHandle(handle);
  return text;
}

// A temporary file holding `text`, removed with the last ProfileFile sharing
// it; "" when none can be made.
std::shared_ptr<const void> Snapshot(const std::string& text) {
  char dir[MAX_PATH];
  char name[MAX_PATH];
  if (::GetTempPathA(sizeof dir, dir) == 0 || ::GetTempFileNameA(dir, "ini", 0, name) == 0)
    return std::make_shared<const std::string>();
  HANDLE handle = ::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool whole = handle != INVALID_HANDLE_VALUE;
  if (whole) {
    ::DWORD written = 0;
    whole = ::WriteFile(handle, text.data(), static_cast<::DWORD>(text.size()), &written, nullptr) &&
            written == text.size();
    ::CloseHandle(handle);
  }
  if (!whole) {
    ::DeleteFileA(name);
    return std::make_shared<const std::string>();
  }
  return std::shared_ptr<const std::string>(new std::string(name), [](const std::string* path) {
    ::DeleteFileA(path->c_str());
    delete path;
  });
}

}  // namespace

ProfileFile::ProfileFile(const char* file) : parsed_(Snapshot(file ? Contents(file) : std::string())) {}

DWORD ProfileFile::GetString(const char* section, const char* key, const char* defaultValue, char* buffer,
                             DWORD size) const {
  const std::string& copy = *static_cast<const std::string*>(parsed_.get());
  if (copy.empty()) {
    // No copy: answered as for a missing file.
    return ProfileStringFromText("", section, key, defaultValue, buffer, size);
  }
  return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, copy.c_str());
}

}  // namespace platform
