// The initialisation-file reader.
#include "platform/profile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "testing/host_platform.h"
#include "testing/prefix_test.h"

namespace platform {
namespace {

using namespace std::string_literals;

class ProfileTest : public orvik_testing::PrefixTest {
 protected:
  void SetUp() override {
    PrefixTest::SetUp();
    orvik_testing::WriteFile(driveC_ + "/windows/orvik.ini",
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
  SKIP_UNLESS_POSIX("the system's own reader answers on Windows, and Wine's looks only in the first of repeated sections");
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
  SKIP_UNLESS_POSIX("the system's own reader answers on Windows, and it takes a line starting with ';' for a key");
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

TEST_F(ProfileTest, LinesWithoutEqualsOrClosingBracketAreNeitherKeysNorHeaders) {
  orvik_testing::WriteFile(driveC_ + "/windows/odd.ini",
                         "[startup]\nprocdir\npicdir = C:\\pic\\\n[other\nuser_cwd=C:\\cwd\\\n");
  EXPECT_EQ(Read("startup", "procdir", "dflt", "odd.ini"), "dflt");
  // "[other" opens no section: the key after it still belongs to [startup].
  EXPECT_EQ(Read("startup", "user_cwd", "dflt", "odd.ini"), "C:\\cwd\\");
  EXPECT_EQ(Read("other", "user_cwd", "dflt", "odd.ini"), "dflt");
}

TEST_F(ProfileTest, LineEndsTabsCommentsAndZeroBytes) {
  orvik_testing::WriteFile(driveC_ + "/windows/cr.ini",
                         "[startup]\r\tprocdir\t=\tC:\\p ; not a comment\t\r"
                         "picdir=C:\\pic\0ignored\r\nuser_cwd=x\n"s);
  EXPECT_EQ(Read("startup", "procdir", "dflt", "cr.ini"), "C:\\p ; not a comment");
  EXPECT_EQ(Read("startup", "picdir", "dflt", "cr.ini"), "C:\\pic");
  EXPECT_EQ(Read("startup", "user_cwd", "dflt", "cr.ini"), "x");
}

// The same settings saved with a UTF-8 mark and as UTF-16 in either byte
// order, with one character outside ASCII and one outside the 16-bit range.
TEST_F(ProfileTest, ByteOrderMarksAndUtf16) {
  SKIP_UNLESS_POSIX("the system's own reader answers on Windows, in the ANSI code page rather than UTF-8");
  const std::u16string text = u"[startup]\r\nprocdir=C:\\Pr\u00fcf\\\r\npicdir=\U0001F600\r\n";
  const std::string utf8 = "C:\\Pr\xc3\xbc" "f\\";
  std::string le = "\xff\xfe", be = "\xfe\xff";
  for (char16_t c : text) {
    le += char(c & 0xff);
    le += char(c >> 8);
    be += char(c >> 8);
    be += char(c & 0xff);
  }
  const std::string marked = "\xef\xbb\xbf[startup]\r\nprocdir=" + utf8 + "\r\npicdir=\xf0\x9f\x98\x80\r\n";
  for (const std::string& bytes : {marked, le, be}) {
    orvik_testing::WriteFile(driveC_ + "/windows/enc.ini", bytes);
    EXPECT_EQ(Read("startup", "procdir", "dflt", "enc.ini"), utf8);
    EXPECT_EQ(Read("startup", "picdir", "dflt", "enc.ini"), "\xf0\x9f\x98\x80");
  }
}

// A file read once is kept; any change on disk shows in the next read, also
// one that keeps the size, comes at once or replaces the file.
TEST_F(ProfileTest, ChangedFilesAreReadAnew) {
  const std::string path = driveC_ + "/windows/change.ini";
  orvik_testing::WriteFile(path, "[s]\nk=one\n");
  EXPECT_EQ(Read("s", "k", "dflt", "change.ini"), "one");
  orvik_testing::WriteFile(path, "[s]\nk=two\n");
  EXPECT_EQ(Read("s", "k", "dflt", "change.ini"), "two");
  orvik_testing::WaitUntilSettled(path);
  EXPECT_EQ(Read("s", "k", "dflt", "change.ini"), "two");
  orvik_testing::WriteFile(path, "[s]\nk=six\n");  // the same file, the same size
  EXPECT_EQ(Read("s", "k", "dflt", "change.ini"), "six");
  orvik_testing::WaitUntilSettled(path);
  EXPECT_EQ(Read("s", "k", "dflt", "change.ini"), "six");
  orvik_testing::WriteFile(path + ".new", "[s]\nk=ten\n");
  std::error_code replaced;
  std::filesystem::rename(path + ".new", path, replaced);  // replaces the file on every host
  ASSERT_FALSE(replaced) << replaced.message();
  EXPECT_EQ(Read("s", "k", "dflt", "change.ini"), "ten");
  ASSERT_EQ(std::remove(path.c_str()), 0);
  EXPECT_EQ(Read("s", "k", "dflt", "change.ini"), "dflt");
}

TEST_F(ProfileTest, ZeroByteEndsTheValueAndTheCount) {
  const char kText[] = "[StartUp]\r\n  ProcDir =  C:\\pro\0\0c\\  \r\n";
  const std::string text(kText, sizeof kText - 1);
  char buf[260];
  EXPECT_EQ(ProfileStringFromText(text, "startup", "procdir", "", buf, sizeof buf), 6u);
  EXPECT_STREQ(buf, "C:\\pro");
  orvik_testing::WriteFile(driveC_ + "/windows/zero.ini", text);
  EXPECT_EQ(Read("startup", "procdir", "", "zero.ini"), "C:\\pro");
}

TEST_F(ProfileTest, PathsAreDosPathsAndBareNamesLiveInWindows) {
  orvik_testing::WriteFile(driveC_ + "/local.ini", "[startup]\nprocdir=local\n");
  EXPECT_EQ(Read("startup", "procdir", "dflt", "C:\\local.ini"), "local");
  EXPECT_EQ(Read("startup", "procdir", "dflt", "c:/LOCAL.INI"), "local");
  // A bare name is never read from the current directory.
  ASSERT_EQ(_chdir("C:\\"), 0);
  EXPECT_EQ(Read("startup", "procdir", "dflt", "local.ini"), "dflt");
  EXPECT_EQ(Read("startup", "procdir", "dflt", "ORVIK.INI"), "C:\\orvik\\proc\\");
}

}  // namespace
}  // namespace platform
