// Opening a shared file that may be busy: retries with the wait cursor, then
// the operator's Retry or Cancel.
#include <string>

#include "installer/procdir/procdir_messages.h"
#include "installer/procdir/procdir_open.h"
#include "installer/procdir/procdir_testing.h"
#include "platform/hfile.h"
#include "platform/process.h"
#include "text/text.h"
#include "ui/dialog.h"
#include "ui/msgbox.h"

namespace procdir {

using namespace platform;

namespace {

constexpr int kAttempts = 5;
constexpr unsigned kAttemptWait = 500;  // ms after each busy attempt

}  // namespace

int ProcDirOpenFailureMessage(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return procdir::msg::kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
      return procdir::msg::kPathNotFound;
    case ERROR_ACCESS_DENIED:
      return procdir::msg::kAccessDenied;
    case ERROR_WRITE_PROTECT:
      return procdir::msg::kWriteProtected;
    case ERROR_CANT_ACCESS_FILE:
      return procdir::msg::kIndexIsLink;
    case ERROR_BAD_FILE_TYPE:
      return procdir::msg::kIndexNotFile;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_NETWORK_BUSY:
    case ERROR_NETWORK_ACCESS_DENIED:
      return 0;
    default:
      return procdir::msg::kOpenUnexpected;
  }
}

namespace {

std::string SharingViolationText(const char* path) {
  std::string text = "Sharing violation accessing file \"";
  text += path;
  text += "\".";
  text += char(10);
  text += "Close the file in use by another application and retry, or cancel the operation.";
  return text;
}

}  // namespace

HFILE OpenFileWithRetry(const char* path, UINT style) {
  const char* name = path != nullptr ? path : "";
  SetWaitCursor(true);
  int attempts = 0;
  for (;;) {
    OFSTRUCT of;
    HFILE file = OpenFile(name, &of, style);
    if (file != HFILE_ERROR) {
      SetWaitCursor(false);
      return file;
    }
    DWORD error = of.nErrCode != 0 ? of.nErrCode : GetLastError();
    int message = ProcDirOpenFailureMessage(error);
    if (message != 0) {
      SetWaitCursor(false);
      errp(message, name);
      return HFILE_ERROR;
    }
    PumpMessages(kAttemptWait);
    if (++attempts < kAttempts) continue;

    SetWaitCursor(false);
    int answer = ui::MessageBox(SharingViolationText(name), "Sharing Violation",
                                ui::MB_ICONEXCLAMATION | ui::MB_RETRYCANCEL);
    if (answer != ui::IDRETRY) return HFILE_ERROR;
    SetWaitCursor(true);
    attempts = 0;
  }
}

int PumpMessages(unsigned milliseconds) {
  if (milliseconds == 0) return 1;
  // The frontend waits for its events with short timeouts rather than
  // spinning; the full time always passes.
  DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return 1;
    ui::PumpMessages(milliseconds - elapsed);
  }
}

int SetWaitCursor(bool on) { return ui::SetWaitCursor(on); }

}  // namespace procdir
