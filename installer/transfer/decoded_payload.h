// One source file of the medium decoded for the worker, which writes it:
// small files decoded whole in one call, larger ones (and every file the
// one call cannot settle) through a PayloadStream fed by the decoding
// thread.
#pragma once
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "installer/transfer/payload_stream.h"
#include "platform/types.h"

namespace transfer {

class DecodedPayload {
 public:
  // Opens `source` and decodes what can be decoded at once: a file declared
  // (`declared` >= 0) up to kWholeInflateLimit whole, else the stream is
  // prepared for Pump. `limit`: the most bytes the file may decode to.
  static std::shared_ptr<DecodedPayload> Open(const std::string& source, std::int64_t declared,
                                              std::uint64_t limit);
  ~DecodedPayload();
  DecodedPayload(const DecodedPayload&) = delete;
  DecodedPayload& operator=(const DecodedPayload&) = delete;

  // Decoding thread: true when Pump is still to run.
  bool Streams() const { return input_ != nullptr; }
  // Decodes the stream in reads of 16384 bytes, as the copier does, into
  // the buffers the worker empties; ends at the end of the data, at damage,
  // once past the limit or when the worker abandons it.
  void Pump();

  // Decoding thread, for a file decoded whole: writes it into a new file
  // with no name in the folder of `target`, when the target does not exist
  // yet and the host makes such files; the worker then only has it named.
  // Nothing of it shows on the disk before that. Any failure leaves the
  // writing (and its messages) to the worker.
  void WriteAhead(const std::string& target);
  // Worker side. The file WriteAhead wrote (the caller closes the handle, or
  // a batch names and closes it), or HFILE_ERROR.
  platform::HFILE TakeWritten();
  // The message for a source that could not be opened (8587,
  // or 8590 for one that is no regular file), else 0.
  int OpenFailure() const { return openFailure_; }
  // The next piece of the decoded data; false at the end (see Ended).
  bool Next(const char** data, std::size_t* size);
  // How the data ended once Next returned false.
  PayloadStream::End Ended() const;
  // True once Next returned false when closing the input showed the data
  // cut short.
  bool CloseFailed() const;
  // No more is wanted: the decoding stops.
  void Abandon();

  // The pieces a whole file is handed out in, so Cancel is asked between them.
  static constexpr std::size_t kSlice = 256 * 1024;

 private:
  DecodedPayload() = default;
  bool TryWhole(platform::HFILE file, std::uint64_t size);

  int openFailure_ = 0;
  std::uint64_t limit_ = 0;
  platform::HFILE written_ = -1;  // from WriteAhead, until taken
  // A whole file.
  std::unique_ptr<char[]> whole_;
  std::size_t wholeSize_ = 0;
  std::size_t offset_ = 0;
  // A streamed file: the input the decoding thread reads and its buffers.
  gzFile input_ = nullptr;
  PayloadStream stream_;
  std::vector<char> current_;
};

}  // namespace transfer
