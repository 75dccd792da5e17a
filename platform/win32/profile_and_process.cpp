// Initialisation files, processes and time on Windows.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/transcript.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* file) {
  return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file);
}

// As the host's WinExec, but the child gets this program's standard
// handles: a console program whose input is a pipe leaves the lines it
// has not read to the program it starts.
UINT WinExec(const char* commandLine, UINT show) {
  std::string line = commandLine ? commandLine : "";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  HANDLE standard[] = {::GetStdHandle(STD_INPUT_HANDLE), ::GetStdHandle(STD_OUTPUT_HANDLE),
                       ::GetStdHandle(STD_ERROR_HANDLE)};
  bool inherit = true;
  for (HANDLE handle : standard) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
        !::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT))
      inherit = false;
  }
  if (inherit) {
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = standard[0];
    startup.hStdOutput = standard[1];
    startup.hStdError = standard[2];
  }
  // The child learns who started it, as on the other hosts.
  ::SetEnvironmentVariableA("ORVIK_PARENT_PID", std::to_string(::GetCurrentProcessId()).c_str());
  PROCESS_INFORMATION process{};
  UINT result = 33;
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, inherit ? TRUE : FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    // WinExec's own results: 2 file, 3 path not found, 11 not a program.
    switch (::GetLastError()) {
      case ERROR_FILE_NOT_FOUND: result = 2; break;
      case ERROR_PATH_NOT_FOUND: result = 3; break;
      case ERROR_BAD_EXE_FORMAT: result = 11; break;
      default: result = 0; break;
    }
  } else {
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  TranscriptLine("exec " + TranscriptQuote(commandLine ? commandLine : "") + " " + std::to_string(result));
  return result;
}

// Programs started later inherit the process environment.
void SetChildEnvironment(const std::string& name, const std::string& value) {
  ::SetEnvironmentVariableA(name.c_str(), value.c_str());
}

DWORD GetCurrentProcessId() { return ::GetCurrentProcessId(); }

// Until the tick count shows the time gone by: its steps can lag behind
// the system's own sleep (Wine's by up to one of them).
void Sleep(DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  ::Sleep(milliseconds);
  while (::GetTickCount() - start < milliseconds) ::Sleep(1);
}

DWORD GetTickCount() { return ::GetTickCount(); }

void ExitProcess(int code) {
  std::fflush(nullptr);
  ::ExitProcess(static_cast<UINT>(code));
}

}  // namespace platform::win32
