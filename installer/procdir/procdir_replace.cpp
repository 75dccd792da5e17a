// Rewriting an entry with a new set of names under the same file name.
//
// The entry is never missing from the index, whatever write fails or
// wherever the process stops: an in-place rewrite changes the old span and
// the free records it reuses with one write; otherwise the new records are
// appended first and the old span freed afterwards. A write that comes back
// short is undone. A copy of the same entry left by an interrupted rewrite
// (same file name, one of the new names, and no name that is neither old nor
// new) is not a conflict: it is freed once the new entry is in place. An
// entry under the same file name that holds any other name is another
// procedure's entry, and a new name in it is a conflict like any other.
#include <cstring>
#include <vector>

#include "installer/procdir/procdir_io.h"
#include "installer/procdir/procdir_messages.h"
#include "installer/procdir/procdir_open.h"
#include "installer/procdir/procdir_record.h"
#include "installer/procdir/procdir_scan.h"
#include "text/text.h"

namespace procdir {

using namespace platform;
using namespace procdir;

namespace {

constexpr std::size_t kSize = PROCDIR_RECORD_SIZE;

bool SameFileName(const char* record, const char* fileName) {
  int length = RecordFileNameLength(record);
  std::size_t wanted = strnlen(fileName, PROCDIR_FILE_NAME_LENGTH);
  return length > 0 && std::size_t(length) == wanted &&
         ProcDirNamesEqual(record + kColFileName, fileName, wanted);
}

// An entry outside the one being replaced that carries its file name.
struct Copy {
  std::uint32_t start = 0;
  std::vector<char> bytes;
  int matchedSlot = 0;  // first new name it holds (1-based), 0 none
};

// What the read pass learns before anything is written.
class ReplaceScan {
 public:
  explicit ReplaceScan(const ProcDirEntry& entry)
      : entry_(entry), matcher_(entry), first_(entry.first), last_(entry.last) {}

  // Runs the pass; false with `answer` when a check stops the rewrite.
  bool Run(HFILE file, int* answer);

  std::vector<char> oldRegion;  // the entry's records and the free ones after it
  std::uint32_t freeAfter = 0;
  std::uint32_t records = 0;
  std::vector<Copy> leftovers;

 private:
  bool Outside(const char* record, std::uint32_t index, int* answer);
  bool CloseCopy(int* answer);
  bool OnlyOldOrNewNames(const Copy& copy) const;
  bool Conflict(int slot, int* answer) {
    *answer = errp(procdir::msg::kNameTaken, entry_.names[slot - 1]);
    return false;
  }

  const ProcDirEntry& entry_;
  NameMatcher matcher_;
  std::uint32_t first_, last_;
  bool freeRun_ = true;
  bool copyOpen_ = false;
  Copy copy_;
};

bool ReplaceScan::Run(HFILE file, int* answer) {
  RecordScanner scan(file);
  if (!scan.Rewind()) {
    *answer = errp(procdir::msg::kSeek);
    return false;
  }
  std::uint32_t wanted = entry_.nameCount;
  for (;;) {
    const char* record = nullptr;
    RecordScanner::Result result = scan.Next(&record);
    if (result == RecordScanner::kShort) {
      *answer = errp(procdir::msg::kRead);
      return false;
    }
    if (result == RecordScanner::kEnd) break;
    std::uint32_t index = scan.Index();
    if (index >= first_ && index <= last_) {
      if (copyOpen_ && !CloseCopy(answer)) return false;
      // The span must be the entry the descriptor names.
      if (IsFree(record) || IsFirst(record) != (index == first_) || IsLast(record) != (index == last_)) {
        *answer = errp(procdir::msg::kRead);
        return false;
      }
      oldRegion.insert(oldRegion.end(), record, record + kSize);
      continue;
    }
    if (index > last_ && freeRun_) {
      if (IsFree(record)) {
        ++freeAfter;
        if (oldRegion.size() / kSize < wanted) oldRegion.insert(oldRegion.end(), record, record + kSize);
      } else {
        freeRun_ = false;
      }
    }
    if (!Outside(record, index, answer)) return false;
  }
  records = scan.Index();
  if (records <= last_) {  // the file ends inside the entry
    *answer = errp(procdir::msg::kRead);
    return false;
  }
  if (copyOpen_ && !CloseCopy(answer)) return false;
  // The old names are known only now: a copy may stand before the entry.
  for (const Copy& copy : leftovers)
    if (!OnlyOldOrNewNames(copy)) return Conflict(copy.matchedSlot, answer);
  return true;
}

bool ReplaceScan::OnlyOldOrNewNames(const Copy& copy) const {
  const std::size_t span = std::size_t(last_ - first_) + 1;
  for (std::size_t at = 0; at < copy.bytes.size(); at += kSize) {
    const char* record = copy.bytes.data() + at;
    if (matcher_.Match(record) != 0) continue;
    const std::size_t length = RecordNameLength(record);
    bool old = false;
    for (std::size_t i = 0; i < span && !old; ++i) {
      const char* own = oldRegion.data() + i * kSize;
      old = RecordNameLength(own) == length && ProcDirNamesEqual(own + kColName, record + kColName, length);
    }
    if (!old) return false;
  }
  return true;
}

// A copy that did not end cleanly with its 'L' is an ordinary entry: a new
// name in it is a conflict.
bool ReplaceScan::CloseCopy(int* answer) {
  copyOpen_ = false;
  if (copy_.matchedSlot != 0) return Conflict(copy_.matchedSlot, answer);
  return true;
}

bool ReplaceScan::Outside(const char* record, std::uint32_t index, int* answer) {
  if (copyOpen_ && (IsFree(record) || IsFirst(record)) && !CloseCopy(answer)) return false;
  if (!IsFree(record) && IsFirst(record) && SameFileName(record, entry_.fileName)) {
    copyOpen_ = true;
    copy_ = Copy{index, {}, 0};
  }
  if (copyOpen_) {
    copy_.bytes.insert(copy_.bytes.end(), record, record + kSize);
    if (copy_.bytes.size() > kSize * PROCDIR_MAX_NAMES && !CloseCopy(answer)) return false;
  }
  int slot = matcher_.Match(record);
  if (slot != 0) {
    if (!copyOpen_) return Conflict(slot, answer);
    if (copy_.matchedSlot == 0) copy_.matchedSlot = slot;
  }
  if (copyOpen_ && IsLast(record)) {
    copyOpen_ = false;
    if (copy_.matchedSlot != 0) leftovers.push_back(std::move(copy_));
  }
  return true;
}

std::vector<char> FreeRecords(std::uint32_t count) {
  std::vector<char> bytes(count * kSize);
  for (std::uint32_t i = 0; i < count; ++i) FormatFreeRecord(bytes.data() + i * kSize);
  return bytes;
}

}  // namespace

int ProcDirReplace(HFILE file, ProcDirEntry& entry) {
  using namespace procdir::msg;
  if (entry.nameCount > PROCDIR_MAX_NAMES) return errp(kTooManyNames, int(entry.nameCount));
  if (entry.nameCount == 0) return errp(kNoNames);
  if (entry.last < entry.first || entry.last - entry.first >= PROCDIR_MAX_NAMES) return errp(kRead);

  ReplaceScan scan(entry);
  int answer = 0;
  if (!scan.Run(file, &answer)) return answer;

  const std::uint32_t first = entry.first;
  const std::uint32_t span = std::uint32_t(entry.last) - first + 1;
  const std::uint32_t count = entry.nameCount;
  std::vector<char> fresh(count * kSize);
  for (std::uint32_t i = 0; i < count; ++i) ProcDirFormatRecord(entry, int(i), fresh.data() + i * kSize);

  if (count <= span + scan.freeAfter) {
    // In place: the new records, then free records for the rest of the old
    // span, over the old span and the free records it reuses, in one write.
    std::uint32_t region = count > span ? count : span;
    std::vector<char> bytes = FreeRecords(region);
    std::memcpy(bytes.data(), fresh.data(), fresh.size());
    Outcome write = ReportPut(PutRecords(file, first, bytes.data(), region, scan.oldRegion.data(), nullptr));
    if (!write.ok) return write.answer;
    entry.last = std::uint16_t(first + count - 1);
  } else {
    if (std::uint64_t(scan.records) + count > PROCDIR_MAX_RECORDS) return errp(kIndexFull);
    // Appended: the new entry first, then the old span freed.
    std::uint32_t grown = 0;
    PutResult put = PutRecords(file, scan.records, fresh.data(), count, nullptr, &grown);
    ProcDirRecordsAppended(grown);
    if (put != PutResult::kDone) return ReportPut(put).answer;
    std::vector<char> freed = FreeRecords(span);
    put = PutRecords(file, first, freed.data(), span, scan.oldRegion.data(), nullptr);
    if (put != PutResult::kDone) {
      // The old entry stands again; take the new copy back out.
      std::vector<char> blank = FreeRecords(count);
      PutRecords(file, scan.records, blank.data(), count, fresh.data(), nullptr);
      return ReportPut(put).answer;
    }
    entry.first = std::uint16_t(scan.records);
    entry.last = std::uint16_t(scan.records + count - 1);
  }

  for (const Copy& copy : scan.leftovers) {
    std::uint32_t size = std::uint32_t(copy.bytes.size() / kSize);
    std::vector<char> freed = FreeRecords(size);
    Outcome write = ReportPut(PutRecords(file, copy.start, freed.data(), size, copy.bytes.data(), nullptr));
    if (!write.ok) return write.answer;
  }
  return 1;
}

}  // namespace procdir
