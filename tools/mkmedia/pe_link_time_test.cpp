// A stripped Windows program gets back its link time and a checksum that
// matches its bytes; other files are left alone.
#include <gtest/gtest.h>

#include <cstdint>

#include "tools/mkmedia/pe_link_time.h"

namespace mkmedia {
namespace {

// A PE file of 257 bytes (an odd length): headers at 0x40, link time at
// 0x48, checksum at 0x98, the other bytes a pattern.
constexpr std::size_t kTime = 0x48, kChecksum = 0x98;
std::string Pe(std::uint32_t time, std::uint32_t checksum) {
  std::string s(0x101, '\0');
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char>(i * 7);
  s.replace(0, 2, "MZ");
  PutLe32(&s, 0x3c, 0x40);
  s.replace(0x40, 4, std::string("PE\0\0", 4));
  PutLe32(&s, kTime, time);
  PutLe32(&s, kChecksum, checksum);
  return s;
}

TEST(PeLinkTime, TakesTheOriginalTimeAndRecomputesTheChecksum) {
  std::string stripped = Pe(0x55667788, 0xdead);
  KeepLinkTime(Pe(0x11223344, 0), &stripped);
  EXPECT_EQ(Le32(stripped, kTime), 0x11223344u);
  // The checksum of these bytes, worked out apart from the code.
  EXPECT_EQ(Le32(stripped, kChecksum), 0xa1c0u);
  EXPECT_EQ(stripped.substr(0, kTime), Pe(0, 0).substr(0, kTime));

  // A file without a checksum gets none.
  std::string unchecked = Pe(0x55667788, 0);
  KeepLinkTime(Pe(0x11223344, 0xbeef), &unchecked);
  EXPECT_EQ(unchecked, Pe(0x11223344, 0));
}

TEST(PeLinkTime, LeavesOtherFilesAlone) {
  std::string elf = "\x7f" "ELF" + std::string(300, 'x');
  std::string pe = Pe(1, 2);
  std::string copy = pe;
  KeepLinkTime(elf, &copy);
  EXPECT_EQ(copy, pe);
  std::string elfCopy = elf;
  KeepLinkTime(pe, &elfCopy);
  EXPECT_EQ(elfCopy, elf);
  // A header pointing past the end of the file.
  std::string cut = pe.substr(0, 0x60);
  KeepLinkTime(Pe(9, 9), &cut);
  EXPECT_EQ(cut, pe.substr(0, 0x60));
}

}  // namespace
}  // namespace mkmedia
