// The open-index slot: ProcDirOpen and ProcDirClose.
#include "installer/procdir/procdir_open.h"

#include <cstring>
#include <string>
#include <utility>

#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_messages.h"
#include "installer/procdir/procdir_testing.h"
#include "platform/files.h"
#include "platform/flush.h"
#include "platform/hfile.h"
#include "text/text.h"

namespace procdir {

using namespace platform;

namespace {

struct OpenSlot {
  bool open = false;
  bool writable = false;
  std::string path;
  std::uint32_t recordCount = 0;
};

OpenSlot& Slot() {
  static OpenSlot slot;
  return slot;
}

SizeQuery& SizeQueryFn() {
  static SizeQuery query;
  return query;
}

DWORD QuerySize(HFILE file, DWORD* high) {
  if (SizeQueryFn()) return SizeQueryFn()(file, high);
  return GetFileSize(file, high);
}

constexpr std::uint64_t kMaxSize = std::uint64_t(PROCDIR_RECORD_SIZE) * PROCDIR_MAX_RECORDS;

// Gives up on a file that failed a check after it was opened.
HFILE Abandon(HFILE file) {
  _lclose(file);
  Slot().open = false;
  Slot().path.clear();
  return HFILE_ERROR;
}

}  // namespace

HFILE ProcDirOpen(const char* path, const char* mode) {
  using namespace procdir::msg;
  OpenSlot& slot = Slot();
  const char* asked = path != nullptr ? path : "";
  if (slot.open) {
    errp(kAlreadyOpen, asked, slot.path.c_str());
    return HFILE_ERROR;
  }

  // The index is never opened through a symbolic link: one planted in its
  // place (on a shared folder anyone may write) would lead the writes
  // anywhere. It is refused with message 927.
  UINT style;
  if (mode != nullptr && std::strcmp(mode, "r") == 0) {
    style = OF_READ | OF_SHARE_DENY_WRITE | OF_NOFOLLOW;
  } else if (mode != nullptr && std::strcmp(mode, "w") == 0) {
    // Never truncating: another installer may have made and filled the
    // index since the test.
    if (asked[0] == '\0' || _access(asked, 0) != 0) {
      // Only ever a new file: not through a dangling link, and not over an
      // index that another workstation made meanwhile.
      OFSTRUCT of;
      HFILE created = OpenFile(asked, &of, OF_CREATE | OF_CREATE_NEW | OF_WRITE | OF_SHARE_DENY_NONE);
      if (created != HFILE_ERROR) _lclose(created);
    }
    style = OF_READWRITE | OF_SHARE_DENY_WRITE | OF_NOFOLLOW;
  } else {
    errp(kBadMode, mode != nullptr ? mode : "");
    return HFILE_ERROR;
  }

  HFILE file = OpenFileWithRetry(asked, style);
  if (file == HFILE_ERROR) {
    errp(kOpenFailed, asked);
    return HFILE_ERROR;
  }
  slot.open = true;

  DWORD high = 0;
  DWORD low = QuerySize(file, &high);
  std::uint64_t size = 0;
  bool known = true;
  if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
    errp(kSizeHandle, int(file));
    if (errp(kSizeUnknown) == 0) return Abandon(file);
    // Accepted as it is: take the size from the end position if there is one.
    LONG end = _llseek(file, 0, 2);
    known = end != HFILE_ERROR;
    if (known) size = std::uint64_t(end);
  } else {
    size = (std::uint64_t(high) << 32) | low;
  }
  if (known) {
    if (size % PROCDIR_RECORD_SIZE != 0 && errp(kSizeNotRecords) == 0) return Abandon(file);
    if (size > kMaxSize && errp(kTooLarge) == 0) return Abandon(file);
  }

  std::uint64_t records = size / PROCDIR_RECORD_SIZE;
  slot.recordCount = records > 0xFFFFFFFFu ? 0xFFFFFFFFu : std::uint32_t(records);
  slot.path = asked;
  slot.writable = (style & OF_READWRITE) != 0;
  return file;
}

int ProcDirClose(HFILE handle) {
  OpenSlot& slot = Slot();
  if (!slot.open) return 1;
  int result = 1;
  // The records written in place reach the disk while the lock still keeps
  // every other writer out.
  bool flushed = !slot.writable || FlushFileBuffers(handle);
  if (!flushed) result = errp(procdir::msg::kCloseFailed, slot.path.c_str());
  if (_lclose(handle) == HFILE_ERROR && flushed) result = errp(procdir::msg::kCloseFailed, slot.path.c_str());
  slot.path.clear();
  slot.open = false;
  slot.writable = false;
  slot.recordCount = 0;
  return result != 0 ? 1 : 0;
}

std::uint32_t ProcDirRecordCount() { return Slot().recordCount; }

void ProcDirRecordsAppended(std::uint32_t count) { Slot().recordCount += count; }

bool ProcDirIsOpen() { return Slot().open; }

const char* ProcDirOpenPath() { return Slot().path.c_str(); }

void ProcDirSetSizeQueryForTesting(SizeQuery query) { SizeQueryFn() = std::move(query); }

}  // namespace procdir
