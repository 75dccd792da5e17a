// The transcript file: opened per line with O_APPEND and written with one
// write(), so lines of threads and of programs started by WinExec never mix.
#include "platform/transcript.h"

#ifdef _WIN32
#include "platform/win32/win32_host.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstdlib>

namespace platform {

namespace {
const char* TranscriptFile() {
  const char* path = std::getenv("ORVIK_TRANSCRIPT");
  return (path && *path) ? path : nullptr;
}
}  // namespace

bool TranscriptEnabled() { return TranscriptFile() != nullptr; }

void TranscriptLine(const std::string& line) {
  const char* path = TranscriptFile();
  if (!path) return;
#ifdef _WIN32
  win32::AppendToFile(path, line + "\n");
#else
  int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return;
  std::string text = line + "\n";
  ssize_t written = ::write(fd, text.data(), text.size());
  (void)written;  // a transcript that cannot be written is not the program's failure
  ::close(fd);
#endif
}

std::string TranscriptQuote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  out += '"';
  return out;
}

}  // namespace platform
