// The text form of dosdose.dat: line reading, numbers, the 23 lines.
#include "datenum/dose_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "testing/host_files.h"
#include "testing/sandbox.h"

namespace datenum {
namespace {


// A read stream holding `text`.
class Stream {
 public:
  explicit Stream(const std::string& text) : file_(std::tmpfile()) {
    std::fwrite(text.data(), 1, text.size(), file_);
    std::rewind(file_);
  }
  ~Stream() { std::fclose(file_); }
  std::FILE* get() { return file_; }

 private:
  std::FILE* file_;
};

// n numbered lines "1", "2", ... with the third replaced by `mem2`.
std::string NumberedFile(int n, const std::string& mem2 = "text") {
  std::string text;
  for (int i = 1; i <= n; ++i) text += (i == 3 ? mem2 : std::to_string(i)) + "\n";
  return text;
}

TEST(ReadDoseLine, SplitsAtNewlinesAndKeepsBlanks) {
  Stream s("first\n  05-Mar-01 14:30   \n\nlast");
  std::string line;
  bool overlong = true;
  ASSERT_TRUE(ReadDoseLine(s.get(), &line, &overlong));
  EXPECT_EQ(line, "first");
  EXPECT_FALSE(overlong);
  ASSERT_TRUE(ReadDoseLine(s.get(), &line, &overlong));
  EXPECT_EQ(line, "  05-Mar-01 14:30   ");
  ASSERT_TRUE(ReadDoseLine(s.get(), &line, &overlong));
  EXPECT_EQ(line, "");
  // A last line without its newline keeps all its characters.
  ASSERT_TRUE(ReadDoseLine(s.get(), &line, &overlong));
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(ReadDoseLine(s.get(), &line, &overlong));
}

TEST(ReadDoseLine, CarriageReturnLineEndsReadAsText) {
  Stream s("12\r\nabc \r\n");
  std::string line;
  bool overlong = false;
  ASSERT_TRUE(ReadDoseLine(s.get(), &line, &overlong));
  EXPECT_EQ(line, "12");
  ASSERT_TRUE(ReadDoseLine(s.get(), &line, &overlong));
  EXPECT_EQ(line, "abc ");
}

TEST(ReadDoseLine, LongLineIsOneLineCutAtTheReadLimit) {
  std::string longLine(kReadPiece + 10, 'x');
  Stream s(longLine + "\nnext\n");
  std::string line;
  bool overlong = false;
  ASSERT_TRUE(ReadDoseLine(s.get(), &line, &overlong));
  EXPECT_TRUE(overlong);
  EXPECT_EQ(line, std::string(kReadPiece, 'x'));
  ASSERT_TRUE(ReadDoseLine(s.get(), &line, &overlong));
  EXPECT_FALSE(overlong);
  EXPECT_EQ(line, "next");
}

TEST(ReadDoseLine, LineOfExactlyTheLimitIsNotOverlong) {
  std::string limit(kReadPiece, 'y');
  Stream s(limit + "\n");
  std::string line;
  bool overlong = true;
  ASSERT_TRUE(ReadDoseLine(s.get(), &line, &overlong));
  EXPECT_FALSE(overlong);
  EXPECT_EQ(line, limit);
  EXPECT_FALSE(ReadDoseLine(s.get(), &line, &overlong));
}

TEST(ReadDoseNumber, ReadsTheLeadingNumber) {
  EXPECT_EQ(ReadDoseNumber("42"), 42.0);
  EXPECT_EQ(ReadDoseNumber("   -3.25"), -3.25);
  EXPECT_EQ(ReadDoseNumber("1.5e3xyz"), 1500.0);
  EXPECT_EQ(ReadDoseNumber("7 8"), 7.0);
  EXPECT_EQ(ReadDoseNumber(""), 0.0);
  EXPECT_EQ(ReadDoseNumber("abc"), 0.0);
  EXPECT_EQ(ReadDoseNumber("983802600"), 983802600.0);
}

TEST(ReadRegisters, ReadsTheTwentyThreeLines) {
  Stream s(orvik_testing::JoinLines({"983802600", "1", "05-Mar-01 14:30   ", "0.5", "-2", "3e2"}) +
           orvik_testing::JoinLines(std::vector<std::string>(17, "9")));
  Registers r;
  r.M[20] = 77;  // beyond the exchanged registers: kept
  ASSERT_EQ(ReadRegisters(s.get(), r), 0);
  EXPECT_EQ(r.MEM, 983802600.0);
  EXPECT_EQ(r.MEM1, 1.0);
  EXPECT_EQ(r.MEM2, "05-Mar-01 14:30   ");
  EXPECT_EQ(r.M[0], 0.5);
  EXPECT_EQ(r.M[1], -2.0);
  EXPECT_EQ(r.M[2], 300.0);
  EXPECT_EQ(r.M[19], 9.0);
  EXPECT_EQ(r.M[20], 77.0);
}

TEST(ReadRegisters, ReportsTheFirstMissingLine) {
  for (int lines = 0; lines < kDoseLines; ++lines) {
    Stream s(NumberedFile(lines));
    Registers r;
    r.MEM = -8;
    EXPECT_EQ(ReadRegisters(s.get(), r), lines + 1) << lines << " lines";
    EXPECT_EQ(r.MEM, -8.0) << "registers untouched on failure";
  }
}

TEST(ReadRegisters, TenLinesMissM8) {
  Stream s(NumberedFile(10));
  Registers r;
  EXPECT_EQ(ReadRegisters(s.get(), r), 3 + 8);
}

TEST(ReadRegisters, LinesAfterTheTwentyThirdAreNotRead) {
  Stream s(NumberedFile(25));
  Registers r;
  ASSERT_EQ(ReadRegisters(s.get(), r), 0);
  EXPECT_EQ(r.M[19], 23.0);
  std::string rest;
  bool overlong = false;
  ASSERT_TRUE(ReadDoseLine(s.get(), &rest, &overlong));
  EXPECT_EQ(rest, "24");
}

TEST(ReadRegisters, Mem2IsReadWholeWhateverItsLength) {
  for (std::size_t size : {kReadPiece - 1, kReadPiece + 1, 3 * kReadPiece}) {
    std::string mem2 = std::string(size - 1, 'd') + "e";
    Stream s(NumberedFile(23, mem2));
    Registers r;
    ASSERT_EQ(ReadRegisters(s.get(), r), 0) << size;
    EXPECT_EQ(r.MEM2, mem2);
    EXPECT_EQ(r.M[0], 4.0);
    EXPECT_EQ(r.M[19], 23.0);
  }
}

TEST(ReadRegisters, LongNumberLineDoesNotShiftTheRest) {
  std::string file = NumberedFile(23);
  std::string longNumber = "12" + std::string(2 * kReadPiece, '0');
  file.replace(file.find("\n4\n") + 1, 1, longNumber);
  Stream s(file);
  Registers r;
  ASSERT_EQ(ReadRegisters(s.get(), r), 0);
  EXPECT_GT(r.M[0], 1e300);
  EXPECT_EQ(r.M[1], 5.0);
  EXPECT_EQ(r.M[19], 23.0);
}

TEST(FormatRegisters, WritesTwentyThreeLinesWithTwelveDigits) {
  Registers r;
  r.MEM = 983802600;
  r.MEM1 = -1;
  r.MEM2 = "05-Mar-01 14:30  ";
  for (int i = 0; i < kMExchanged; ++i) r.M[i] = i + 0.5;
  r.M[20] = 123;  // not exchanged
  std::string expected = orvik_testing::JoinLines({"983802600", "-1", "05-Mar-01 14:30  "});
  for (int i = 0; i < kMExchanged; ++i) expected += std::to_string(i) + ".5\n";
  EXPECT_EQ(FormatRegisters(r), expected);
}

TEST(FormatRegisters, NumbersKeepAtMostTwelveSignificantDigits) {
  Registers r;
  r.MEM = 1234567890.123456789;
  r.MEM1 = 0.1 + 0.2;
  r.M[0] = 1e-300;
  r.M[1] = 123456789012345.0;
  r.M[2] = -0.0;
  r.M[3] = 3155759999.0;  // a calendar time far ahead still fits exactly
  std::string expected =
      orvik_testing::JoinLines({"1234567890.12", "0.3", "", "1e-300", "1.23456789012e+14", "-0", "3155759999"});
  expected += orvik_testing::JoinLines(std::vector<std::string>(16, "0"));
  EXPECT_EQ(FormatRegisters(r), expected);
}

TEST(FormatRegisters, ReadBackGivesTheSameRegisters) {
  Registers r;
  r.MEM = 983802600;
  r.MEM1 = 1;
  r.MEM2 = "";
  r.M[4] = 2.5e-7;
  r.M[19] = -42;
  Stream s(FormatRegisters(r));
  Registers back;
  ASSERT_EQ(ReadRegisters(s.get(), back), 0);
  EXPECT_EQ(back.MEM, r.MEM);
  EXPECT_EQ(back.MEM1, r.MEM1);
  EXPECT_EQ(back.MEM2, "");
  EXPECT_EQ(back.M, r.M);
}

TEST(FormatRegisters, Mem2EndingInACarriageReturnReadsBackWhole) {
  // A MEM2 line "29-feb-05 23:590\r\r\n" holds "29-feb-05 23:590\r".
  Stream in(NumberedFile(23, "29-feb-05 23:590\r\r"));
  Registers r;
  ASSERT_EQ(ReadRegisters(in.get(), r), 0);
  ASSERT_EQ(r.MEM2, "29-feb-05 23:590\r");
  Stream s(FormatRegisters(r));
  Registers back;
  ASSERT_EQ(ReadRegisters(s.get(), back), 0);
  EXPECT_EQ(back.MEM2, r.MEM2);
  EXPECT_EQ(back.M, r.M);
}

}  // namespace
}  // namespace datenum
