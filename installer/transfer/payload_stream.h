// The decoded data of one large file handed from the thread that decodes it
// to the worker that writes it, through a few buffers: the decoder waits
// while they are all full, the worker while they are all empty.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

namespace transfer {

class PayloadStream {
 public:
  // How the stream ended, as the decoder saw it.
  enum class End {
    kOpen,       // not yet ended
    kComplete,   // every byte was decoded
    kDamaged,    // the data could not be decoded (a read error)
    kOversize,   // it decoded to more than the file may become
  };

  static constexpr std::size_t kChunk = 256 * 1024;
  static constexpr std::size_t kChunks = 4;

  // Decoder side. Queues `chunk`, waiting for room; false when the worker
  // has abandoned the stream (the decoder then stops).
  bool Push(std::vector<char>&& chunk);
  // Ends the stream; `closeFailed` when closing the input reported that it
  // was cut short.
  void Close(End end, bool closeFailed);

  // Worker side. The next chunk into *chunk, waiting for it; false at the
  // end of the stream (see Ended).
  bool Pop(std::vector<char>* chunk);
  End Ended() const;
  bool CloseFailed() const;
  // The worker wants no more: the decoder's next Push fails, and what is
  // queued is dropped.
  void Abandon();

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<char>> chunks_;
  End end_ = End::kOpen;
  bool closeFailed_ = false;
  bool abandoned_ = false;
};

}  // namespace transfer
