// The index in memory, with its names and file numbers looked up by record.
#include "installer/procdir/procdir_image.h"

#include <algorithm>
#include <cstring>

#include "installer/procdir/procdir_record.h"
#include "platform/hfile.h"

namespace procdir {

using namespace platform;

namespace {

IndexImage* g_image = nullptr;  // one index is open per process

constexpr std::size_t kSize = PROCDIR_RECORD_SIZE;

// FNV-1a of the name with ASCII letters folded to upper case.
std::uint32_t NameHash(const char* name, std::size_t length) {
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < length; ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    hash = (hash ^ std::uint8_t(c)) * 16777619u;
  }
  return hash;
}

std::uint32_t RecordHash(const char* record) { return NameHash(record + kColName, RecordNameLength(record)); }

}  // namespace

IndexImage::IndexImage(HFILE file) : file_(file) {
  if (_llseek(file, 0, 0) == HFILE_ERROR) return;
  std::vector<char> block(kSize * 4096);
  for (;;) {
    UINT got = _lread(file, block.data(), UINT(block.size()));
    if (got == UINT(HFILE_ERROR)) return;
    bytes_.append(block.data(), got);
    if (got < block.size()) break;
  }
  std::uint32_t records = FullRecords();
  numbers_.resize(records);
  std::size_t capacity = 1024;
  while (capacity < 2 * std::size_t(std::min(records, PROCDIR_MAX_RECORDS))) capacity *= 2;
  slots_.assign(capacity, Slot{kEmpty, 0});
  for (std::uint32_t i = 0; i < records; ++i) Index(i, true);
  g_image = this;
}

IndexImage::~IndexImage() {
  if (g_image == this) g_image = nullptr;
}

bool IndexImage::Active() const { return g_image == this; }

// Adds record `record` to the lookups, or takes it out.
void IndexImage::Index(std::uint32_t record, bool add) {
  if (record >= PROCDIR_MAX_RECORDS) return;  // never looked at
  const char* bytes = bytes_.data() + std::size_t(record) * kSize;
  const std::uint32_t hash = RecordHash(bytes);
  if (add) {
    Insert(record, hash);
    long number = RecordFileNumber(bytes);
    numbers_[record] = number;
    if (number >= kFileNumberLimit) tooHigh_.insert(record);
    if (number > highest_) highest_ = number;
  } else {
    Remove(record, hash);
    tooHigh_.erase(record);
    // The highest number may have gone with this record.
    if (numbers_[record] >= highest_) highestKnown_ = false;
  }
}

AddScan IndexImage::ScanForAdd(const ProcDirEntry& entry) {
  AddScan scan;
  // The first record, in file order, that carries one of the names.
  std::uint32_t match = UINT32_MAX;
  int count = std::min<int>(entry.nameCount, PROCDIR_MAX_NAMES);
  for (int i = 0; i < count; ++i) {
    std::size_t length = strnlen(entry.names[i], PROCDIR_NAME_LENGTH);
    // A record's name never ends in a blank.
    if (length > 0 && entry.names[i][length - 1] == ' ') continue;
    match = std::min(match, FirstHolding(entry.names[i], length));
  }
  // Records are checked for a match before their file number.
  if (!tooHigh_.empty() && *tooHigh_.begin() < match) {
    scan.outcome = AddScan::kNumberTooHigh;
    return scan;
  }
  if (match != UINT32_MAX) {
    scan.outcome = AddScan::kMatch;
    scan.index = match;
    return scan;
  }
  if (bytes_.size() % kSize != 0) {
    scan.outcome = AddScan::kShortRecord;
    return scan;
  }
  if (!highestKnown_) {
    highest_ = 0;
    std::uint32_t records = std::min<std::uint32_t>(FullRecords(), PROCDIR_MAX_RECORDS);
    for (std::uint32_t i = 0; i < records; ++i) highest_ = std::max(highest_, numbers_[i]);
    highestKnown_ = true;
  }
  scan.index = FullRecords();
  scan.highest = highest_;
  return scan;
}

void IndexImage::Mirror(std::uint32_t index, const char* records, std::uint32_t count) {
  const std::size_t from = std::size_t(index) * kSize;
  const std::size_t to = from + std::size_t(count) * kSize;
  if (from > bytes_.size()) {  // a gap the image cannot follow
    DropImage(file_);
    return;
  }
  const std::uint32_t before = FullRecords();
  for (std::uint32_t i = index; i < index + count && i < before; ++i) Index(i, false);
  if (to > bytes_.size()) bytes_.resize(to);
  std::memcpy(&bytes_[from], records, to - from);
  numbers_.resize(FullRecords());
  for (std::uint32_t i = index; i < index + count; ++i) Index(i, true);
}

void IndexImage::Insert(std::uint32_t record, std::uint32_t hash) {
  // At most half the slots in use, removed marks counted: the table is
  // made again, twice as large when the records need it.
  if (2 * (used_ + 1) > slots_.size()) {
    std::vector<Slot> old;
    old.swap(slots_);
    std::size_t live = 0;
    for (const Slot& slot : old) live += slot.record < kRemoved;
    std::size_t capacity = old.size();
    if (4 * (live + 1) > capacity) capacity *= 2;
    slots_.assign(capacity, Slot{kEmpty, 0});
    used_ = 0;
    for (const Slot& slot : old)
      if (slot.record < kRemoved) Insert(slot.record, slot.hash);
  }
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = hash & mask;
  while (slots_[at].record != kEmpty) at = (at + 1) & mask;
  slots_[at] = Slot{record, hash};
  ++used_;
}

void IndexImage::Remove(std::uint32_t record, std::uint32_t hash) {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask; slots_[at].record != kEmpty; at = (at + 1) & mask) {
    if (slots_[at].record == record) {
      slots_[at].record = kRemoved;
      return;
    }
  }
}

// The first record, in file order, whose name is `name` (letter case
// aside); UINT32_MAX when none is.
std::uint32_t IndexImage::FirstHolding(const char* name, std::size_t length) const {
  const std::uint32_t hash = NameHash(name, length);
  const std::size_t mask = slots_.size() - 1;
  std::uint32_t first = UINT32_MAX;
  for (std::size_t at = hash & mask; slots_[at].record != kEmpty; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.record >= kRemoved || slot.hash != hash || slot.record >= first) continue;
    const char* record = bytes_.data() + std::size_t(slot.record) * kSize;
    if (RecordNameLength(record) == length && ProcDirNamesEqual(record + kColName, name, length)) first = slot.record;
  }
  return first;
}

IndexImage* ImageOf(HFILE file) { return g_image != nullptr && g_image->File() == file ? g_image : nullptr; }

void DropImage(HFILE file) {
  if (ImageOf(file) != nullptr) g_image = nullptr;
}

}  // namespace procdir
