// Reads the catalogue list file line by line, the way the catalogue sees it:
// a carriage return directly before a line feed is dropped (the file may come
// with either line end), and a line of 79 characters or more comes in pieces
// of 79 characters followed by the rest, which is empty when the length is a
// multiple of 79. Every other byte, a lone carriage return included, is part
// of its line. Never reads past the end of the text.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace catalogue {

class ListFileReader {
 public:
  static constexpr std::size_t kPieceLength = 79;

  // Reads the whole file at the DOS path `path`; false when it cannot be
  // opened or read (the reader is then empty).
  bool Open(const char* path);
  // Takes `bytes` as the file's contents.
  void Assign(std::string_view bytes);

  // True while at least one more character is left.
  bool More() const { return pos_ < text_.size(); }
  // The next line or piece; false (and an empty line) at the end of the text.
  bool ReadLine(std::string& line);
  // Number of the file line (from 1) where the next read begins.
  int LineNumber() const { return lineNumber_; }

 private:
  std::string text_;
  std::size_t pos_ = 0;
  int lineNumber_ = 1;
};

}  // namespace catalogue
