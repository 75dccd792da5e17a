// Initialisation-file reader: [section] headers, key=value lines, ';' comments.
#include "platform/profile.h"

#include <cstdio>
#include <cstring>
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

void AppendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | (code >> 6));
    out += char(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += char(0xE0 | (code >> 12));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xF0 | (code >> 18));
    out += char(0x80 | ((code >> 12) & 0x3F));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

// UTF-16 text after its mark as this host's 8-bit text (UTF-8); a lone
// surrogate becomes '?', an odd last byte is dropped.
std::string FromUtf16(const std::string& raw, bool bigEndian) {
  std::string out;
  out.reserve(raw.size() / 2);
  auto unit = [&](size_t i) {
    unsigned char a = static_cast<unsigned char>(raw[i]), b = static_cast<unsigned char>(raw[i + 1]);
    return bigEndian ? (unsigned(a) << 8 | b) : (unsigned(b) << 8 | a);
  };
  for (size_t i = 2; i + 1 < raw.size(); i += 2) {
    unsigned long code = unit(i);
    if (code >= 0xD800 && code < 0xDC00 && i + 3 < raw.size()) {
      unsigned low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (code >= 0xD800 && code < 0xE000) code = '?';
    AppendUtf8(out, code);
  }
  return out;
}

// The file's text: a UTF-8 byte-order mark is dropped, UTF-16 with its mark
// (either byte order) is decoded; anything else is taken byte for byte.
std::string DecodeProfile(const std::string& raw) {
  if (raw.compare(0, 3, "\xEF\xBB\xBF") == 0) return raw.substr(3);
  if (raw.compare(0, 2, "\xFF\xFE") == 0) return FromUtf16(raw, false);
  if (raw.compare(0, 2, "\xFE\xFF") == 0) return FromUtf16(raw, true);
  return raw;
}

// Looks the key up; true with `value` set when found. Lines end in LF, CR
// LF or CR alone, and a zero byte ends a line's text. Sections of the same
// name count as one: the first occurrence of the key in any of them wins.
// A header needs its ']', a key its '='; other lines are skipped.
bool FindValue(const std::string& hostFile, const std::string& section, const std::string& key,
               std::string& value) {
  std::FILE* in = std::fopen(hostFile.c_str(), "rb");
  if (in == nullptr) return false;
  std::string raw;
  char chunk[4096];
  size_t got;
  // A folder or an unreadable file reads as empty.
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) raw.append(chunk, got);
  std::fclose(in);
  const std::string text = DecodeProfile(raw);
  bool inSection = false;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    line = Trim(line.substr(0, line.find('\0')));
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      if (close != std::string::npos) inSection = detail::EqualNoCase(Trim(line.substr(1, close - 1)), section);
      continue;
    }
    size_t eq = line.find('=');
    if (!inSection || eq == std::string::npos) continue;
    if (!detail::EqualNoCase(Trim(line.substr(0, eq)), key)) continue;
    value = Unquote(Trim(line.substr(eq + 1)));
    return true;
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

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* file) {
  if (!buffer || size == 0) return 0;
  std::string value = defaultValue ? defaultValue : "";
  std::string host = ProfileHostPath(file);
  if (section && key && !host.empty()) {
    std::string found;
    if (FindValue(host, section, key, found)) value = found;
  }
  DWORD count = DWORD(value.size()) < size - 1 ? DWORD(value.size()) : size - 1;
  std::memcpy(buffer, value.data(), count);
  buffer[count] = 0;
  return count;
}

}  // namespace platform
