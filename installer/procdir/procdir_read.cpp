// Reading an entry, and finding one by name.
#include <algorithm>
#include <cstring>
#include <string>

#include "installer/procdir/procdir_io.h"
#include "installer/procdir/procdir_messages.h"
#include "installer/procdir/procdir_open.h"
#include "installer/procdir/procdir_record.h"
#include "installer/procdir/procdir_scan.h"
#include "text/text.h"

namespace procdir {

using namespace platform;

namespace {

void ClearEntry(ProcDirEntry& entry) { std::memset(&entry, 0, sizeof entry); }

void StoreName(const char* record, char* slot) {
  std::size_t length = RecordNameLength(record);
  std::memcpy(slot, record + kColName, length);
  slot[length] = '\0';
}

}  // namespace

Outcome ReadEntryAt(HFILE file, std::uint32_t index, ProcDirEntry& entry) {
  using namespace procdir::msg;
  ClearEntry(entry);
  // Records past 65,535 cannot be addressed by an entry's 16-bit fields.
  if (index >= ProcDirRecordCount() || index >= PROCDIR_MAX_RECORDS) {
    entry.flags = PD_PAST_END;
    return Outcome::Stopped(0);
  }
  char record[PROCDIR_RECORD_SIZE];
  Outcome read = ReadRecordAt(file, index, record);
  if (!read.ok) return read;
  entry.current = std::uint16_t(index);
  if (IsFree(record)) {
    entry.first = entry.last = std::uint16_t(index);
    entry.flags = PD_FREE;
    return Outcome::Done();
  }

  // Back to the entry's first record. Before the file's first record the
  // seek fails (901): a damaged index.
  std::uint32_t first = index;
  while (!IsFirst(record)) {
    if (first == 0) return Outcome::Stopped(errp(kSeek));
    --first;
    read = ReadRecordAt(file, first, record);
    if (!read.ok) return read;
  }

  if (record[kColStatus] == 'D') entry.flags |= PD_COL0_D;
  if (record[kColStatus] == 'P') entry.flags |= PD_COL0_P;
  if (record[kColKind] == ' ') entry.flags |= PD_KIND_BLANK;
  if (record[kColKind] == 'E') entry.flags |= PD_KIND_E;
  if (record[kColKind] == 'H') entry.flags |= PD_KIND_H;
  entry.first = std::uint16_t(first);

  int nameLength = RecordFileNameLength(record);
  if (nameLength < 0) return Outcome::Stopped(errp(kFileNameField));
  if (nameLength > PROCDIR_FILE_NAME_LENGTH) return Outcome::Stopped(errp(kFileNameTooLong, int(first)));
  // The file name is joined to the procedure folder and written: one that
  // could name anything but a file beside the index makes the entry damaged.
  if (nameLength > 0 && !IsPlainIndexFileName(record + kColFileName, std::size_t(nameLength))) {
    const std::string name(record + kColFileName, std::size_t(nameLength));
    return Outcome::Stopped(errp(kFileNameNotPlain, int(first), name.c_str()));
  }
  std::memcpy(entry.fileName, record + kColFileName, std::size_t(nameLength));
  entry.fileName[nameLength] = '\0';

  // Names up to the record with 'L'; at most six of them fit.
  std::uint32_t at = first;
  for (;;) {
    StoreName(record, entry.names[at - first]);
    if (IsLast(record)) {
      entry.last = std::uint16_t(at);
      entry.nameCount = std::uint8_t(at - first + 1);
      return Outcome::Done();
    }
    ++at;
    if (at >= PROCDIR_MAX_RECORDS) return Outcome::Stopped(errp(kRead));
    read = ReadRecordAt(file, at, record);
    if (!read.ok) return read;
    if (at - first >= std::uint32_t(PROCDIR_MAX_NAMES)) {
      return Outcome::Stopped(errp(kEntryTooLong, int(first)));
    }
  }
}

using namespace procdir;

int ProcDirReadEntry(HFILE file, unsigned index, ProcDirEntry& entry) {
  return ReadEntryAt(file, index, entry).answer;
}

int ProcDirFind(HFILE file, ProcDirEntry& entry) {
  entry.flags &= std::uint8_t(~PD_EXISTS);
  if (entry.nameCount > PROCDIR_MAX_NAMES) return errp(procdir::msg::kTooManyNames, int(entry.nameCount));
  NameMatcher matcher(entry);
  RecordScanner scan(file);
  if (!scan.Rewind()) return errp(procdir::msg::kSeek);
  for (;;) {
    const char* records = nullptr;
    std::uint32_t count = 0;
    switch (scan.NextBlock(&records, &count)) {
      case RecordScanner::kEnd:
        entry.flags = 0;
        return 1;
      case RecordScanner::kShort:
        return errp(procdir::msg::kRead);
      case RecordScanner::kRecord:
        break;
    }
    // Records past 65,535 (an oversized index kept after message 915) cannot
    // be addressed: they are not looked at.
    const std::uint32_t first = scan.Index();
    const std::uint32_t usable = first >= PROCDIR_MAX_RECORDS ? 0 : std::min(count, PROCDIR_MAX_RECORDS - first);
    for (std::uint32_t k = 0; k < usable; ++k) {
      if (matcher.Match(records + std::size_t(k) * PROCDIR_RECORD_SIZE) == 0) continue;
      Outcome read = ReadEntryAt(file, first + k, entry);
      if (!read.ok) return read.answer;
      entry.flags |= PD_EXISTS;
      return 1;
    }
  }
}

}  // namespace procdir
