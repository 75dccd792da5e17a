#include "installer/transfer/background_put.h"

#include <utility>

namespace transfer {

BackgroundPut::~BackgroundPut() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

void BackgroundPut::Hand(platform::ReplaceBatch& batch) {
  if (batch.Empty()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  // Each waiting file holds a handle: with one batch being put in place and
  // the caller's next one filling, no more are open than two batches hold.
  changed_.wait(lock, [this] { return queue_.empty() && !putting_; });
  queue_.push_back(std::move(batch));
  batch = platform::ReplaceBatch();
  // The thread starts with the first batch: a copy that puts nothing in
  // place never makes one.
  if (!thread_.joinable()) thread_ = std::thread(&BackgroundPut::Run, this);
  changed_.notify_all();
}

std::vector<platform::ReplaceBatch::Failure> BackgroundPut::Settle() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty() && !putting_; });
  return std::exchange(failures_, {});
}

void BackgroundPut::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stop_ || !queue_.empty(); });
    // Handed-over files are put in place even when stopping: they are whole.
    if (queue_.empty()) return;
    platform::ReplaceBatch batch = std::move(queue_.front());
    queue_.pop_front();
    putting_ = true;
    lock.unlock();
    std::vector<platform::ReplaceBatch::Failure> failed = batch.PutInPlace();
    lock.lock();
    failures_.insert(failures_.end(), failed.begin(), failed.end());
    putting_ = false;
    changed_.notify_all();
  }
}

}  // namespace transfer
