// Record layout: names, matching, formatting.
#include "installer/procdir/procdir_record.h"

#include <algorithm>
#include <cstring>

#include "platform/ascii_case.h"

namespace procdir {

namespace {

// A descriptor name's length: at most 55 characters, whether or not the
// caller terminated it.
std::size_t SlotLength(const char* name) { return strnlen(name, PROCDIR_NAME_LENGTH); }

}  // namespace

std::size_t RecordNameLength(const char* record) {
  std::size_t length = PROCDIR_NAME_LENGTH;
  while (length > 0 && record[kColName + length - 1] == ' ') --length;
  return length;
}

long RecordFileNumberSlow(const char* record) {
  int col = kColFileName;
  while (col < kColCr && record[col] == ' ') ++col;
  long number = 0;
  for (; col < kColCr && record[col] >= '0' && record[col] <= '9'; ++col) {
    number = number * 10 + (record[col] - '0');
    if (number >= kFileNumberLimit) return kFileNumberLimit;
  }
  return number;
}

long RankedFileNumber(std::uint64_t rank) {
  const int count = int(rank >> 56);
  long number = 0;
  for (int i = 0; i < count; ++i) number = number * 10 + long(((rank >> (48 - 8 * i)) & 0xFF) - '0');
  return number;
}

void FormatFreeRecord(char* record) {
  std::memset(record, ' ', PROCDIR_RECORD_SIZE);
  record[kColStatus] = 'X';
  record[kColCr] = '\r';
  record[kColLf] = '\n';
}

int RecordFileNameLength(const char* record) {
  constexpr int kFieldScan = 70;
  for (int i = 0; i < kFieldScan; ++i) {
    char c = record[kColFileName + i];
    if (c == ' ') return i;
    if (c == '\r' || c == '\n') return -1;
  }
  return -1;
}

bool IsPlainIndexFileName(const char* name, std::size_t length) {
  static const char kIndexName[] = "proc.dir";
  if (length == 0 || name[length - 1] == '.') return false;
  for (std::size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || c == 0x7F || c == '\\' || c == '/' || c == ':') return false;
    if (c == '.' && i + 1 < length && name[i + 1] == '.') return false;
  }
  return !(length == sizeof kIndexName - 1 && ProcDirNamesEqual(name, kIndexName, length));
}

namespace {

// Keeps the first `count` bytes of a loaded word, whatever the byte order.
std::uint64_t FirstBytes(int count) {
  unsigned char bytes[8] = {};
  std::memset(bytes, 0xFF, std::size_t(count));
  return LoadWord(reinterpret_cast<const char*>(bytes));
}

}  // namespace

NameMatcher::NameMatcher(const ProcDirEntry& entry) {
  const int slots = entry.nameCount < PROCDIR_MAX_NAMES ? entry.nameCount : PROCDIR_MAX_NAMES;
  for (int slot = 0; slot < slots; ++slot) {
    const std::size_t length = SlotLength(entry.names[slot]);
    // A record's name never ends in a blank.
    if (length > 0 && entry.names[slot][length - 1] == ' ') continue;
    const int i = count_++;
    slotOf_[i] = slot;
    char field[kWords * 8];
    std::memset(field, ' ', sizeof field);
    for (std::size_t j = 0; j < length; ++j) field[j] = platform::AsciiUpper(entry.names[slot][j]);
    std::memcpy(folded_[i], field, sizeof folded_[i]);
    for (int w = 0; w < kWords; ++w) field_[i][w] = LoadWord(field + w * 8);
    field_[i][kWords - 1] &= FirstBytes(kLastWordBytes);
    // The name's last fifteen characters and the blank after it; a short
    // name from the field's start, a full one its last sixteen characters.
    const std::size_t last = std::size_t(PROCDIR_NAME_LENGTH - kProbe);
    probeAt_[i] = length + 1 < std::size_t(kProbe) ? 0 : std::min(length + 1 - kProbe, last);
    for (int j = 0; j < kProbe; ++j) probe_[i][j] = char(field[probeAt_[i] + j] | 0x20);
  }
  lastMask_ = FirstBytes(kLastWordBytes);
}

using namespace procdir;

bool ProcDirNamesEqual(const char* a, const char* b, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (a[i] != b[i] && !platform::EqualNoCase(a[i], b[i])) return false;
  }
  return true;
}

int ProcDirMatch(const char* record, const ProcDirEntry& entry) { return NameMatcher(entry).Match(record); }

void ProcDirFormatRecord(const ProcDirEntry& entry, int slot, char record[75]) {
  std::memset(record, ' ', PROCDIR_RECORD_SIZE);
  if (entry.flags & PD_COL0_D)
    record[kColStatus] = 'D';
  else if (entry.flags & PD_COL0_P)
    record[kColStatus] = 'P';
  if (entry.flags & PD_KIND_E)
    record[kColKind] = 'E';
  else if (entry.flags & PD_KIND_H)
    record[kColKind] = 'H';
  if (slot == 0) record[kColFirst] = 'F';
  if (slot == entry.nameCount - 1) record[kColLast] = 'L';
  std::memcpy(record + kColFileName, entry.fileName,
              strnlen(entry.fileName, PROCDIR_FILE_NAME_LENGTH));
  if (slot >= 0 && slot < PROCDIR_MAX_NAMES)
    std::memcpy(record + kColName, entry.names[slot], SlotLength(entry.names[slot]));
  record[kColCr] = '\r';
  record[kColLf] = '\n';
}

}  // namespace procdir
