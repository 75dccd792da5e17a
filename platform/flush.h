// Putting written data on the disk, so that a power cut leaves a file that
// replaces another by rename either old or new, never empty.
#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace platform {

constexpr DWORD ERROR_WRITE_FAULT = 29;

// Writes the open file's data (and its size) to the disk. FALSE, with
// GetLastError, when the disk reports an error.
BOOL FlushFileBuffers(HFILE file);

// Writes every cached change of the volume that holds `path` (a file or a
// folder) to the disk: one call covers all the files written there.
BOOL FlushVolumeBuffers(const char* path);

// Fault injection for tests: the hook sees every flush before it happens,
// with what it covers (one file or a whole volume) and the DOS path it was
// asked for ("" for FlushFileBuffers), and returns FALSE to make it fail
// with ERROR_WRITE_FAULT. No hook: every flush goes through.
enum class FlushScope { kFile, kVolume };
using FlushHook = std::function<BOOL(FlushScope scope, const std::string& path)>;
void SetFlushHook(FlushHook hook);
// A hook for the life of the object.
class ScopedFlushHook {
 public:
  explicit ScopedFlushHook(FlushHook hook) { SetFlushHook(std::move(hook)); }
  ~ScopedFlushHook() { SetFlushHook(nullptr); }
  ScopedFlushHook(const ScopedFlushHook&) = delete;
  ScopedFlushHook& operator=(const ScopedFlushHook&) = delete;
};

// Files written completely beside their targets, put in place together so
// that one flush per volume covers them all: PutInPlace flushes each volume
// that holds one of them once, then renames each over its target (as
// MoveFileExA with MOVEFILE_REPLACE_EXISTING). When a volume cannot be
// flushed, its files are flushed one by one; a file that still fails is
// deleted and its target stays as it was.
class ReplaceBatch {
 public:
  struct Failure {
    std::string written;
    std::string target;
    bool flushed;  // false: its data could not be flushed (`written` deleted);
                   // true: the rename failed (`written` kept beside the target;
                   // a file with no name could not be given its name)
    DWORD error;
  };

  // `written` (a closed file) is to replace `target`; both DOS paths.
  // `guard`, an open handle that keeps `written` locked while it waits, is
  // closed once the file has been put in place or given up.
  void Add(const std::string& written, const std::string& target, HFILE guard = -1);
  // `file`, a handle of a file with no name yet (CreateUnnamedFile) that the
  // batch closes, is to be named `target`; its `written` is "".
  void AddUnnamed(const std::string& target, HFILE file) { pending_.push_back({"", target, file}); }
  bool Empty() const { return pending_.empty(); }
  std::size_t Size() const { return pending_.size(); }
  // Puts every file added since the last call in place, in the order added;
  // returns those that could not be.
  std::vector<Failure> PutInPlace();

 private:
  struct Pending {
    std::string written;
    std::string target;
    HFILE guard;
  };
  std::vector<Pending> pending_;
};

}  // namespace platform
