// ov_clean <staging folder>: started by the installer as it ends; waits for
// the installer to be gone, then removes its staging folder. Refuses any
// folder that is not a staging folder, so a wrong argument cannot remove
// anything else.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/process.h"
#include "tools/ov_clean/staging_removal.h"

// After the platform's headers: windows.h defines macros under names they
// declare.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <tlhelp32.h>
#else
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
// Waits (about 60 seconds at most) until the process that started us has
// ended: the host keeps the id of the parent in our process entry.
void WaitForParentToEnd() {
  DWORD self = ::GetCurrentProcessId();
  DWORD parent = 0;
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
  }
  ::CloseHandle(snapshot);
  if (parent == 0) return;
  // A parent already gone cannot be opened (or its id is taken by another
  // process, whose end we then wait for at most as long).
  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, parent);
  if (process == nullptr) return;
  ::WaitForSingleObject(process, 60000);
  ::CloseHandle(process);
}
#else
// Waits (about 60 seconds at most) until the process that started us has
// ended, seen as our parent changing. WinExec names the starter in
// ORVIK_PARENT_PID: it may have ended (and we been adopted) before we looked.
void WaitForParentToEnd() {
  pid_t parent = ::getppid();
  if (const char* starter = std::getenv("ORVIK_PARENT_PID")) {
    long pid = std::strtol(starter, nullptr, 10);
    if (pid > 0) parent = pid_t(pid);
  }
  if (parent <= 1) return;
#ifdef SYS_pidfd_open
  // A descriptor of the parent becomes readable the moment it ends. It is
  // the parent's only while the parent is still ours (an id freed and taken
  // again belongs to a process that is not).
  const int pidfd = int(::syscall(SYS_pidfd_open, parent, 0));
  if (pidfd >= 0) {
    if (::getppid() == parent) {
      struct pollfd ended = {pidfd, POLLIN, 0};
      while (::poll(&ended, 1, 60000) < 0 && errno == EINTR) {
      }
    }
    ::close(pidfd);
    return;
  }
#endif
  for (int i = 0; i < 6000 && ::getppid() == parent; ++i) platform::Sleep(10);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  std::string folder = platform::CommandLineFromArgs(argc, argv);
  if (folder.empty()) {
    std::fprintf(stderr, "usage: ov_clean <staging folder>\n");
    return 2;
  }
  if (!ov_clean::IsStagingFolder(folder)) {
    std::fprintf(stderr, "ov_clean: refusing to remove %s: not a %s folder\n", folder.c_str(),
                 ov_clean::kStagingName);
    return 2;
  }
  WaitForParentToEnd();
  // What the installer left running may hold the folder a little longer
  // (on Windows a console host keeps it as its working folder): try again
  // for up to ten seconds.
  bool removed = ov_clean::RemoveStagingFolder(folder);
  for (int i = 0; i < 100 && !removed; ++i) {
    platform::Sleep(100);
    removed = ov_clean::RemoveStagingFolder(folder);
  }
  if (!removed) {
    std::fprintf(stderr, "ov_clean: could not remove all of %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
