// The initialisation-file reader on any file text: every key it can find,
// with buffers of every size, stays inside its buffer, ends in a zero, and
// agrees with the same look-up through a larger buffer.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_host.h"
#include "platform/profile.h"

namespace {

using platform::DWORD;

// Section and key names the text offers: the words between '[' and ']' and
// before '=' (as the reader would trim them or not, both are worth asking).
void Candidates(const std::string& text, std::vector<std::string>* sections, std::vector<std::string>* keys) {
  size_t start = 0;
  while (start < text.size() && keys->size() < 16) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    size_t open = line.find('[');
    if (open != std::string::npos && sections->size() < 8) sections->push_back(line.substr(open + 1, line.find(']', open) - open - 1));
    size_t eq = line.find('=');
    keys->push_back(line.substr(0, eq));
    start = end + 1;
  }
  sections->push_back("startup");
  keys->push_back("procdir");
}

void LookUp(const std::string& text, const char* section, const char* key, DWORD size) {
  std::vector<char> buffer(size + 8, 'Z');
  DWORD count = platform::ProfileStringFromText(text, section, key, "dflt", buffer.data(), size);
  fuzz::Check(count < size, "the count fills the whole buffer");
  fuzz::Check(buffer[count] == 0, "the value is not zero-terminated");
  for (DWORD i = size; i < size + 8; ++i) fuzz::Check(buffer[i] == 'Z', "written past the buffer");
  // A larger buffer holds the same value, cut where the small one cut it.
  std::vector<char> large(4096 + text.size());
  DWORD whole = platform::ProfileStringFromText(text, section, key, "dflt", large.data(), DWORD(large.size()));
  fuzz::Check(count == (whole < size - 1 ? whole : size - 1), "the count does not follow the buffer size");
  fuzz::Check(std::memcmp(buffer.data(), large.data(), count) == 0, "a smaller buffer holds another value");
  fuzz::Check(count == std::strlen(buffer.data()), "the count disagrees with the zero-terminated value");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // Two bytes pick the section and key asked for, the rest is the file.
  const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::vector<std::string> sections, keys;
  Candidates(text, &sections, &keys);
  const std::string& section = sections[data[0] % sections.size()];
  const std::string& key = keys[data[1] % keys.size()];
  for (DWORD bufferSize : {1u, 13u, 260u}) LookUp(text, section.c_str(), key.c_str(), bufferSize);
  return 0;
}
