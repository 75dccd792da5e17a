// The procedure files that an index update puts into the procedure
// directory, prepared before the update registers anything. A staged file
// used once is moved from the scratch folder onto its numbered target (both
// lie in the procedure directory's volume); one that is used again, or is no
// plain file, is copied whole into a part file beside the index instead. One
// flush of the volume then puts all of them on the disk, and each is renamed
// over its target when its item's turn comes: a target is only ever replaced
// in one step, by a whole file whose data are on the disk, and the update
// makes one flush instead of one per file.
//
// Part files are made, renamed and removed only while the index is held for
// writing, so no other installer can be using one: the parts that a run left
// when it stopped are removed by the next update.
#pragma once
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace registration {

class ProcedureCopies {
 public:
  // `procDir` ends in a backslash.
  explicit ProcedureCopies(std::string procDir) : procDir_(std::move(procDir)) {}
  ~ProcedureCopies();
  ProcedureCopies(const ProcedureCopies&) = delete;
  ProcedureCopies& operator=(const ProcedureCopies&) = delete;

  // Removes the part files of updates that stopped before they ended.
  void RemoveLeftovers();
  // Takes `source` for a copy; returns the copy's number (0, 1, ... in the
  // order added).
  std::size_t Add(const std::string& source);
  // Makes the part files of the copies that need one and puts every file
  // to be renamed on the disk: one flush of the volume, or, where that
  // fails, one per file. A copy whose file cannot be read, written or
  // flushed keeps its error for PutInPlace.
  void Prepare();
  // Renames copy `copy` over `target` (replacing it in one step). FALSE with
  // `error` when the copy failed or the rename does; the target is then as
  // it was.
  platform::BOOL PutInPlace(std::size_t copy, const std::string& target, platform::DWORD* error);

 private:
  struct Copy {
    std::string source;
    std::string part;           // the part file; empty when moved or gone
    bool move = false;          // the staged file itself is renamed
    platform::DWORD error = 0;  // why there is nothing to rename
  };

  void CopyIntoPart(Copy& copy);
  // Flushes one file by its path; FALSE with the last error set.
  platform::BOOL FlushOne(const std::string& path);
  void Fail(Copy& copy, platform::DWORD error);

  std::string procDir_;
  std::vector<Copy> copies_;
  std::vector<char> buffer_;
  unsigned nextName_ = 0;
};

}  // namespace registration
