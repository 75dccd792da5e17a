// A diagnostic text file opened for appending lines: created when missing,
// never truncated, positioned at its end, and held exclusively (no other
// opener, in this process or another) while it is open. Each write goes
// straight to the file, unbuffered, so what was written is on the file at
// once. When the file cannot be opened every line is dropped without a word.
#pragma once
#include <string>

#include "platform/types.h"

namespace catalogue {

class LineFile {
 public:
  LineFile() = default;
  ~LineFile() { Close(); }
  LineFile(const LineFile&) = delete;
  LineFile& operator=(const LineFile&) = delete;

  // Opens (or creates) the file at the DOS path `path`; false when it cannot.
  bool Open(const char* path);
  bool IsOpen() const { return file_ != platform::HFILE_ERROR; }
  // Writes `text` and "\n"; nothing when the file is not open.
  void WriteLine(const std::string& text);
  // Writes `lines` (whole lines, each with its "\n") in one write.
  void WriteLines(const std::string& lines);
  void Close();

 private:
  platform::HFILE file_ = platform::HFILE_ERROR;
};

}  // namespace catalogue
