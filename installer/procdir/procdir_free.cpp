// Taking an entry out of the index again: its records become free records.
#include <cstring>
#include <vector>

#include "installer/procdir/procdir_io.h"
#include "installer/procdir/procdir_messages.h"
#include "installer/procdir/procdir_record.h"
#include "text/text.h"

namespace procdir {

using namespace platform;
using namespace procdir;

int ProcDirFree(HFILE file, const ProcDirEntry& entry) {
  constexpr std::size_t kSize = PROCDIR_RECORD_SIZE;
  if (entry.last < entry.first || entry.last - entry.first >= PROCDIR_MAX_NAMES) return errp(procdir::msg::kRead);
  const std::uint32_t span = std::uint32_t(entry.last) - entry.first + 1;
  const std::size_t wanted = strnlen(entry.fileName, PROCDIR_FILE_NAME_LENGTH);

  // The span must still be the entry the descriptor names, whole.
  std::vector<char> old(span * kSize);
  for (std::uint32_t i = 0; i < span; ++i) {
    char* record = old.data() + i * kSize;
    Outcome read = ReadRecordAt(file, entry.first + i, record);
    if (!read.ok) return read.answer;
    bool first = i == 0, last = i + 1 == span;
    if (IsFree(record) || IsFirst(record) != first || IsLast(record) != last ||
        std::memcmp(record + kColFileName, entry.fileName, wanted) != 0 || record[kColFileName + wanted] != ' ')
      return errp(procdir::msg::kRead);
  }

  // One write over the span; a short one puts the entry back.
  std::vector<char> freed(span * kSize);
  for (std::uint32_t i = 0; i < span; ++i) FormatFreeRecord(freed.data() + i * kSize);
  Outcome write = WriteRecordsAt(file, entry.first, freed.data(), span, old.data(), nullptr);
  return write.ok ? 1 : write.answer;
}

}  // namespace procdir
