#include "installer/catalogue/list_file_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

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
  // Copies the runs between the CRs that stand before an LF, whole.
  std::size_t from = 0;
  while (from < bytes.size()) {
    const void* cr = std::memchr(bytes.data() + from, '\r', bytes.size() - from);
    const std::size_t at = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - bytes.data()) : bytes.size();
    text_.append(bytes.data() + from, at - from);
    if (at == bytes.size()) break;
    if (at + 1 >= bytes.size() || bytes[at + 1] != '\n') text_ += '\r';
    from = at + 1;
  }
  pos_ = 0;
  lineNumber_ = 1;
}

bool ListFileReader::ReadLine(std::string& line) {
  line.clear();
  if (!More()) return false;
  const std::size_t start = pos_;
  const std::size_t span = std::min(text_.size() - start, kPieceLength);
  const void* feed = std::memchr(text_.data() + start, '\n', span);
  pos_ = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - text_.data()) : start + span;
  line.assign(text_, start, pos_ - start);
  // A full piece leaves its line end in place: it ends the next, empty piece.
  if (pos_ - start < kPieceLength && pos_ < text_.size()) {
    ++pos_;  // the line feed
    ++lineNumber_;
  }
  return true;
}

}  // namespace catalogue
