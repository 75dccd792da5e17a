// A backend for tests that wraps the current one, counts the host calls of
// each kind and makes a chosen one fail: the n-th call of a kind returns its
// failure value with the chosen last error (and C error number), and does
// nothing else.
#pragma once
#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/host_backend.h"

namespace platform {

enum class HostCallKind {
  kOpen,           // OpenFile (OF_EXIST too), _lcreat, CreateNewFile, OpenGuard,
                   // CreateUnnamedFile
  kRead,           // _lread
  kWrite,          // _lwrite
  kSeek,           // _llseek
  kClose,          // _lclose
  kMove,           // MoveFileA, MoveFileExA, NameUnnamedFile
  kCopy,           // CopyFileA
  kCreateFolder,   // _mkdir
  kRemoveFolder,   // _rmdir
  kDeleteFile,     // DeleteFileA, DeleteFileIfUnused
  kLock,           // OpenLockFile
  kProfileRead,    // GetPrivateProfileStringA: the default value comes back
  kProcessStart,   // WinExec: the error (below 32) comes back
  kFlush,          // FlushFileBuffers, FlushVolumeBuffers
};
constexpr int kHostCallKinds = 14;
const char* HostCallKindName(HostCallKind kind);

// Installs itself over the current backend when made and puts that one back
// when destroyed; make it before any thread that uses the platform starts
// and destroy it after they have ended. Counting and failing are safe from
// any thread.
class FaultInjector final : public ForwardingBackend {
 public:
  FaultInjector();
  ~FaultInjector() override;
  FaultInjector(const FaultInjector&) = delete;
  FaultInjector& operator=(const FaultInjector&) = delete;

  // The n-th call of `kind` from now on (1 the next) fails with `error`.
  void FailAt(HostCallKind kind, unsigned n, DWORD error);
  // True once the chosen call has failed.
  bool Fired() const { return fired_.load(); }
  // Calls of `kind` made since the injector was made.
  unsigned Count(HostCallKind kind) const { return counts_[int(kind)].load(); }

  // Sees every write before it happens and returns how many of its bytes to
  // store (less than the count for a short write, which the call reports).
  using WriteFilter = std::function<UINT(HFILE file, UINT count)>;
  void FilterWrites(WriteFilter filter);

  HFILE OpenFile(const char* path, OFSTRUCT* of, UINT style) override;
  HFILE _lcreat(const char* path, int attribute) override;
  HFILE CreateNewFile(const char* path) override;
  HFILE OpenLockFile(const char* path) override;
  HFILE OpenGuard(HFILE file, const char* path) override;
  HFILE CreateUnnamedFile(const char* target) override;
  BOOL NameUnnamedFile(HFILE file, const char* target) override;
  UINT _lread(HFILE file, void* buffer, UINT count) override;
  UINT _lwrite(HFILE file, const void* buffer, UINT count) override;
  LONG _llseek(HFILE file, LONG offset, int origin) override;
  HFILE _lclose(HFILE file) override;
  BOOL MoveFileA(const char* src, const char* dst) override;
  BOOL MoveFileExA(const char* src, const char* dst, DWORD flags) override;
  BOOL CopyFileA(const char* src, const char* dst, BOOL failIfExists) override;
  int _mkdir(const char* path) override;
  int _rmdir(const char* path) override;
  BOOL DeleteFileA(const char* path) override;
  BOOL DeleteFileIfUnused(const char* path) override;
  DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                 DWORD size, const char* file) override;
  UINT WinExec(const char* commandLine, UINT show) override;
  BOOL FlushFileBuffers(HFILE file) override;
  BOOL FlushVolumeBuffers(const char* path) override;

 private:
  // Counts the call; true (with the error set) when it is the one to fail.
  bool Fails(HostCallKind kind);

  HostBackend* previous_;
  std::array<std::atomic<unsigned>, kHostCallKinds> counts_{};
  std::atomic<int> failKind_{-1};
  std::atomic<unsigned> failAt_{0};
  std::atomic<DWORD> error_{0};
  std::atomic<bool> fired_{false};
  std::mutex mutex_;
  WriteFilter filter_;
  std::vector<HFILE> leftOpen_;  // handles whose close was failed
};

}  // namespace platform
