#include "tools/mkmedia/host_files.h"

#include <filesystem>
#include <fstream>

namespace mkmedia {

bool ReadHostFile(const std::string& path, std::string* contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  contents->clear();
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    contents->append(buffer, static_cast<std::size_t>(in.gcount()));
  return in.eof() && !in.bad();
}

bool WriteHostFile(const std::string& path, const std::string& contents, unsigned mode) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(contents.data(), static_cast<std::streamsize>(contents.size()))) return false;
    out.close();
    if (!out) return false;
  }
  std::error_code ec;
  std::filesystem::permissions(path, static_cast<std::filesystem::perms>(mode) & std::filesystem::perms::mask,
                               std::filesystem::perm_options::replace, ec);
  return !ec;
}

bool MakeHostDirs(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return std::filesystem::is_directory(path, ec);
}

bool IsEmptyFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec) && std::filesystem::is_empty(path, ec) && !ec;
}

}  // namespace mkmedia
