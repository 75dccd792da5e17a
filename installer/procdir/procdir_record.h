// Fields of one 75-byte record of proc.dir.
#pragma once
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
inline bool ShortFileNumber(const char* record, long* number) {
  const char* digits = record + kColFileName;
  long value = 0;
  for (int i = 0; i < 8; ++i) {
    unsigned digit = unsigned(digits[i] - '0');
    if (digit > 9) {
      *number = value;
      return i > 0;
    }
    value = value * 10 + long(digit);
  }
  return false;
}
inline long RecordFileNumber(const char* record) {
  long number = 0;
  return ShortFileNumber(record, &number) ? number : RecordFileNumberSlow(record);
}

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
// as it goes.
class NameMatcher {
 public:
  explicit NameMatcher(const ProcDirEntry& entry);
  // As ProcDirMatch(record, entry).
  int Match(const char* record) const;

 private:
  static constexpr int kWords = 7;  // the 55-byte field in 8-byte words
  // The last word holds seven bytes of the field and column 73.
  static constexpr int kLastWordBytes = PROCDIR_NAME_LENGTH - (kWords - 1) * 8;
  static constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  static constexpr std::uint64_t kHigh = 0x8080808080808080ull;

  // ASCII a-z to A-Z in all eight bytes at once; every other byte unchanged.
  static std::uint64_t FoldWord(std::uint64_t word) {
    std::uint64_t low7 = word & ~kHigh;
    std::uint64_t atLeastA = low7 + (0x80 - 'a') * kOnes;
    std::uint64_t aboveZ = low7 + (0x80 - 'z' - 1) * kOnes;
    std::uint64_t lower = atLeastA & ~aboveZ & ~word & kHigh;
    return word ^ (lower >> 2);
  }

  bool FieldEquals(const char* field, int slot) const;

  int count_ = 0;
  std::size_t length_[PROCDIR_MAX_NAMES] = {};
  bool never_[PROCDIR_MAX_NAMES] = {};  // ends in a blank: no record name does
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
inline bool NameMatcher::FieldEquals(const char* field, int slot) const {
  const std::uint64_t* want = field_[slot];
  int w = 0;
  while (w < kWords - 1 && FoldWord(LoadWord(field + w * 8)) == want[w]) ++w;
  return w == kWords - 1 && (FoldWord(LoadWord(field + w * 8)) & lastMask_) == want[w];
}
#endif

// A slot matches when the record's whole name field, letter case folded,
// equals the slot's field. The two bytes around the end of the name reject
// most records before any comparison.
inline int NameMatcher::Match(const char* record) const {
  const char* field = record + kColName;
  for (int i = 0; i < count_; ++i) {
    std::size_t n = length_[i];
    if (never_[i]) continue;
    if (n > 0 && field[n - 1] == ' ') continue;
    if (n < std::size_t(PROCDIR_NAME_LENGTH) && field[n] != ' ') continue;
    if (FieldEquals(field, i)) return i + 1;
  }
  return 0;
}

}  // namespace procdir
