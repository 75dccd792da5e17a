// The open index held in memory for a run of many operations: while an
// IndexImage lives, the record operations on its file look names, file
// numbers and records up in memory instead of reading the file from its
// start each time. Every write the operations make is mirrored into it, so
// it stays the file's exact copy; the index is open for writing, so no other
// program can change it meanwhile. A write that comes back short drops the
// image and the operations read the file again.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "installer/procdir/procdir_entry.h"

namespace procdir {

// What ProcDirAdd's pass over the records finds.
struct AddScan {
  enum Outcome { kAppend, kMatch, kSeekFailed, kShortRecord, kNumberTooHigh } outcome = kAppend;
  std::uint32_t index = 0;  // kMatch: the first matching record; kAppend: records read
  long highest = 0;         // kAppend: the highest file number
};

class IndexImage {
 public:
  // Reads the whole of `file` (open with ProcDirOpen). When the read fails
  // the image stays inactive and the operations read the file as usual.
  explicit IndexImage(platform::HFILE file);
  ~IndexImage();
  IndexImage(const IndexImage&) = delete;
  IndexImage& operator=(const IndexImage&) = delete;

  bool Active() const;
  platform::HFILE File() const { return file_; }
  const std::string& Bytes() const { return bytes_; }
  // ProcDirAdd's pass, from memory.
  AddScan ScanForAdd(const ProcDirEntry& entry);
  // Records `count` records written at record `index`.
  void Mirror(std::uint32_t index, const char* records, std::uint32_t count);

 private:
  void Index(std::uint32_t record, bool add);
  std::uint32_t FullRecords() const { return std::uint32_t(bytes_.size() / PROCDIR_RECORD_SIZE); }

  platform::HFILE file_;
  std::string bytes_;
  // Records (below 65,536) by their name, letter case folded: an open
  // table of record numbers with their names' hashes, grown by doubling.
  struct Slot {
    std::uint32_t record;
    std::uint32_t hash;
  };
  static constexpr std::uint32_t kEmpty = UINT32_MAX, kRemoved = UINT32_MAX - 1;
  void Insert(std::uint32_t record, std::uint32_t hash);
  void Remove(std::uint32_t record, std::uint32_t hash);
  std::uint32_t FirstHolding(const char* name, std::size_t length) const;
  std::vector<Slot> slots_;
  std::size_t used_ = 0;  // slots holding a record or a removed mark
  std::vector<long> numbers_;       // file number of each record
  std::set<std::uint32_t> tooHigh_;  // records whose number leaves none to give
  long highest_ = 0;
  bool highestKnown_ = true;
};

// The image of `file` that the operations use, or null.
IndexImage* ImageOf(platform::HFILE file);
// After a short or failed write: the file's state is not known any more.
void DropImage(platform::HFILE file);

}  // namespace procdir
