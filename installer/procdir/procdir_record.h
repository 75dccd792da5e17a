// Fields of one 75-byte record of proc.dir.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "installer/procdir/procdir_entry.h"

namespace procdir {

constexpr int kColStatus = 0;
constexpr int kColKind = 1;
constexpr int kColFirst = 2;
constexpr int kColLast = 3;
constexpr int kColFileName = 5;
constexpr int kColName = 18;
constexpr int kColCr = 73;
constexpr int kColLf = 74;

// Largest file number the index can give out, plus one.
constexpr long kFileNumberLimit = 99999999;

inline bool IsFree(const char* record) { return record[kColStatus] == 'X'; }
inline bool IsFirst(const char* record) { return record[kColFirst] == 'F'; }
inline bool IsLast(const char* record) { return record[kColLast] == 'L'; }

// Length of the record's name: columns 18 to 72 without trailing blanks.
std::size_t RecordNameLength(const char* record);
// The decimal number at the start of the file-name field (leading blanks
// skipped); 0 when there are no digits. Numbers at or above the limit are
// returned as kFileNumberLimit.
long RecordFileNumberSlow(const char* record);
// The usual field: a number of one to seven digits at its start, decided by
// the field's first eight bytes alone. False for any other field.
inline bool ShortFileNumber(const char* record, long* number);
inline long RecordFileNumber(const char* record) {
  long number = 0;
  return ShortFileNumber(record, &number) ? number : RecordFileNumberSlow(record);
}

// For the highest of many file numbers without converting each: the usual
// field without a leading zero, whose first eight bytes `field` (as loaded by
// LoadWord) are one to seven digits and a byte that is no digit, gets a rank
// that orders as the numbers do (more digits first, then the digits). False
// for every other field, which RecordFileNumber must read.
inline bool FileNumberRank(std::uint64_t field, std::uint64_t* rank);
// The number a rank stands for.
long RankedFileNumber(std::uint64_t rank);

// Fills `record` as a free record.
void FormatFreeRecord(char* record);

// Length of the file name of a first record: the characters from column 5 up
// to the first blank. -1 when the field runs into CR or LF (or holds 70
// characters without a blank).
int RecordFileNameLength(const char* record);

// True when a file name read from an index names a file in the index's own
// folder and nothing else, so it can be joined to that folder and written:
// not empty, no separator ('\\' or '/'), no drive or stream ':', no "..",
// no control character, no trailing dot (the host drops it, so "proc.dir."
// would name the index), and not the index's own name proc.dir in any case.
bool IsPlainIndexFileName(const char* name, std::size_t length);

// ProcDirMatch for many records against one descriptor: each name is laid
// out once as the whole name field it matches (upper case, blank-padded), so
// a record is compared sixteen (or eight) bytes at a time, letter case folded
// as it goes. Sixteen bytes around the end of each name are compared first:
// names that differ mostly differ there, so most records are ruled out by
// one compare.
class NameMatcher {
 public:
  explicit NameMatcher(const ProcDirEntry& entry);
  // As ProcDirMatch(record, entry).
  int Match(const char* record) const;

 private:
  static constexpr int kWords = 7;  // the 55-byte field in 8-byte words
  // The last word holds seven bytes of the field and column 73.
  static constexpr int kLastWordBytes = PROCDIR_NAME_LENGTH - (kWords - 1) * 8;
  static constexpr int kProbe = 16;  // bytes of the first compare
  static constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  static constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  static constexpr std::uint64_t kCaseBits = 0x2020202020202020ull;

  // ASCII a-z to A-Z in all eight bytes at once; every other byte unchanged.
  static std::uint64_t FoldWord(std::uint64_t word) {
    std::uint64_t low7 = word & ~kHigh;
    std::uint64_t atLeastA = low7 + (0x80 - 'a') * kOnes;
    std::uint64_t aboveZ = low7 + (0x80 - 'z' - 1) * kOnes;
    std::uint64_t lower = atLeastA & ~aboveZ & ~word & kHigh;
    return word ^ (lower >> 2);
  }

  // The probe: the slot's sixteen field bytes from probeAt_ on (the name's
  // last characters and the blank after it), compared with the case bit
  // (0x20) set in every byte. That never rejects a matching record; it lets
  // a few others through ('@' and '`', for one), which FieldEquals rejects.
  bool ProbeEquals(const char* field, int slot) const;
  bool FieldEquals(const char* field, int slot) const;

  int count_ = 0;                           // slots that can match
  int slotOf_[PROCDIR_MAX_NAMES] = {};      // their positions in the descriptor
  std::size_t probeAt_[PROCDIR_MAX_NAMES] = {};
  alignas(16) char probe_[PROCDIR_MAX_NAMES][kProbe] = {};
  char folded_[PROCDIR_MAX_NAMES][PROCDIR_NAME_LENGTH] = {};  // the field a slot matches
  std::uint64_t field_[PROCDIR_MAX_NAMES][kWords] = {};
  std::uint64_t lastMask_ = 0;  // the last word's bytes inside the field
};

inline std::uint64_t LoadWord(const char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

#if defined(__SSE2__) || defined(_M_X64)
inline bool NameMatcher::ProbeEquals(const char* field, int slot) const {
  __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(field + probeAt_[slot]));
  __m128i lowered = _mm_or_si128(bytes, _mm_set1_epi8(0x20));
  __m128i want = _mm_load_si128(reinterpret_cast<const __m128i*>(probe_[slot]));
  return _mm_movemask_epi8(_mm_cmpeq_epi8(lowered, want)) == 0xFFFF;
}

// Sixteen bytes at a time: the field as four loads, the last one
// overlapping the third so that none reads past column 72.
inline bool NameMatcher::FieldEquals(const char* field, int slot) const {
  const __m128i beforeA = _mm_set1_epi8('a' - 1), afterZ = _mm_set1_epi8('z' + 1), caseBit = _mm_set1_epi8(0x20);
  auto equal = [&](int at) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(field + at));
    __m128i lower = _mm_and_si128(_mm_cmpgt_epi8(bytes, beforeA), _mm_cmplt_epi8(bytes, afterZ));
    __m128i folded = _mm_sub_epi8(bytes, _mm_and_si128(lower, caseBit));
    return _mm_cmpeq_epi8(folded, _mm_loadu_si128(reinterpret_cast<const __m128i*>(folded_[slot] + at)));
  };
  __m128i all = _mm_and_si128(_mm_and_si128(equal(0), equal(16)), _mm_and_si128(equal(32), equal(39)));
  return _mm_movemask_epi8(all) == 0xFFFF;
}
#else
inline bool NameMatcher::ProbeEquals(const char* field, int slot) const {
  const char* at = field + probeAt_[slot];
  return ((LoadWord(at) | kCaseBits) == LoadWord(probe_[slot])) &&
         ((LoadWord(at + 8) | kCaseBits) == LoadWord(probe_[slot] + 8));
}

inline bool NameMatcher::FieldEquals(const char* field, int slot) const {
  const std::uint64_t* want = field_[slot];
  int w = 0;
  while (w < kWords - 1 && FoldWord(LoadWord(field + w * 8)) == want[w]) ++w;
  return w == kWords - 1 && (FoldWord(LoadWord(field + w * 8)) & lastMask_) == want[w];
}
#endif

// A slot matches when the record's whole name field, letter case folded,
// equals the slot's field.
inline int NameMatcher::Match(const char* record) const {
  const char* field = record + kColName;
  for (int i = 0; i < count_; ++i) {
    if (ProbeEquals(field, i) && FieldEquals(field, i)) return slotOf_[i] + 1;
  }
  return 0;
}

// How many of the eight bytes of `field` (as loaded by LoadWord), from the
// first, are digits before one that is not: 0 to 8.
inline int LeadingDigits(std::uint64_t field) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    // A byte is a digit when both its high nibble and that of the byte plus
    // 6 are 3. A carry out of a byte of 0xFA or more only reaches the bytes
    // after it, and that byte is no digit already.
    const std::uint64_t nibbles = (field & 0xF0 * kOnes) | (((field + 0x06 * kOnes) & 0xF0 * kOnes) >> 4);
    const std::uint64_t other = nibbles ^ 0x33 * kOnes;  // non-zero bytes: no digit
    const std::uint64_t flags = (((other & 0x7F * kOnes) + 0x7F * kOnes) | other) & 0x80 * kOnes;
    return flags == 0 ? 8 : std::countr_zero(flags) / 8;
  } else {
    int count = 0;
    while (count < 8 && unsigned(((field >> (56 - 8 * count)) & 0xFF) - '0') <= 9) ++count;
    return count;
  }
}

inline bool ShortFileNumber(const char* record, long* number) {
  const char* digits = record + kColFileName;
  const int count = LeadingDigits(LoadWord(digits));
  if (count == 0 || count == 8) return false;
  long value = 0;
  for (int i = 0; i < count; ++i) value = value * 10 + long(digits[i] - '0');
  *number = value;
  return true;
}

inline bool FileNumberRank(std::uint64_t field, std::uint64_t* rank) {
  const int count = LeadingDigits(field);
  if (count == 0 || count == 8) return false;
  // The digits as a big-endian number: the first one in the top byte.
  std::uint64_t digits = field;
  if constexpr (std::endian::native == std::endian::little) {
    if ((field & 0xFF) == '0') return false;
#if defined(__GNUC__)
    digits = __builtin_bswap64(field);
#else
    digits = 0;
    for (int i = 0; i < 8; ++i) digits |= ((field >> (8 * i)) & 0xFF) << (56 - 8 * i);
#endif
  } else {
    if ((field >> 56) == '0') return false;
  }
  digits &= ~(~std::uint64_t(0) >> (8 * count));
  *rank = (std::uint64_t(count) << 56) | (digits >> 8);
  return true;
}

}  // namespace procdir
