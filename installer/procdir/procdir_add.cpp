// Adding an entry under the next free file number.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "installer/procdir/procdir_image.h"
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

// One pass over the file: the first record holding one of the names, and the
// highest file number.
AddScan ScanFile(HFILE file, const ProcDirEntry& entry) {
  AddScan result;
  NameMatcher matcher(entry);
  RecordScanner scan(file);
  // The records of an entry repeat its file name, so a field is looked at
  // only when it differs from the record before's; the usual fields are
  // ranked, and only the highest rank is turned into its number.
  std::uint64_t lastField = 0;
  bool lastRanked = false;
  std::uint64_t highestRank = 0;
  if (!scan.Rewind()) {
    result.outcome = AddScan::kSeekFailed;
    return result;
  }
  for (;;) {
    const char* records = nullptr;
    std::uint32_t count = 0;
    switch (scan.NextBlock(&records, &count)) {
      case RecordScanner::kEnd:
        result.index = scan.Index();
        if (highestRank != 0) result.highest = std::max(result.highest, RankedFileNumber(highestRank));
        return result;
      case RecordScanner::kShort:
        result.outcome = AddScan::kShortRecord;
        return result;
      case RecordScanner::kRecord:
        break;
    }
    // Past 65,535 nothing can be addressed; the append is refused later.
    const std::uint32_t first = scan.Index();
    const std::uint32_t usable = first >= PROCDIR_MAX_RECORDS ? 0 : std::min(count, PROCDIR_MAX_RECORDS - first);
    for (std::uint32_t k = 0; k < usable; ++k) {
      const char* record = records + std::size_t(k) * PROCDIR_RECORD_SIZE;
      if (matcher.Match(record) != 0) {
        result.outcome = AddScan::kMatch;
        result.index = first + k;
        return result;
      }
      const std::uint64_t field = LoadWord(record + kColFileName);
      if (lastRanked && field == lastField) continue;
      lastField = field;
      std::uint64_t rank = 0;
      lastRanked = FileNumberRank(field, &rank);
      if (lastRanked) {
        if (rank > highestRank) highestRank = rank;
        continue;
      }
      const long number = RecordFileNumber(record);
      if (number >= kFileNumberLimit) {
        result.outcome = AddScan::kNumberTooHigh;
        return result;
      }
      if (number > result.highest) result.highest = number;
    }
  }
}

}  // namespace

int ProcDirAdd(HFILE file, ProcDirEntry& entry) {
  using namespace procdir::msg;
  entry.flags &= std::uint8_t(~PD_EXISTS);
  // A failure leaves no file name, so that nothing is copied under one.
  entry.fileName[0] = '\0';
  if (entry.nameCount > PROCDIR_MAX_NAMES) return errp(kTooManyNames, int(entry.nameCount));
  if (entry.nameCount == 0) return errp(kNoNames);

  IndexImage* image = ImageOf(file);
  AddScan scan = image != nullptr ? image->ScanForAdd(entry) : ScanFile(file, entry);
  switch (scan.outcome) {
    case AddScan::kSeekFailed:
      return errp(kSeek);
    case AddScan::kShortRecord:
      return errp(kRead);
    case AddScan::kNumberTooHigh:
      return errp(kNoFileNumber);
    case AddScan::kMatch: {
      ProcDirEntry found;
      Outcome read = ReadEntryAt(file, scan.index, found);
      if (!read.ok) return read.answer;
      entry.first = found.first;
      entry.last = found.last;
      entry.current = found.current;
      std::memcpy(entry.fileName, found.fileName, sizeof entry.fileName);
      entry.flags |= PD_EXISTS;
      return 1;
    }
    case AddScan::kAppend:
      break;
  }
  const long highest = scan.highest;

  std::uint32_t records = scan.index;
  std::uint32_t count = entry.nameCount;
  if (std::uint64_t(records) + count > PROCDIR_MAX_RECORDS) return errp(kIndexFull);

  // "%ld.%s" of the next number and "pro": at most 8 digits (the number
  // stays below 99,999,999), so the name fits its 12 characters.
  char fileName[32];
  std::snprintf(fileName, sizeof fileName, "%ld.%s", highest + 1, "pro");
  std::memset(entry.fileName, 0, sizeof entry.fileName);
  std::memcpy(entry.fileName, fileName, std::min(std::strlen(fileName), sizeof entry.fileName - 1));
  std::vector<char> bytes(std::size_t(count) * PROCDIR_RECORD_SIZE);
  for (std::uint32_t i = 0; i < count; ++i)
    ProcDirFormatRecord(entry, int(i), bytes.data() + std::size_t(i) * PROCDIR_RECORD_SIZE);

  std::uint32_t grown = 0;
  Outcome write = WriteRecordsAt(file, records, bytes.data(), count, nullptr, &grown);
  ProcDirRecordsAppended(grown);
  if (!write.ok) {
    entry.fileName[0] = '\0';
    return write.answer;
  }
  entry.first = std::uint16_t(records);
  entry.last = std::uint16_t(records + count - 1);
  entry.current = entry.first;
  return 1;
}

}  // namespace procdir
