// The scratch folder a run decompresses procedure files into. Every installer
// that uses one procedure folder shares its parent <procDir>_temp; each run
// works in a folder of its own there, <procDir>_temp\<name>, and holds the
// lock file <procDir>_temp\<name>.lck beside it for as long as it uses the
// folder. A folder whose lock file nobody holds belongs to a run that has
// ended (the lock goes with its process) and is removed by the next run that
// looks; a folder whose lock is held is never touched by another run.
#pragma once
#include <functional>
#include <string>

#include "platform/types.h"

namespace transfer {

class ScratchFolder {
 public:
  ScratchFolder() = default;
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() { Remove(); }

  // Makes `parent` when missing, removes the folders of runs that have
  // ended, and makes this run's folder with its lock held. False when no
  // folder could be made.
  bool Create(const std::string& parent);
  // Removes this run's folder and lock file, the folders of runs that have
  // ended meanwhile, and the parent once nothing is left in it.
  void Remove();
  // This run's folder (no trailing backslash); empty when there is none.
  const std::string& Path() const { return path_; }

 private:
  bool TryName(const std::string& name);

  std::string parent_;
  std::string path_;
  platform::HFILE lock_ = platform::HFILE_ERROR;
};

// Removes from `parent` every scratch folder (and lone lock file) whose
// owner has ended; links are removed as entries, never followed.
void RemoveAbandonedScratchFolders(const std::string& parent);

// Runs between making a run's folder and locking it, so that a test can let
// another run act in that moment; an empty function removes it.
void SetScratchFolderHookForTesting(std::function<void(const std::string& folder)> hook);

}  // namespace transfer
