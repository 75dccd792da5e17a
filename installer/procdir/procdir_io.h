// Record positioning, reading and writing for the index operations, each
// failure reported with its numbered message.
#pragma once
#include <cstdint>

#include "installer/procdir/procdir_entry.h"

namespace procdir {

// An operation's outcome: done, or stopped with the value to return (the
// answer to the message that reported why, or 0).
struct Outcome {
  bool ok;
  int answer;
  static Outcome Done() { return {true, 1}; }
  static Outcome Stopped(int answer) { return {false, answer}; }
};

// Seeks to record `index` (message 901).
Outcome SeekRecord(platform::HFILE file, std::uint32_t index);
// Reads record `index` into `record` (901, 902).
Outcome ReadRecordAt(platform::HFILE file, std::uint32_t index, char* record);
// Writes `count` records at record `index` with one write. When the write
// comes back short, the records it reached are put back as `undo` holds them
// (or made free where `undo` is null: records that did not exist before).
// `grown` receives how many whole records the file gained. No message.
enum class PutResult { kDone, kSeekFailed, kShortWrite };
PutResult PutRecords(platform::HFILE file, std::uint32_t index, const char* records,
                     std::uint32_t count, const char* undo, std::uint32_t* grown);
// PutRecords with its failure reported (901, 904).
Outcome WriteRecordsAt(platform::HFILE file, std::uint32_t index, const char* records,
                       std::uint32_t count, const char* undo, std::uint32_t* grown);
// The message for a failed PutRecords.
Outcome ReportPut(PutResult result);
// Number of records the file holds now (size / 75, partial record not counted),
// or -1 when the end cannot be found.
long long RecordsInFile(platform::HFILE file);

// ProcDirReadEntry with the success kept apart from the message's answer.
Outcome ReadEntryAt(platform::HFILE file, std::uint32_t index, ProcDirEntry& entry);

}  // namespace procdir
