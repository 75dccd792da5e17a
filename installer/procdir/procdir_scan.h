// Sequential reading of proc.dir record by record, served from a larger
// buffer (or from the index's image in memory, when it has one): the same
// records, in the same order, with the same end and short record as reading
// 75 bytes at a time.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace procdir {

class RecordScanner {
 public:
  enum Result { kRecord, kEnd, kShort };

  explicit RecordScanner(platform::HFILE file);
  // Goes to the start of the file; false when the seek fails.
  bool Rewind();
  // The next record (kRecord, *record valid until the next call), the clean
  // end of the file (kEnd), or a record cut short or unreadable (kShort).
  Result Next(const char** record);
  // As Next, for every whole record in hand at once: kRecord with `count`
  // records from *records on (valid until the next call), the first of them
  // at Index().
  Result NextBlock(const char** records, std::uint32_t* count);
  // Index of the record Next returned last (the first of NextBlock's); after
  // kEnd the number of records.
  std::uint32_t Index() const { return index_; }

 private:
  bool Fill();
  Result Take(const char** records, std::uint32_t* count, std::uint32_t most);

  platform::HFILE file_;
  const char* image_ = nullptr;  // the image's bytes, when it serves them
  std::size_t imageSize_ = 0;
  std::vector<char> buffer_;
  std::size_t have_ = 0;   // bytes in the buffer
  std::size_t pos_ = 0;    // next unread byte
  bool atEnd_ = false;     // the file gave its last bytes
  bool failed_ = false;    // a read failed
  std::uint32_t index_ = 0;
  std::uint32_t next_ = 0;  // index of the next record
};

}  // namespace procdir
