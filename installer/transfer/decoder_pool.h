// Threads that decode the files of one disk ahead of the worker, which
// takes their results strictly in the order of the list: what the operator
// sees stays what one worker would show, while every core decodes.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "installer/transfer/decoded_payload.h"

namespace transfer {

// A file to decode: its source, the size the disk map declares (-1 when it
// gives none) and the most bytes it may decode to; with its target, a file
// decoded whole is written ahead (DecodedPayload::WriteAhead).
struct DecodeJob {
  std::string source;
  std::string target;
  std::int64_t declared = -1;
  std::uint64_t limit = 0;
};

class DecoderPool {
 public:
  // One thread per core, at least two and at most eight.
  static unsigned DefaultThreads();

  explicit DecoderPool(unsigned threads = DefaultThreads());
  ~DecoderPool();
  DecoderPool(const DecoderPool&) = delete;
  DecoderPool& operator=(const DecoderPool&) = delete;

  // Small files may run further ahead: up to kLeadFiles files while what
  // they may decode to stays within kLeadBytes.
  static constexpr std::size_t kLeadFiles = 64;
  static constexpr std::uint64_t kLeadBytes = 8u << 20;

  // Starts on the files of a disk (the last Begin must have been Ended).
  // A few files per thread are decoded ahead of the one taken last, more
  // when they are small (kLeadFiles, kLeadBytes).
  void Begin(std::vector<DecodeJob> jobs);
  // The next job's payload in order, waiting until it is decoded (a large
  // file: until its stream has started). Null after the last job.
  std::shared_ptr<DecodedPayload> Take();
  // The disk is done: files decoded ahead and not taken are dropped, and
  // this returns once no thread works on any of the disk's files.
  void End();

  unsigned Threads() const { return unsigned(threads_.size()); }

 private:
  void Run();

  // True when the threads have a job they may claim.
  bool Claimable() const {
    if (ending_ || next_ >= jobs_.size()) return false;
    const std::uint64_t limit = jobs_[next_].limit;
    return next_ < taken_ + ahead_ ||
           (next_ < taken_ + kLeadFiles && limit <= kLeadBytes && held_ <= kLeadBytes - limit);
  }

  std::mutex mutex_;
  // Each waits for its own change, so that a finished file wakes only the
  // worker that waits for it and a taken one only the threads it frees.
  std::condition_variable decoded_;  // the worker: done_[taken_] is set
  std::condition_variable work_;     // the threads: a job can be claimed, or stop_
  std::condition_variable idle_;     // End: busy_ fell to 0
  std::vector<DecodeJob> jobs_;
  std::vector<std::shared_ptr<DecodedPayload>> done_;
  std::size_t next_ = 0;    // the first job no thread has claimed
  std::size_t taken_ = 0;   // jobs the worker has taken
  std::size_t ahead_ = 0;   // claimed jobs may always run this far past taken_
  std::uint64_t held_ = 0;  // the limits of the jobs claimed and not taken
  unsigned busy_ = 0;       // threads working on a job of this disk
  bool ending_ = false;
  bool stop_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace transfer
