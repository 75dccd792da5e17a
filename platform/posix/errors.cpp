// The thread's last error number and its readable text.
#include <cstdio>
#include <cstring>

#include "platform/hfile.h"
#include "platform/posix/posix_calls.h"

namespace platform {

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;

const char* ErrorText(DWORD error) {
  switch (error) {
    case 0: return "The operation completed successfully.";
    case 1: return "Incorrect function.";
    case 2: return "The system cannot find the file specified.";
    case 3: return "The system cannot find the path specified.";
    case 5: return "Access is denied.";
    case 6: return "The handle is invalid.";
    case 8: return "Not enough memory resources are available to process this command.";
    case 11: return "An attempt was made to load a program with an incorrect format.";
    case 17: return "The system cannot move the file to a different disk drive.";
    case 18: return "There are no more files.";
    case 19: return "The media is write protected.";
    case 32: return "The process cannot access the file because it is being used by another process.";
    case 33: return "The process cannot access the file because another process has locked a portion of the file.";
    case 39: return "The disk is full.";
    case 50: return "The request is not supported.";
    case 54: return "The network is busy.";
    case 65: return "Network access is denied.";
    case 80: return "The file exists.";
    case 87: return "The parameter is incorrect.";
    case 112: return "There is not enough space on the disk.";
    case 122: return "The data area passed to a system call is too small.";
    case 145: return "The directory is not empty.";
    case 183: return "Cannot create a file when that file already exists.";
    case 206: return "The filename or extension is too long.";
    case 222: return "The file is not a regular file.";
    case 1117: return "The request could not be performed because of an I/O device error.";
    case 1920: return "The file cannot be accessed by the system.";
    default: return nullptr;
  }
}
}  // namespace

DWORD posix::GetLastError() { return t_lastError; }

void posix::SetLastError(DWORD error) { t_lastError = error; }

DWORD posix::FormatMessageA(DWORD flags, const void* source, DWORD messageId, DWORD languageId, char* buffer,
                     DWORD size, void* arguments) {
  (void)source;
  (void)languageId;
  (void)arguments;
  if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer || size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  char generic[64];
  const char* text = ErrorText(messageId);
  if (!text) {
    std::snprintf(generic, sizeof generic, "Unknown error %u.", unsigned(messageId));
    text = generic;
  }
  size_t count = std::strlen(text);
  if (count > size - 1) count = size - 1;
  std::memcpy(buffer, text, count);
  buffer[count] = 0;
  return DWORD(count);
}

}  // namespace platform
