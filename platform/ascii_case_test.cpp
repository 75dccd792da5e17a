#include "platform/ascii_case.h"

#include <gtest/gtest.h>

namespace {

TEST(AsciiCase, OnlyAsciiLettersFold) {
  EXPECT_TRUE(platform::EqualNoCase("AbC_9", "aBc_9"));
  EXPECT_FALSE(platform::EqualNoCase("abc", "abcd"));
  // '[' and '{', '@' and '`' differ by the case bit but are no letters.
  EXPECT_FALSE(platform::EqualNoCase("[", "{"));
  EXPECT_FALSE(platform::EqualNoCase('@', '`'));
  // Bytes above 0x7F stay as they are, whatever the locale says.
  EXPECT_FALSE(platform::EqualNoCase("\xC4", "\xE4"));
  EXPECT_EQ(platform::AsciiLower("R520-X\xC4"), "r520-x\xC4");
  EXPECT_EQ(platform::AsciiUpper("setup.exe \xE4{"), "SETUP.EXE \xE4{");
  EXPECT_TRUE(platform::IsAsciiLetter('z'));
  EXPECT_FALSE(platform::IsAsciiLetter('\xE4'));
}

TEST(AsciiCase, PartsOfATextIgnoreCase) {
  EXPECT_TRUE(platform::StartsWithNoCase("Leads.BMP", "lEADS"));
  EXPECT_FALSE(platform::StartsWithNoCase("Le", "Lea"));
  EXPECT_TRUE(platform::EndsWithNoCase("x.bMp", ".BMP"));
  EXPECT_FALSE(platform::EndsWithNoCase("pic.bmp.txt", ".bmp"));
  EXPECT_FALSE(platform::EndsWithNoCase("bmp", ".bmp"));
  EXPECT_TRUE(platform::EndsWithNoCase("", ""));
  EXPECT_FALSE(platform::EndsWithNoCase("x\xE4", "\xC4"));
  EXPECT_TRUE(platform::ContainsNoCase("Counter 220", "TER 2"));
  EXPECT_TRUE(platform::ContainsNoCase("", ""));
  EXPECT_FALSE(platform::ContainsNoCase("Counter", "tern"));
}

}  // namespace
