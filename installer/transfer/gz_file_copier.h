// Decompressing copy of one payload file from the media into its target.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "installer/transfer/part_file.h"
#include "platform/flush.h"
#include "platform/types.h"

namespace transfer {

class BackgroundPut;
class DecodedPayload;

class GzFileCopier {
 public:
  // Bytes handed to gzread at a time.
  static constexpr unsigned kChunk = 16384;
  // zlib's own input buffer for each file (gzbuffer).
  static constexpr unsigned kInputBuffer = 256 * 1024;

  // Without a batch every copy is flushed and put in place before Copy
  // returns. With one, finished files wait in it beside their targets (still
  // locked, so no other installer takes them for leftovers) until the caller
  // puts them in place together (one flush per volume) and reports what
  // failed with ReportUnplaced; a full batch is put in place at once.
  explicit GzFileCopier(platform::ReplaceBatch* batch = nullptr) : batch_(batch) {}
  // With `put` as well, a full batch is handed to it instead of being put
  // in place before the next file.
  GzFileCopier(platform::ReplaceBatch* batch, BackgroundPut* put) : batch_(batch), put_(put) {}
  static constexpr std::size_t kBatchLimit = 256;

  // A file may come out larger than the disk map declares by this much, at
  // least kMarginFloor and a sixteenth of the declared size beyond, since a
  // hand-written map may be slightly off. A file the map does not size gets
  // the floor alone.
  static constexpr std::uint64_t kMarginFloor = 64 * 1024;
  static std::uint64_t SizeLimit(std::int64_t declared);
  static constexpr std::int64_t kUndeclared = -1;

  // Decompresses `source` (a gzip file, or any other file, which is copied
  // unchanged) into `target`. The data go into a new file beside the target
  // that replaces it only once the whole stream has been decoded, written
  // and closed, so a failed copy leaves an existing target as it was and
  // never a partial one. With a `declared` size (0 or more) the copy stops
  // before its output passes SizeLimit(declared). Sources and targets must
  // be regular files. Reports its own failures (texts 8582 to 8590).
  // Returns 0 when the file was skipped (same paths, source or target
  // cannot be opened), else 1 whatever became of the copy.
  int Copy(const std::string& source, const std::string& target, std::int64_t declared = kUndeclared);

  // Copy with the data of `source` already being decoded elsewhere into
  // `payload`: the same checks, messages (in the same order) and result.
  int CopyDecoded(const std::string& source, const std::string& target, std::int64_t declared,
                  DecodedPayload& payload);

  // Called before each message the copier shows, so that the caller can
  // show what is due before it first.
  void SetBeforeMessage(std::function<void()> before) { beforeMessage_ = std::move(before); }

  // Asked between two reads of a file; true stops that copy (its partial
  // file is removed, an old target kept) without a message.
  void SetInterrupt(std::function<bool()> interrupted) { interrupted_ = std::move(interrupted); }

  // Copies the whole stream of `input` into `output` in chunks of kChunk
  // and closes both. 1 when everything was read, written and closed, else 0
  // (also when the size limit or the interrupt stopped it).
  int CopyStream(gzFile input, platform::HFILE output);

  // Reports each file a batch could not put in place: text 8583 when its
  // data could not be flushed (the target is unchanged), 8588 when it could
  // not be renamed. Returns how many there were.
  static int ReportUnplaced(const std::vector<platform::ReplaceBatch::Failure>& failures);

 private:
  // Puts the finished file `part` ("" for a file with no name, which
  // `guard` holds) in place of `target` in one rename once it is on the disk
  // (or leaves that to the batch, which closes `guard`); false after
  // reporting when it cannot.
  bool Commit(const std::string& part, const std::string& target, platform::HFILE guard);
  // Opens the file beside `target` that receives the data; false after
  // reporting when it cannot.
  bool StartPart(const std::string& target);
  // Writes the decoded data of `payload` into `output` and closes it, as
  // CopyStream does.
  int WritePayload(DecodedPayload& payload, platform::HFILE output);
  // Adds `count` to `*written` and writes the chunk; false, with the size
  // refusal noted or the write failure reported, when it must stop.
  bool WriteChunk(platform::HFILE output, const char* data, std::size_t count, std::uint64_t* written);
  // Reports `failures` after the caller's hook; true when there were none.
  bool Report(const std::vector<platform::ReplaceBatch::Failure>& failures);
  // Runs the caller's hook before a message.
  void BeforeMessage() {
    if (beforeMessage_) beforeMessage_();
  }

  platform::ReplaceBatch* batch_ = nullptr;
  BackgroundPut* put_ = nullptr;
  std::function<void()> beforeMessage_;
  gzFile input_ = nullptr;
  PartFile part_;
  std::uint64_t limit_ = UINT64_MAX;
  bool oversize_ = false;
  std::function<bool()> interrupted_;
  char buffer_[kChunk];
};

}  // namespace transfer
