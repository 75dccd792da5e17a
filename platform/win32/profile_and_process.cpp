// Initialisation files, processes and time on Windows.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/windows_api.h"

namespace platform::win32 {

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* file) {
  return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file);
}

UINT WinExec(const char* commandLine, UINT show) { return ::WinExec(commandLine, show); }

// Programs started later inherit the process environment.
void SetChildEnvironment(const std::string& name, const std::string& value) {
  ::SetEnvironmentVariableA(name.c_str(), value.c_str());
}

DWORD GetCurrentProcessId() { return ::GetCurrentProcessId(); }

void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

DWORD GetTickCount() { return ::GetTickCount(); }

void ExitProcess(int code) {
  std::fflush(nullptr);
  ::ExitProcess(static_cast<UINT>(code));
}

}  // namespace platform::win32
