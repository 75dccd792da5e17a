#include "tools/mkmedia/pe_link_time.h"

#include <cstdint>

namespace mkmedia {

namespace {

// Offset of the "PE\0\0" signature, or 0 when `s` is no PE file with a whole
// optional header up to its checksum.
std::size_t PeHeader(const std::string& s) {
  if (s.size() < 0x40 || s.compare(0, 2, "MZ") != 0) return 0;
  std::size_t pe = Le32(s, 0x3c);
  if (pe == 0 || pe > s.size() || s.size() - pe < 24 + 68 || s.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
    return 0;
  return pe;
}

// The PE checksum: 16-bit words summed with end-around carry, the checksum
// field left out, plus the file's length.
std::uint32_t Checksum(const std::string& s, std::size_t checksumAt) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < s.size(); i += 2) {
    if (i == checksumAt || i == checksumAt + 2) continue;
    std::uint32_t word = static_cast<unsigned char>(s[i]);
    if (i + 1 < s.size()) word |= static_cast<std::uint32_t>(static_cast<unsigned char>(s[i + 1])) << 8;
    sum += word;
    sum = (sum & 0xffff) + (sum >> 16);
  }
  sum = (sum & 0xffff) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + s.size());
}

}  // namespace

std::uint32_t Le32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  return v;
}

void PutLe32(std::string* s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) (*s)[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i) & 0xff);
}

void KeepLinkTime(const std::string& original, std::string* stripped) {
  std::size_t from = PeHeader(original), to = PeHeader(*stripped);
  if (from == 0 || to == 0) return;
  PutLe32(stripped, to + 8, Le32(original, from + 8));
  const std::size_t checksumAt = to + 24 + 64;
  if (Le32(*stripped, checksumAt) != 0) PutLe32(stripped, checksumAt, Checksum(*stripped, checksumAt));
}

}  // namespace mkmedia
