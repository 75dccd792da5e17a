#include "installer/transfer/payload_stream.h"

namespace transfer {

bool PayloadStream::Push(std::vector<char>&& chunk) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return abandoned_ || chunks_.size() < kChunks; });
  if (abandoned_) return false;
  chunks_.push_back(std::move(chunk));
  changed_.notify_all();
  return true;
}

void PayloadStream::Close(End end, bool closeFailed) {
  std::lock_guard<std::mutex> lock(mutex_);
  end_ = end;
  closeFailed_ = closeFailed;
  changed_.notify_all();
}

bool PayloadStream::Pop(std::vector<char>* chunk) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !chunks_.empty() || end_ != End::kOpen; });
  if (chunks_.empty()) return false;
  *chunk = std::move(chunks_.front());
  chunks_.pop_front();
  changed_.notify_all();
  return true;
}

PayloadStream::End PayloadStream::Ended() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return end_;
}

bool PayloadStream::CloseFailed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return closeFailed_;
}

void PayloadStream::Abandon() {
  std::lock_guard<std::mutex> lock(mutex_);
  abandoned_ = true;
  chunks_.clear();
  changed_.notify_all();
}

}  // namespace transfer
