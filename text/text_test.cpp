// Tests of the message text service and its database.
#include "text/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "text/mdb_format.h"
#include "ui/app.h"
#include "ui/msgbox.h"

namespace {

// The conversions each message's callers fill, in order.
const std::map<int, std::string>& PlaceholderTable() {
  static const std::map<int, std::string> table = [] {
    std::map<int, std::string> t = {
        {9237, "d"}, {9255, "sd"}, {9259, "sd"}, {8586, "ss"}, {8587, "s"}, {8588, "s"}, {8589, "ss"}, {8590, "s"},
        {249, "d"},  {2506, "s"},  {2531, "s"},  {2532, "s"},  {2533, "s"}, {2534, "s"},
        {903, "s"},  {911, "s"},   {916, "d"},   {917, "s"},   {918, "s"},  {922, "ss"},
        {923, "d"},  {924, "d"},   {925, ""},   {926, "ds"}, {927, "s"}, {928, "s"},
    };
    for (int n = 9220; n <= 9236; ++n)
      if (n != 9234) t.emplace(n, "");
    for (int n : {9240, 9256, 9257, 9258}) t.emplace(n, "");
    for (int n = 9242; n <= 9254; ++n) t.emplace(n, "");
    for (int n = 8580; n <= 8585; ++n) t.emplace(n, "");
    for (int n = 901; n <= 922; ++n) t.emplace(n, "");  // keeps the entries above
    return t;
  }();
  return table;
}

// Conversion letters of a printf format, read independently of the service:
// flags, width, precision and length modifiers are skipped, so that %ld or
// %c show up as a letter the table does not expect.
std::string Conversions(const std::string& format, bool* loosePercent) {
  std::string out;
  *loosePercent = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    ++i;
    if (i < format.size() && format[i] == '%') continue;
    while (i < format.size() && std::strchr("-+ #0123456789.*hlLqjzt", format[i])) ++i;
    if (i >= format.size()) {
      *loosePercent = true;
      break;
    }
    out.push_back(format[i]);
  }
  return out;
}

struct Box {
  std::string text, caption;
  unsigned style;
};
std::vector<Box> g_boxes;
int g_answer = ui::IDOK;
std::map<std::string, std::string> g_files;
std::vector<std::string> g_reads;

int FakeMessageBox(const char* text, const char* caption, unsigned style) {
  g_boxes.push_back({text, caption, style});
  return g_answer;
}

int FakeReadFile(const char* dosPath, std::string* contents) {
  g_reads.push_back(dosPath);
  auto it = g_files.find(dosPath);
  if (it == g_files.end()) return 0;
  *contents = it->second;
  return 1;
}

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Text(int number) {
  char buffer[260];
  text(number, buffer, sizeof buffer);
  return buffer;
}

class TextServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_boxes.clear();
    g_reads.clear();
    g_files.clear();
    g_answer = ui::IDOK;
  }
  void TearDown() override { text_close(); }
  int Open(const std::string& database) {
    g_files["ovtext.mdb"] = database;
    return text_open(&instance_, "text.h", "ovtext.mdb");
  }
  ui::InstanceHandle instance_{FakeMessageBox, FakeReadFile};
};

// The database built beside the programs.
class InstalledDatabaseTest : public TextServiceTest {
 protected:
  void SetUp() override {
    TextServiceTest::SetUp();
    database_ = ReadHostFile(std::string(ORVIK_BIN_DIR) + "/ovtext.mdb");
    ASSERT_FALSE(database_.empty()) << "ovtext.mdb missing from " << ORVIK_BIN_DIR;
    ASSERT_NE(Open(database_), 0);
  }
  std::string database_;
};

TEST_F(InstalledDatabaseTest, EveryNumberHasExactlyItsPlaceholders) {
  for (const auto& [number, expected] : PlaceholderTable()) {
    SCOPED_TRACE("message " + std::to_string(number));
    char buffer[260];
    int length = text(number, buffer, sizeof buffer);
    std::string message = buffer;
    EXPECT_EQ(length, static_cast<int>(message.size()));
    // Callers fetch into 260 bytes: a text cut there would lose its end.
    EXPECT_LT(message.size(), 259u);
    EXPECT_EQ(message.find("not in the message database"), std::string::npos);
    EXPECT_GT(message.size(), 20u) << message;
    bool loose = false;
    EXPECT_EQ(Conversions(message, &loose), expected) << message;
    EXPECT_FALSE(loose) << message;
    // Texts without values are also shown as fetched: no percent at all.
    if (expected.empty()) {
      EXPECT_EQ(message.find('%'), std::string::npos) << message;
    }
  }
}

TEST_F(InstalledDatabaseTest, HoldsNoOtherNumbersAndMatchesItsSource) {
  ovtext::Texts installed, source;
  std::string error;
  ASSERT_TRUE(ovtext::ParseDatabase(database_, &installed, &error)) << error;
  for (const auto& [number, message] : installed)
    EXPECT_TRUE(PlaceholderTable().count(number)) << "unexpected message " << number;
  EXPECT_EQ(installed.size(), PlaceholderTable().size());
  std::string text = ReadHostFile(std::string(ORVIK_SOURCE_DIR) + "/text/ovtext.txt");
  ASSERT_TRUE(ovtext::ParseSource(text, &source, &error)) << error;
  EXPECT_EQ(source, installed) << "ovtext.mdb is older than ovtext.txt";
}

TEST_F(InstalledDatabaseTest, ErrpFillsEveryMessageWithItsValues) {
  for (const auto& [number, expected] : PlaceholderTable()) {
    SCOPED_TRACE("message " + std::to_string(number));
    g_boxes.clear();
    std::vector<std::string> values;
    if (expected == "d") {
      errp(number, 4711);
      values = {"4711"};
    } else if (expected == "s") {
      errp(number, "C:\\orvik\\proc\\proc.dir");
      values = {"C:\\orvik\\proc\\proc.dir"};
    } else if (expected == "sd") {
      errp(number, "17.pro", 32);
      values = {"17.pro", "32"};
    } else if (expected == "ds") {
      errp(number, 4711, "..\\x.pro");
      values = {"4711", "..\\x.pro"};
    } else if (expected == "ss") {
      errp(number, "A:\\proc_data\\X.PRO", "C:\\orvik\\proc\\_temp\\X.PRO");
      values = {"A:\\proc_data\\X.PRO", "C:\\orvik\\proc\\_temp\\X.PRO"};
    } else {
      errp(number);
    }
    ASSERT_EQ(g_boxes.size(), 1u);
    size_t at = 0;
    for (const std::string& value : values) {
      at = g_boxes[0].text.find(value, at);
      ASSERT_NE(at, std::string::npos) << g_boxes[0].text;
      at += value.size();
    }
    EXPECT_EQ(g_boxes[0].text.find('%'), std::string::npos) << g_boxes[0].text;
  }
}

TEST_F(InstalledDatabaseTest, ReadsTheDatabaseNamedRelativeToTheCurrentDirectory) {
  ASSERT_FALSE(g_reads.empty());
  EXPECT_EQ(g_reads.back(), "ovtext.mdb");
}

// A small database of known texts.
const char* const kSmall =
    "ORVIK message texts 1\n"
    "911 The procedure index %s could not be opened.\n"
    "922 Wanted %s while %s is open.\n"
    "9240 No procedures.\\nChoose another calibrator.\n"
    "9255 File %s: error %d.\n"
    "9258 Back\\\\slash\\ttab.\n"
    "END 5\n";

TEST_F(TextServiceTest, ErrpOkGoesOnCancelGivesUp) {
  ASSERT_NE(Open(kSmall), 0);
  g_answer = ui::IDOK;
  EXPECT_NE(errp(911, "C:\\orvik\\proc\\proc.dir"), 0);
  g_answer = ui::IDCANCEL;
  EXPECT_EQ(errp(911, "C:\\orvik\\proc\\proc.dir"), 0);
  ASSERT_EQ(g_boxes.size(), 2u);
  for (const Box& box : g_boxes) {
    EXPECT_EQ(box.caption, "ORVIK Error 911");
    EXPECT_EQ(box.text, "The procedure index C:\\orvik\\proc\\proc.dir could not be opened.");
    EXPECT_EQ(box.style, ui::MB_OKCANCEL | ui::MB_ICONHAND);
  }
}

TEST_F(TextServiceTest, ErrpFillsValuesInOrder) {
  ASSERT_NE(Open(kSmall), 0);
  errp(922, "C:\\a\\proc.dir", "C:\\b\\proc.dir");
  errp(9255, "17.pro", 5);
  ASSERT_EQ(g_boxes.size(), 2u);
  EXPECT_EQ(g_boxes[0].text, "Wanted C:\\a\\proc.dir while C:\\b\\proc.dir is open.");
  EXPECT_EQ(g_boxes[1].text, "File 17.pro: error 5.");
  EXPECT_EQ(g_boxes[1].caption, "ORVIK Error 9255");
}

TEST_F(TextServiceTest, ErrpWithUnknownNumberNamesIt) {
  ASSERT_NE(Open(kSmall), 0);
  g_answer = ui::IDCANCEL;
  EXPECT_EQ(errp(4242, "ignored", 3), 0);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].caption, "ORVIK Error 4242");
  EXPECT_NE(g_boxes[0].text.find("4242"), std::string::npos);
}

TEST_F(TextServiceTest, MsgpIsANoticeWithOk) {
  ASSERT_NE(Open(kSmall), 0);
  msgp(9240);
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(g_boxes[0].caption, "ORVIK Notice 9240");
  EXPECT_EQ(g_boxes[0].text, "No procedures.\nChoose another calibrator.");
  EXPECT_EQ(g_boxes[0].style, ui::MB_OK | ui::MB_ICONASTERISK);
}

TEST_F(TextServiceTest, TextCopiesTheRawFormat) {
  ASSERT_NE(Open(kSmall), 0);
  EXPECT_EQ(Text(9255), "File %s: error %d.");
  EXPECT_EQ(Text(9258), "Back\\slash\ttab.");
}

TEST_F(TextServiceTest, TextCutsToTheBuffer) {
  ASSERT_NE(Open(kSmall), 0);
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(text(9255, buffer, 6), 5);
  EXPECT_STREQ(buffer, "File ");
  EXPECT_EQ(buffer[6], 'x');  // nothing written past the size given
  EXPECT_EQ(text(9255, buffer, 1), 0);
  EXPECT_STREQ(buffer, "");
  buffer[0] = 'y';
  EXPECT_EQ(text(9255, buffer, 0), 0);
  EXPECT_EQ(buffer[0], 'y');
  EXPECT_EQ(text(9255, nullptr, 10), 0);
  char exact[19];  // "File %s: error %d." and its terminating zero
  EXPECT_EQ(text(9255, exact, sizeof exact), 18);
  EXPECT_STREQ(exact, "File %s: error %d.");
}

TEST_F(TextServiceTest, TextOfUnknownNumberNamesIt) {
  ASSERT_NE(Open(kSmall), 0);
  EXPECT_NE(Text(9999).find("9999"), std::string::npos);
}

TEST_F(TextServiceTest, AcceptsCrLfLines) {
  ASSERT_NE(Open("ORVIK message texts 1\r\n9240 Nothing here.\r\nEND 1\r\n"), 0);
  EXPECT_EQ(Text(9240), "Nothing here.");
}

TEST_F(TextServiceTest, MissingDatabaseFailsButBoxesStillShow) {
  g_files.clear();
  EXPECT_EQ(text_open(&instance_, "text.h", "ovtext.mdb"), 0);
  std::string fetched = Text(911);
  EXPECT_NE(fetched.find("911"), std::string::npos);
  g_answer = ui::IDOK;
  EXPECT_NE(errp(911, "C:\\x"), 0);
  msgp(9240);
  ASSERT_EQ(g_boxes.size(), 2u);
  EXPECT_EQ(g_boxes[0].caption, "ORVIK Error 911");
  EXPECT_NE(g_boxes[0].text.find("911"), std::string::npos);
  EXPECT_EQ(g_boxes[0].text.find("C:\\x"), std::string::npos);  // not filled
  EXPECT_EQ(g_boxes[1].caption, "ORVIK Notice 9240");
}

TEST_F(TextServiceTest, MalformedDatabasesAreRefused) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"empty file", ""},
      {"no signature", "9240 Text.\nEND 1\n"},
      {"wrong signature", "ORVIK message texts 2\n9240 Text.\nEND 1\n"},
      {"cut short, no END", "ORVIK message texts 1\n9240 Text.\n"},
      {"END miscounts", "ORVIK message texts 1\n9240 Text.\nEND 2\n"},
      {"text after END", "ORVIK message texts 1\n9240 Text.\nEND 1\n9241 More.\n"},
      {"number twice", "ORVIK message texts 1\n9240 A.\n9240 B.\nEND 2\n"},
      {"out of order", "ORVIK message texts 1\n9240 A.\n911 %s B.\nEND 2\n"},
      {"no number", "ORVIK message texts 1\nabc Text.\nEND 1\n"},
      {"number without text", "ORVIK message texts 1\n9240\nEND 1\n"},
      {"empty text", "ORVIK message texts 1\n9240 \nEND 1\n"},
      {"unknown escape", "ORVIK message texts 1\n9240 A\\qB.\nEND 1\n"},
      {"escape at end", "ORVIK message texts 1\n9240 AB\\\nEND 1\n"},
      {"wrong placeholder type", "ORVIK message texts 1\n911 Open %d.\nEND 1\n"},
      {"missing placeholder", "ORVIK message texts 1\n9255 File %s.\nEND 1\n"},
      {"placeholders swapped", "ORVIK message texts 1\n9255 Error %d on %s.\nEND 1\n"},
      {"placeholder where none is filled", "ORVIK message texts 1\n9240 %s.\nEND 1\n"},
      {"percent n", "ORVIK message texts 1\n9240 A%n.\nEND 1\n"},
      {"lone percent", "ORVIK message texts 1\n9240 100 %\nEND 1\n"},
      {"length modifier", "ORVIK message texts 1\n9237 Error %ld.\nEND 1\n"},
      {"star width", "ORVIK message texts 1\n911 Open %*s.\nEND 1\n"},
      {"four-digit width", "ORVIK message texts 1\n911 Open %1000s.\nEND 1\n"},
      {"too long for 260 bytes", "ORVIK message texts 1\n9240 " + std::string(260, 'a') + "\nEND 1\n"},
      {"control character", "ORVIK message texts 1\n9240 A\x01.\nEND 1\n"},
  };
  for (const auto& [what, database] : cases) {
    SCOPED_TRACE(what);
    ASSERT_NE(Open(kSmall), 0);
    EXPECT_EQ(Open(database), 0);
    // Nothing of the earlier database survives a failed open.
    EXPECT_EQ(Text(911).find("could not be opened"), std::string::npos);
  }
}

TEST_F(TextServiceTest, AcceptsLiteralPercentAndFlags) {
  ASSERT_NE(Open("ORVIK message texts 1\n911 100%% of %-20s.\n9237 Code %08X.\nEND 2\n"), 0);
  errp(911, "C:\\x");
  errp(9237, 255);
  ASSERT_EQ(g_boxes.size(), 2u);
  EXPECT_EQ(g_boxes[0].text, "100% of C:\\x                .");
  EXPECT_EQ(g_boxes[1].text, "Code 000000FF.");
}

TEST_F(TextServiceTest, LongestTextFitsA260ByteBuffer) {
  std::string longest(259, 'a');
  ASSERT_NE(Open("ORVIK message texts 1\n9240 " + longest + "\nEND 1\n"), 0);
  EXPECT_EQ(Text(9240), longest);
}

TEST_F(TextServiceTest, WithoutInstanceNothingCrashes) {
  EXPECT_EQ(text_open(nullptr, "text.h", "ovtext.mdb"), 0);
  EXPECT_EQ(errp(911, "C:\\x"), 0);  // no box can ask: give up
  msgp(9240);
  EXPECT_NE(Text(911).find("911"), std::string::npos);
  ui::InstanceHandle noReader{FakeMessageBox, nullptr};
  EXPECT_EQ(text_open(&noReader, "text.h", "ovtext.mdb"), 0);
  EXPECT_EQ(text_open(&instance_, "text.h", nullptr), 0);
  EXPECT_TRUE(g_boxes.empty());
}

TEST_F(TextServiceTest, CloseReleasesTheTexts) {
  ASSERT_NE(Open(kSmall), 0);
  text_close();
  EXPECT_EQ(Text(911).find("could not be opened"), std::string::npos);
  EXPECT_EQ(errp(911, "C:\\x"), 0);
  EXPECT_TRUE(g_boxes.empty());  // the program's instance was released too
}

TEST(MessageSourceTest, SkipsCommentsAndBlankLinesAndRefusesDuplicates) {
  ovtext::Texts texts;
  std::string error;
  ASSERT_TRUE(ovtext::ParseSource("# comment\n\n   # indented comment\n9240 A text.\n911 Open %s.\n",
                                  &texts, &error))
      << error;
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts.at(911), "Open %s.");
  EXPECT_FALSE(ovtext::ParseSource("9240 A.\n9240 B.\n", &texts, &error));
  EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  EXPECT_TRUE(texts.empty());
  EXPECT_FALSE(ovtext::ParseSource("9240 A.\n911 Open %d.\n", &texts, &error));
  EXPECT_NE(error.find("line 2"), std::string::npos) << error;
}

TEST(MessageSourceTest, DatabaseFormRoundTrips) {
  ovtext::Texts texts = {{911, "Path C:\\x\\%s\n\tdone."}, {9240, "Line one\nline two."}};
  ovtext::Texts back;
  std::string error;
  std::string database = ovtext::FormatDatabase(texts);
  ASSERT_TRUE(ovtext::ParseDatabase(database, &back, &error)) << error;
  EXPECT_EQ(back, texts);
  // One line per message between the signature and the END line.
  EXPECT_EQ(std::count(database.begin(), database.end(), '\n'), 4);
}

}  // namespace
