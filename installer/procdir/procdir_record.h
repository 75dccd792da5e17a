// Fields of one 75-byte record of proc.dir.
#pragma once
#include <cstddef>

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
long RecordFileNumber(const char* record);
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

// ProcDirMatch for many records against one descriptor: the names' lengths
// and upper-case forms are worked out once.
class NameMatcher {
 public:
  explicit NameMatcher(const ProcDirEntry& entry);
  // As ProcDirMatch(record, entry).
  int Match(const char* record) const;

 private:
  int count_ = 0;
  std::size_t length_[PROCDIR_MAX_NAMES] = {};
  char upper_[PROCDIR_MAX_NAMES][PROCDIR_NAME_LENGTH] = {};
};

}  // namespace procdir
