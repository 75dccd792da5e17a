// The procedure index proc.dir: fixed 75-byte records, entries of one to six
// records (one per procedure name) that map names to a numbered procedure
// file. The operations work on the handle that ProcDirOpen returned; they
// read the file afresh on every call and keep nothing between calls.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/types.h"

namespace procdir {

// ProcDirEntry::flags
constexpr std::uint8_t PD_COL0_D = 0x01;      // status letter 'D'
constexpr std::uint8_t PD_COL0_P = 0x02;      // status letter 'P'
constexpr std::uint8_t PD_KIND_E = 0x04;      // kind letter 'E' (procedure)
constexpr std::uint8_t PD_FREE = 0x08;        // the record read is free ('X')
constexpr std::uint8_t PD_PAST_END = 0x10;    // record index at or past the end
constexpr std::uint8_t PD_EXISTS = 0x20;      // an entry holding one of the names exists
constexpr std::uint8_t PD_KIND_H = 0x40;      // kind letter 'H' (sub-procedure)
constexpr std::uint8_t PD_KIND_BLANK = 0x80;  // kind letter blank (set when read)

constexpr int PROCDIR_RECORD_SIZE = 75;
constexpr int PROCDIR_MAX_NAMES = 6;
constexpr int PROCDIR_NAME_LENGTH = 55;
constexpr int PROCDIR_FILE_NAME_LENGTH = 12;
// Record indexes are 16-bit: the index never holds more records than this.
constexpr std::uint32_t PROCDIR_MAX_RECORDS = 65536;

// One entry in memory.
struct ProcDirEntry {
  std::uint16_t first, last, current;  // first and last record; record read at
  std::uint8_t flags;
  char fileName[13];
  std::uint8_t nameCount;
  char names[6][56];
};

// Equal when the first `length` bytes agree, ASCII letters without regard to
// case; every other byte must be identical.
bool ProcDirNamesEqual(const char* a, const char* b, std::size_t length);
// 0 when no descriptor name equals the record's name, else the 1-based slot
// of the first one that does.
int ProcDirMatch(const char* record, const ProcDirEntry& entry);
// Builds the record for name slot `slot` of the entry.
void ProcDirFormatRecord(const ProcDirEntry& entry, int slot, char record[75]);

// Each returns 1 on success, 0 where described, or the answer to the numbered
// message that reports a failure. Callers treat 0 as failure.

// Replaces the whole descriptor with the entry holding record `index`.
int ProcDirReadEntry(platform::HFILE file, unsigned index, ProcDirEntry& entry);
// Finds the first entry carrying one of the descriptor's names (PD_EXISTS),
// or leaves flags 0 when there is none.
int ProcDirFind(platform::HFILE file, ProcDirEntry& entry);
// Points the descriptor at the entry that already holds one of its names
// (PD_EXISTS, nothing written), or appends a new entry under the next file
// number.
int ProcDirAdd(platform::HFILE file, ProcDirEntry& entry);
// Rewrites the existing entry first..last with the descriptor's names under
// the same file name: in place when the entry and the free records after it
// have room, else appended with the old span freed.
int ProcDirReplace(platform::HFILE file, ProcDirEntry& entry);
// Takes the entry first..last out again (its file could not be put in
// place): its records become free records, in one write. The span must still
// hold that entry under the descriptor's file name, else 902 and nothing is
// written.
int ProcDirFree(platform::HFILE file, const ProcDirEntry& entry);

}  // namespace procdir
