#include "installer/transfer/decoder_pool.h"

namespace transfer {

unsigned DecoderPool::DefaultThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores < 2 ? 2 : cores > 8 ? 8 : cores;
}

DecoderPool::DecoderPool(unsigned threads) {
  ahead_ = 2 * std::size_t(threads);
  for (unsigned i = 0; i < threads; ++i) threads_.emplace_back(&DecoderPool::Run, this);
}

DecoderPool::~DecoderPool() {
  End();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    work_.notify_all();
  }
  for (std::thread& t : threads_) t.join();
}

void DecoderPool::Begin(std::vector<DecodeJob> jobs) {
  std::lock_guard<std::mutex> lock(mutex_);
  jobs_ = std::move(jobs);
  done_.assign(jobs_.size(), nullptr);
  next_ = taken_ = 0;
  held_ = 0;
  ending_ = false;
  work_.notify_all();
}

std::shared_ptr<DecodedPayload> DecoderPool::Take() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (taken_ >= jobs_.size()) return nullptr;
  const std::size_t index = taken_;
  decoded_.wait(lock, [&] { return done_[index] != nullptr; });
  ++taken_;
  held_ -= jobs_[index].limit;
  // More files may be decoded ahead. The threads are woken when the lead
  // has shrunk to the few files always allowed, not for every file taken:
  // each then decodes a run of files.
  if (Claimable() && next_ <= taken_ + ahead_) work_.notify_all();
  return std::move(done_[index]);
}

void DecoderPool::End() {
  std::unique_lock<std::mutex> lock(mutex_);
  ending_ = true;
  for (std::shared_ptr<DecodedPayload>& payload : done_)
    if (payload) payload->Abandon();
  idle_.wait(lock, [&] { return busy_ == 0; });
  done_.clear();
  jobs_.clear();
  next_ = taken_ = 0;
  held_ = 0;
}

void DecoderPool::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_.wait(lock, [&] { return stop_ || Claimable(); });
    if (stop_) return;
    const std::size_t index = next_++;
    const DecodeJob job = jobs_[index];
    held_ += job.limit;
    ++busy_;
    lock.unlock();
    std::shared_ptr<DecodedPayload> payload = DecodedPayload::Open(job.source, job.declared, job.limit);
    if (!job.target.empty() && job.target != job.source) payload->WriteAhead(job.target);
    lock.lock();
    // A disk ended meanwhile takes nothing more: the stream is not decoded.
    if (ending_) payload->Abandon();
    else done_[index] = payload;
    if (index == taken_) decoded_.notify_one();
    if (payload->Streams()) {
      lock.unlock();
      payload->Pump();
      lock.lock();
    }
    if (--busy_ == 0 && ending_) idle_.notify_all();
  }
}

}  // namespace transfer
