// The progress of the copy phase (and of the index update after it) that a
// worker reports and a progress window shows.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

// Bits of CopyProgress::status during the copy phase.
constexpr std::uint32_t STATUS_DISK_DONE = 0x01;
constexpr std::uint32_t STATUS_CANCEL_REQUESTED = 0x20;
constexpr std::uint32_t STATUS_WORKER_DONE = 0x40;
constexpr std::uint32_t STATUS_STOPPED = 0x80;

namespace transfer {

class CopyProgress {
 public:
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

  std::atomic<std::int32_t> currentDisk{0};
  // Every change is an atomic read-modify-write of the whole word
  // (fetch_or / fetch_and), since the worker and the window both change it.
  std::atomic<std::uint32_t> status{0};
  // The total the window measures progressCount against; set before the
  // worker starts.
  std::uint32_t requiredSize = 0;
  std::atomic<std::uint32_t> progressCount{0};

 private:
  mutable std::mutex nameMutex_;
  std::string currentName_;
};

}  // namespace transfer
