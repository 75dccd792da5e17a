// Record positioning, reading and writing with their numbered messages.
#include "installer/procdir/procdir_io.h"

#include <algorithm>
#include <vector>

#include "installer/procdir/procdir_image.h"
#include "installer/procdir/procdir_messages.h"
#include "installer/procdir/procdir_record.h"
#include "platform/hfile.h"
#include "text/text.h"

namespace procdir {

using namespace platform;

namespace {

constexpr std::uint32_t kSize = PROCDIR_RECORD_SIZE;

LONG Offset(std::uint32_t index) { return LONG(index * kSize); }

// Puts back the first `records` records of a failed write: the old bytes
// from `undo`, or free records where there were none.
void Repair(HFILE file, std::uint32_t index, std::uint32_t records, const char* undo) {
  if (records == 0) return;
  std::vector<char> bytes(std::size_t(records) * kSize);
  for (std::uint32_t i = 0; i < records; ++i) {
    char* out = bytes.data() + std::size_t(i) * kSize;
    if (undo != nullptr)
      std::copy(undo + std::size_t(i) * kSize, undo + std::size_t(i + 1) * kSize, out);
    else
      FormatFreeRecord(out);
  }
  if (_llseek(file, Offset(index), 0) != HFILE_ERROR) _lwrite(file, bytes.data(), UINT(bytes.size()));
}

}  // namespace

Outcome SeekRecord(HFILE file, std::uint32_t index) {
  if (_llseek(file, Offset(index), 0) == HFILE_ERROR) return Outcome::Stopped(errp(procdir::msg::kSeek));
  return Outcome::Done();
}

Outcome ReadRecordAt(HFILE file, std::uint32_t index, char* record) {
  Outcome seek = SeekRecord(file, index);
  if (!seek.ok) return seek;
  if (_lread(file, record, kSize) != kSize) return Outcome::Stopped(errp(procdir::msg::kRead));
  return Outcome::Done();
}

long long RecordsInFile(HFILE file) {
  LONG end = _llseek(file, 0, 2);
  if (end == HFILE_ERROR) return -1;
  return end / LONG(kSize);
}

PutResult PutRecords(HFILE file, std::uint32_t index, const char* records, std::uint32_t count,
                     const char* undo, std::uint32_t* grown) {
  if (grown != nullptr) *grown = 0;
  long long before = RecordsInFile(file);
  if (_llseek(file, Offset(index), 0) == HFILE_ERROR) {
    DropImage(file);
    return PutResult::kSeekFailed;
  }
  UINT want = count * kSize;
  UINT put = _lwrite(file, records, want);
  if (put != want) {
    // The records the write reached: from what it reported, or, when it
    // reported nothing, everything of the range that the file now holds.
    std::uint64_t stored = put;
    if (put == UINT(HFILE_ERROR)) {
      LONG end = _llseek(file, 0, 2);
      std::uint64_t from = std::uint64_t(index) * kSize;
      stored = (end != HFILE_ERROR && std::uint64_t(end) > from) ? std::uint64_t(end) - from : 0;
      if (stored > want) stored = want;
    }
    Repair(file, index, std::uint32_t((stored + kSize - 1) / kSize), undo);
    DropImage(file);
  } else if (IndexImage* image = ImageOf(file)) {
    image->Mirror(index, records, count);
  }
  if (grown != nullptr && before >= 0) {
    long long after = RecordsInFile(file);
    if (after > before) *grown = std::uint32_t(after - before);
  }
  return put == want ? PutResult::kDone : PutResult::kShortWrite;
}

Outcome ReportPut(PutResult result) {
  switch (result) {
    case PutResult::kDone:
      return Outcome::Done();
    case PutResult::kSeekFailed:
      return Outcome::Stopped(errp(procdir::msg::kSeek));
    case PutResult::kShortWrite:
      break;
  }
  return Outcome::Stopped(errp(procdir::msg::kWrite));
}

Outcome WriteRecordsAt(HFILE file, std::uint32_t index, const char* records, std::uint32_t count,
                       const char* undo, std::uint32_t* grown) {
  return ReportPut(PutRecords(file, index, records, count, undo, grown));
}

}  // namespace procdir
