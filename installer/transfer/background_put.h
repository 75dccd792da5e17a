// Puts batches of finished files in place (one flush per volume, then the
// renames) on a thread of its own, so that the worker goes on decoding
// meanwhile. Batches are put in place in the order handed over, so files
// replace their targets in the order of the list.
#pragma once
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/flush.h"

namespace transfer {

class BackgroundPut {
 public:
  BackgroundPut() = default;
  // Puts in place whatever was handed over, then ends the thread.
  ~BackgroundPut();
  BackgroundPut(const BackgroundPut&) = delete;
  BackgroundPut& operator=(const BackgroundPut&) = delete;

  // Takes the files of `batch` (which is left empty) to put in place after
  // those handed over before, once the batch before it is in place.
  void Hand(platform::ReplaceBatch& batch);
  // Waits until every batch handed over is in place; returns the files
  // that could not be, in the order they were added, each once.
  std::vector<platform::ReplaceBatch::Failure> Settle();

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<platform::ReplaceBatch> queue_;
  bool putting_ = false;
  bool stop_ = false;
  std::vector<platform::ReplaceBatch::Failure> failures_;
  std::thread thread_;
};

}  // namespace transfer
