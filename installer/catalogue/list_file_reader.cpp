#include "installer/catalogue/list_file_reader.h"

#include <cstdio>

#include "platform/dos_path.h"

namespace catalogue {

bool ListFileReader::Open(const char* path) {
  Assign("");
  if (path == nullptr) return false;
  const std::string host = platform::HostPath(path);
  if (host.empty()) return false;
  std::FILE* file = std::fopen(host.c_str(), "rb");
  if (file == nullptr) return false;
  std::string bytes;
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(file) != 0;  // a folder, or a read error
  std::fclose(file);
  if (failed) return false;
  Assign(bytes);
  return true;
}

void ListFileReader::Assign(std::string_view bytes) {
  text_.clear();
  text_.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text_ += bytes[i];
  }
  pos_ = 0;
  lineNumber_ = 1;
}

bool ListFileReader::ReadLine(std::string& line) {
  line.clear();
  if (!More()) return false;
  const std::size_t start = pos_;
  while (pos_ < text_.size() && text_[pos_] != '\n' && pos_ - start < kPieceLength) ++pos_;
  line.assign(text_, start, pos_ - start);
  // A full piece leaves its line end in place: it ends the next, empty piece.
  if (pos_ - start < kPieceLength && pos_ < text_.size()) {
    ++pos_;  // the line feed
    ++lineNumber_;
  }
  return true;
}

}  // namespace catalogue
