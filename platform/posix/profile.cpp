// Initialisation-file reader: [section] headers, key=value lines, ';' comments.
#include "platform/profile.h"
#include "platform/posix/posix_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/change_times.h"
#include "platform/dos_path.h"

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

// A file's keys: folded section -> folded key -> value.
using Profile = std::unordered_map<std::string, std::unordered_map<std::string, std::string>>;

// Lines end in LF, CR LF or CR alone, and a zero byte ends a line's text.
// Sections of the same name count as one: the first occurrence of a key in
// any of them wins. A header needs its ']', a key its '=' and a section
// before it; other lines are skipped.
Profile Parse(const std::string& raw) {
  const std::string text = DecodeProfile(raw);
  Profile profile;
  std::unordered_map<std::string, std::string>* current = nullptr;
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
      if (close != std::string::npos) current = &profile[AsciiLower(Trim(line.substr(1, close - 1)))];
      continue;
    }
    size_t eq = line.find('=');
    if (!current || eq == std::string::npos) continue;
    current->emplace(AsciiLower(Trim(line.substr(0, eq))), Unquote(Trim(line.substr(eq + 1))));
  }
  return profile;
}

// Parsed files, read again only when they changed on disk: device, inode,
// size, modification and change times must all be as when read, and a file
// read too soon after its last change to tell the next one is not kept.
constexpr size_t kMaxFiles = 16;

struct CachedProfile {
  std::string hostFile;
  struct stat st;
  std::uint64_t lastUse;
  std::shared_ptr<const Profile> profile;
};

std::mutex g_cacheMutex;
std::vector<CachedProfile> g_cache;
std::uint64_t g_useClock = 0;

bool Unchanged(const CachedProfile& c, const struct stat& st) {
  return c.st.st_dev == st.st_dev && c.st.st_ino == st.st_ino && c.st.st_size == st.st_size &&
         detail::SameTimes(c.st, st);
}

void Remember(const std::string& hostFile, const struct stat& st, std::shared_ptr<const Profile> profile) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  auto it = std::find_if(g_cache.begin(), g_cache.end(),
                         [&](const CachedProfile& c) { return c.hostFile == hostFile; });
  if (it == g_cache.end()) {
    if (g_cache.size() >= kMaxFiles) {
      it = std::min_element(g_cache.begin(), g_cache.end(), [](const CachedProfile& a, const CachedProfile& b) {
        return a.lastUse < b.lastUse;
      });
    } else {
      it = g_cache.insert(g_cache.end(), CachedProfile{});
    }
  }
  *it = CachedProfile{hostFile, st, ++g_useClock, std::move(profile)};
}

// The parsed file; null when it cannot be opened. A folder or an unreadable
// file reads as empty.
std::shared_ptr<const Profile> Load(const std::string& hostFile) {
  struct stat st;
  if (::stat(hostFile.c_str(), &st) == 0) {
    std::lock_guard<std::mutex> lock(g_cacheMutex);
    for (CachedProfile& c : g_cache) {
      if (c.hostFile != hostFile || !Unchanged(c, st)) continue;
      c.lastUse = ++g_useClock;
      return c.profile;
    }
  }
  timespec readAt{};
  ::clock_gettime(CLOCK_REALTIME, &readAt);
  int fd = ::open(hostFile.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  std::string raw;
  char chunk[65536];
  ssize_t got;
  bool known = ::fstat(fd, &st) == 0;
  while ((got = ::read(fd, chunk, sizeof chunk)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    raw.append(chunk, size_t(got));
  }
  ::close(fd);
  auto profile = std::make_shared<const Profile>(Parse(raw));
  if (known && S_ISREG(st.st_mode) && got == 0 && detail::ChangedLongBefore(st, readAt))
    Remember(hostFile, st, profile);
  return profile;
}

// Looks the key up in a parsed file; true with `value` set when found.
bool FindValue(const Profile* profile, const std::string& section, const std::string& key, std::string& value) {
  if (!profile) return false;
  auto inSection = profile->find(AsciiLower(section));
  if (inSection == profile->end()) return false;
  auto found = inSection->second.find(AsciiLower(key));
  if (found == inSection->second.end()) return false;
  value = found->second;
  return true;
}

// Copies `value` into the caller's buffer, cut to size-1 characters and
// zero-terminated; returns the count stored.
DWORD Store(const std::string& value, char* buffer, DWORD size) {
  DWORD count = DWORD(value.size()) < size - 1 ? DWORD(value.size()) : size - 1;
  std::memcpy(buffer, value.data(), count);
  buffer[count] = 0;
  return count;
}

std::string ProfileHostPath(const char* file) {
  std::string name = file ? file : "";
  if (name.empty()) return "";
  if (name.find_first_of("\\/:") == std::string::npos) name = "C:\\windows\\" + name;
  return HostPath(name);
}

}  // namespace

DWORD posix::GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* file) {
  if (!buffer || size == 0) return 0;
  std::string value = defaultValue ? defaultValue : "";
  std::string host = ProfileHostPath(file);
  if (section && key && !host.empty()) {
    std::string found;
    if (FindValue(Load(host).get(), section, key, found)) value = found;
  }
  return Store(value, buffer, size);
}

DWORD ProfileStringFromText(const std::string& contents, const char* section, const char* key,
                            const char* defaultValue, char* buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  std::string value = defaultValue ? defaultValue : "";
  if (section && key) {
    const Profile profile = Parse(contents);
    std::string found;
    if (FindValue(&profile, section, key, found)) value = found;
  }
  return Store(value, buffer, size);
}

ProfileFile::ProfileFile(const char* file) {
  std::string host = ProfileHostPath(file);
  if (!host.empty()) parsed_ = Load(host);
}

DWORD ProfileFile::GetString(const char* section, const char* key, const char* defaultValue, char* buffer,
                             DWORD size) const {
  if (!buffer || size == 0) return 0;
  std::string value = defaultValue ? defaultValue : "";
  std::string found;
  if (section && key && FindValue(static_cast<const Profile*>(parsed_.get()), section, key, found))
    value = found;
  return Store(value, buffer, size);
}

}  // namespace platform
