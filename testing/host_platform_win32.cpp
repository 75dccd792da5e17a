#include "testing/host_platform.h"

#include <malloc.h>
#include <stdlib.h>
#include <windows.h>

#include <stdexcept>

#include "testing/host_files.h"
#include "testing/prefix_test.h"
#include "testing/sandbox.h"
#include "testing/wait_until.h"

namespace orvik_testing {

const bool kPosixHost = false;

void SetEnv(const std::string& name, const std::string& value) {
  // Both the C run-time's copy (getenv) and the process's (children) change.
  ::_putenv_s(name.c_str(), value.c_str());
}

std::string MakeTempFolder() {
  char temp[MAX_PATH];
  DWORD length = ::GetTempPathA(sizeof temp, temp);
  if (length == 0 || length >= sizeof temp) throw std::runtime_error("GetTempPathA");
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    std::string folder = std::string(temp) + "orvik_test_" + std::to_string(::GetCurrentProcessId()) + "_" +
                         std::to_string(::GetTickCount() + attempt);
    if (::CreateDirectoryA(folder.c_str(), nullptr)) {
      char full[MAX_PATH];
      // The long form: a short name (ROOT~1) would not match what the
      // programs print of the same folder.
      DWORD got = ::GetLongPathNameA(folder.c_str(), full, sizeof full);
      return got > 0 && got < sizeof full ? std::string(full) : folder;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw std::runtime_error("cannot make a folder under the temporary folder");
}

std::string CurrentFolder() {
  char cwd[MAX_PATH];
  DWORD length = ::GetCurrentDirectoryA(sizeof cwd, cwd);
  return length > 0 && length < sizeof cwd ? cwd : "";
}

bool ChangeFolder(const std::string& hostPath) { return ::SetCurrentDirectoryA(hostPath.c_str()) != 0; }

void SleepMilliseconds(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }

std::string ProgramPath(const std::string& name) { return BinDir() + "/" + name + ".exe"; }

std::string ProgramText(const std::string& output) {
  std::string text;
  for (std::size_t i = 0; i < output.size(); ++i)
    if (output[i] != '\r' || i + 1 == output.size() || output[i + 1] != '\n') text += output[i];
  return text;
}
std::size_t HeapBlockSize(void* block) { return ::_msize(block); }

int RunInCopyOfThisProcess(const std::function<int()>&) { return -1; }

bool MakeSymlink(const std::string&, const std::string&) { return false; }
bool MakeFifo(const std::string&) { return false; }
std::string ExtendedAttribute(const std::string&, const std::string&) { return ""; }

FileInUse::FileInUse(const std::string& hostPath)
    : handle_(::CreateFileA(hostPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {
  if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + hostPath);
}

FileInUse::~FileInUse() { ::CloseHandle(handle_); }

// The platform keeps nothing of a file here (the system reads it on each
// call): a file is settled once it is there.
void WaitUntilSettled(const std::string& path) {
  ASSERT_TRUE(WaitUntil([&] { return Exists(path); })) << path << " never appeared";
}

}  // namespace orvik_testing
