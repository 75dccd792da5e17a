// Initialisation-file reader: [section] headers, key=value lines, ';' comments.
#include "platform/profile.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/dos_path.h"
#include "platform/host.h"

namespace platform {

namespace {

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

// Looks the key up in the file's text; true with `value` set when found.
bool FindValue(const std::string& contents, const std::string& section, const std::string& key,
               std::string& value) {
  std::istringstream in(contents);
  std::string line;
  bool inSection = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string text = Trim(line);
    if (text.empty() || text[0] == ';') continue;
    if (text[0] == '[') {
      size_t close = text.find(']');
      std::string name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      inSection = detail::EqualNoCase(name, section);
      continue;
    }
    if (!inSection) continue;
    size_t eq = text.find('=');
    std::string name = Trim(text.substr(0, eq));
    if (!detail::EqualNoCase(name, key)) continue;
    value = eq == std::string::npos ? "" : Unquote(Trim(text.substr(eq + 1)));
    return true;  // the first occurrence wins, also over a repeated section
  }
  return false;
}

std::string ProfileHostPath(const char* file) {
  std::string name = file ? file : "";
  if (name.empty()) return "";
  if (name.find_first_of("\\/:") == std::string::npos) name = "C:\\windows\\" + name;
  return HostPath(name);
}

}  // namespace

DWORD ProfileStringFromText(const std::string& contents, const char* section, const char* key,
                            const char* defaultValue, char* buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  std::string value = defaultValue ? defaultValue : "";
  if (section && key) {
    std::string found;
    if (FindValue(contents, section, key, found)) value = found;
  }
  // The value is a zero-terminated text: a zero byte in the file ends it, so
  // the count returned is always the length of the text stored.
  value.resize(std::strlen(value.c_str()));
  DWORD count = DWORD(value.size()) < size - 1 ? DWORD(value.size()) : size - 1;
  std::memcpy(buffer, value.data(), count);
  buffer[count] = 0;
  return count;
}

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* file) {
  if (!buffer || size == 0) return 0;
  std::string host = ProfileHostPath(file);
  std::string contents;
  bool readable = false;
  if (!host.empty()) {
    std::ifstream in(host, std::ios::binary);
    if (in) {
      std::ostringstream bytes;
      bytes << in.rdbuf();
      contents = bytes.str();
      readable = true;
    }
  }
  // A missing file gives the default, as a file without the key does.
  return ProfileStringFromText(contents, readable ? section : nullptr, key, defaultValue, buffer, size);
}

}  // namespace platform
