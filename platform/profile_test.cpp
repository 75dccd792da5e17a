// The initialisation-file reader.
#include "platform/profile.h"

#include <cstring>

#include "platform/test_prefix.h"

namespace platform {
namespace {

class ProfileTest : public testing::PrefixTest {
 protected:
  void SetUp() override {
    PrefixTest::SetUp();
    testing::WriteHostFile(driveC_ + "/windows/orvik.ini",
                           "; orvik settings\r\n"
                           "[other]\r\n"
                           "procdir=C:\\wrong\\\r\n"
                           "[ StartUp ]\r\n"
                           "  ProcDir =  C:\\orvik\\proc\\  \r\n"
                           ";picdir=C:\\commented\\\r\n"
                           "picdir=\"C:\\orvik\\pic files\\\"\r\n"
                           "user_cwd='C:\\orvik\\'\r\n"
                           "half=\"C:\\x\r\n"
                           "empty=\r\n"
                           "procdir=C:\\second\\\r\n"
                           "[startup]\r\n"
                           "procdir=C:\\third\\\r\n"
                           "late=found\r\n");
  }
  std::string Read(const char* section, const char* key, const char* def = "dflt",
                   const char* file = "orvik.ini", DWORD size = 260) {
    char buf[260];
    std::memset(buf, 'Z', sizeof buf);
    DWORD n = GetPrivateProfileStringA(section, key, def, buf, size, file);
    EXPECT_EQ(n, std::strlen(buf));
    return buf;
  }
};

TEST_F(ProfileTest, SectionAndKeyIgnoreCaseAndBlanksAreTrimmed) {
  EXPECT_EQ(Read("startup", "procdir"), "C:\\orvik\\proc\\");
  EXPECT_EQ(Read("STARTUP", "PROCDIR"), "C:\\orvik\\proc\\");
}

TEST_F(ProfileTest, FirstOccurrenceWins) {
  EXPECT_EQ(Read("Startup", "procdir"), "C:\\orvik\\proc\\");
  // A key only in a repeated section is still found.
  EXPECT_EQ(Read("Startup", "late"), "found");
}

TEST_F(ProfileTest, MatchingQuotesAreRemoved) {
  EXPECT_EQ(Read("startup", "picdir"), "C:\\orvik\\pic files\\");
  EXPECT_EQ(Read("startup", "user_cwd"), "C:\\orvik\\");
  EXPECT_EQ(Read("startup", "half"), "\"C:\\x");
}

TEST_F(ProfileTest, CommentsAreNotKeys) {
  EXPECT_EQ(Read("startup", ";picdir"), "dflt");
}

TEST_F(ProfileTest, DefaultsForMissingKeySectionAndFile) {
  EXPECT_EQ(Read("startup", "nokey"), "dflt");
  EXPECT_EQ(Read("nosection", "procdir"), "dflt");
  EXPECT_EQ(Read("startup", "procdir", "dflt", "missing.ini"), "dflt");
  EXPECT_EQ(Read("startup", "nokey", nullptr), "");
  // An empty value is a value, not a missing key.
  EXPECT_EQ(Read("startup", "empty"), "");
}

TEST_F(ProfileTest, ResultIsCutToTheBuffer) {
  EXPECT_EQ(Read("startup", "procdir", "", "orvik.ini", 6), "C:\\or");
  EXPECT_EQ(Read("startup", "nokey", "long default", "orvik.ini", 5), "long");
  char one[1] = {'Z'};
  EXPECT_EQ(GetPrivateProfileStringA("startup", "procdir", "", one, 1, "orvik.ini"), 0u);
  EXPECT_EQ(one[0], 0);
}

TEST_F(ProfileTest, ZeroByteEndsTheValueAndTheCount) {
  const char kText[] = "[StartUp]\r\n  ProcDir =  C:\\pro\0\0c\\  \r\n";
  const std::string text(kText, sizeof kText - 1);
  char buf[260];
  EXPECT_EQ(ProfileStringFromText(text, "startup", "procdir", "", buf, sizeof buf), 6u);
  EXPECT_STREQ(buf, "C:\\pro");
  testing::WriteHostFile(driveC_ + "/windows/zero.ini", text);
  EXPECT_EQ(Read("startup", "procdir", "", "zero.ini"), "C:\\pro");
}

TEST_F(ProfileTest, PathsAreDosPathsAndBareNamesLiveInWindows) {
  testing::WriteHostFile(driveC_ + "/local.ini", "[startup]\nprocdir=local\n");
  EXPECT_EQ(Read("startup", "procdir", "dflt", "C:\\local.ini"), "local");
  EXPECT_EQ(Read("startup", "procdir", "dflt", "c:/LOCAL.INI"), "local");
  // A bare name is never read from the current directory.
  ASSERT_EQ(_chdir("C:\\"), 0);
  EXPECT_EQ(Read("startup", "procdir", "dflt", "local.ini"), "dflt");
  EXPECT_EQ(Read("startup", "procdir", "dflt", "ORVIK.INI"), "C:\\orvik\\proc\\");
}

}  // namespace
}  // namespace platform
