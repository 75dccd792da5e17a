// The install state that the wizard pages, the copy worker and the progress
// windows share (one record per MainDialog).
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace ui {
class Dialog;
}

// Bits of TransferContext::status during the copy phase.
constexpr std::uint32_t STATUS_DISK_DONE = 0x01;
constexpr std::uint32_t STATUS_CANCEL_REQUESTED = 0x20;
constexpr std::uint32_t STATUS_WORKER_DONE = 0x40;
constexpr std::uint32_t STATUS_STOPPED = 0x80;

struct TransferContext {
  // Name of the item being processed. The worker replaces it while the
  // progress window reads it, so it is only reached through SetCurrentName
  // and CurrentName, which hand over a whole copy under a lock.
  void SetCurrentName(const std::string& name) {
    std::lock_guard<std::mutex> lock(nameMutex_);
    currentName_ = name;
  }
  std::string CurrentName() const {
    std::lock_guard<std::mutex> lock(nameMutex_);
    return currentName_;
  }

  std::string sourceDir;         // folder of the first medium, ends in a backslash
  std::string transferListPath;  // <workDir>\orvik.lst
  std::string dataDir;           // data files (user_cwd)
  std::string tempDir;           // <procDir>_temp; during the install step this run's folder in it
  std::string procDir;           // procedure files (procdir)
  std::string picDir;            // pictures (picdir)
  std::string passwordDir;       // user programs once the directories are confirmed
  std::string userProgDir;       // user programs (user_prog_dir)
  std::string diskMapPath;       // <workDir>\_diskmap.lst
  std::string diskSection;       // scratch "Disk%d"
  std::atomic<std::int32_t> currentDisk{0};
  std::int32_t diskTable[101] = {};  // disks to visit, zero-terminated
  ui::Dialog* mainWindow = nullptr;
  // Every change is an atomic read-modify-write of the whole word
  // (fetch_or / fetch_and), since the worker and the window both change it.
  std::atomic<std::uint32_t> status{0};
  std::uint32_t requiredSize = 0;
  std::atomic<std::uint32_t> progressCount{0};
  std::uint32_t bytesPerSector = 0;

 private:
  mutable std::mutex nameMutex_;
  std::string currentName_;
};
