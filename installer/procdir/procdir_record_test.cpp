// Record layout: name comparison, matching and formatting.
#include <cctype>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_inspect.h"
#include "installer/procdir/procdir_record.h"
#include "testing/procdir_test.h"

using namespace procdir_test;

namespace {

std::string Format(const procdir::ProcDirEntry& entry, int slot) {
  char record[75];
  std::memset(record, 0, sizeof record);
  procdir::ProcDirFormatRecord(entry, slot, record);
  return std::string(record, 75);
}

TEST(NamesEqualTest, AsciiLettersIgnoreCaseOtherBytesDoNot) {
  EXPECT_TRUE(procdir::ProcDirNamesEqual("Digital Meter", "DIGITAL METER", 13));
  EXPECT_TRUE(procdir::ProcDirNamesEqual("abc-123_z", "ABC-123_Z", 9));
  EXPECT_FALSE(procdir::ProcDirNamesEqual("abc", "abd", 3));
  EXPECT_TRUE(procdir::ProcDirNamesEqual("abc", "abd", 2));  // only `length` bytes count
  // Bytes 0x80-0xFF are compared as they are: no case folding beyond ASCII.
  EXPECT_FALSE(procdir::ProcDirNamesEqual("\xE4", "\xC4", 1));
  EXPECT_TRUE(procdir::ProcDirNamesEqual("\xE4x", "\xE4X", 2));
  // '@' (0x40) and '`' (0x60) are not letters.
  EXPECT_FALSE(procdir::ProcDirNamesEqual("@", "`", 1));
  EXPECT_FALSE(procdir::ProcDirNamesEqual("[", "{", 1));
  EXPECT_TRUE(procdir::ProcDirNamesEqual("", "", 0));
}

TEST(MatchTest, StoredNameIsTrimmedLookupNameIsNot) {
  std::string record = Record(' ', 'E', true, true, "1.pro", "Digital Meter");
  EXPECT_EQ(procdir::ProcDirMatch(record.data(), Names({"DIGITAL METER"})), 1);
  EXPECT_EQ(procdir::ProcDirMatch(record.data(), Names({"Digital Meter "})), 0);
  EXPECT_EQ(procdir::ProcDirMatch(record.data(), Names({"Digital"})), 0);
  EXPECT_EQ(procdir::ProcDirMatch(record.data(), Names({"X", "Y", "digital meter"})), 3);
}

TEST(MatchTest, FirstSlotInNameOrderWins) {
  std::string record = Record(' ', 'E', true, true, "1.pro", "A");
  EXPECT_EQ(procdir::ProcDirMatch(record.data(), Names({"B", "a", "A"})), 2);
}

TEST(MatchTest, LeadingBlanksCountAndEmptyNamesMatchBlankFields) {
  std::string record = Record(' ', 'E', true, true, "1.pro", "  Meter");
  EXPECT_EQ(procdir::ProcDirMatch(record.data(), Names({"Meter"})), 0);
  EXPECT_EQ(procdir::ProcDirMatch(record.data(), Names({"  meter"})), 1);
  std::string free = FreeRecord();
  EXPECT_EQ(procdir::ProcDirMatch(free.data(), Names({"A", ""})), 2);
  EXPECT_EQ(procdir::ProcDirMatch(free.data(), Names({"A"})), 0);
}

TEST(MatchTest, FullLengthNamesAndNoMoreThanSixSlots) {
  std::string name(55, 'n');
  std::string record = Record(' ', 'E', true, true, "1.pro", name);
  EXPECT_EQ(procdir::ProcDirMatch(record.data(), Names({name})), 1);
  procdir::ProcDirEntry entry = Names({"a", "b", "c", "d", "e", "f"});
  entry.nameCount = 9;  // a bad count never reads past the six slots
  EXPECT_EQ(procdir::ProcDirMatch(Record(' ', 'E', true, true, "1.pro", "F").data(), entry), 6);
  EXPECT_EQ(procdir::ProcDirMatch(Record(' ', 'E', true, true, "1.pro", "G").data(), entry), 0);
}

// The matching rule written out plainly: the record's name is its field
// without trailing blanks; a slot matches when it has that length and agrees
// letter case aside.
int ReferenceMatch(const std::string& record, const procdir::ProcDirEntry& entry) {
  std::size_t length = 55;
  while (length > 0 && record[18 + length - 1] == ' ') --length;
  for (int i = 0; i < entry.nameCount && i < 6; ++i) {
    if (strnlen(entry.names[i], 55) == length && procdir::ProcDirNamesEqual(entry.names[i], record.data() + 18, length))
      return i + 1;
  }
  return 0;
}

TEST(MatchTest, AgreesWithThePlainRuleOnRandomNames) {
  unsigned seed = 12345;
  auto next = [&seed](unsigned range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % range;
  };
  const char alphabet[] = "aAbB \xE4\xC4";
  auto name = [&](std::size_t maxLength) {
    std::string text;
    std::size_t length = next(unsigned(maxLength + 1));
    for (std::size_t i = 0; i < length; ++i) text += alphabet[next(sizeof alphabet - 1)];
    return text;
  };
  int matches = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string stored = name(round % 7 == 0 ? 55 : 4);
    std::string record = Record(' ', 'E', true, true, "1.pro", stored);
    procdir::ProcDirEntry entry = Names({});
    entry.nameCount = std::uint8_t(next(7));
    for (int i = 0; i < entry.nameCount; ++i) {
      std::string lookup = next(3) == 0 ? stored : name(4);
      // The stored name with one byte changed, anywhere in the 55 columns.
      if (next(4) == 0 && !stored.empty()) {
        lookup = stored;
        lookup[next(unsigned(stored.size()))] = alphabet[next(sizeof alphabet - 1)];
      }
      std::strncpy(entry.names[i], lookup.c_str(), 55);
    }
    int expected = ReferenceMatch(record, entry);
    ASSERT_EQ(procdir::ProcDirMatch(record.data(), entry), expected) << "round " << round;
    matches += expected != 0;
  }
  EXPECT_GT(matches, 2000);
}

// Names whose ends fall either side of the sixteen bytes compared first,
// with bytes that differ only in the case bit without being letters.
TEST(MatchTest, AgreesWithThePlainRuleAroundTheNamesEnd) {
  unsigned seed = 777;
  auto next = [&seed](unsigned range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % range;
  };
  const char alphabet[] = "aA@`[{ \xE4\xC4z";
  const std::size_t lengths[] = {0, 1, 14, 15, 16, 17, 31, 38, 39, 40, 53, 54, 55};
  auto name = [&](std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[next(sizeof alphabet - 1)];
    return text;
  };
  int matches = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string stored = name(lengths[next(std::size(lengths))]);
    while (!stored.empty() && stored.back() == ' ') stored.pop_back();
    std::string record = Record(' ', 'E', true, true, "1.pro", stored);
    procdir::ProcDirEntry entry = Names({});
    entry.nameCount = std::uint8_t(1 + next(6));
    for (int i = 0; i < entry.nameCount; ++i) {
      std::string lookup = stored;
      switch (next(4)) {
        case 0:  // another name of a length near the stored one's
          lookup = name(stored.size() + next(3) - (stored.empty() ? 0 : 1));
          break;
        case 1:  // one byte changed or flipped in its case bit
          if (!stored.empty()) {
            char& c = lookup[next(unsigned(stored.size()))];
            c = next(2) == 0 ? char(c ^ 0x20) : alphabet[next(sizeof alphabet - 1)];
          }
          break;
        case 2:  // letter case changed throughout
          for (char& c : lookup) c = char(std::islower(static_cast<unsigned char>(c)) ? c - 32 : c);
          break;
        default:
          break;
      }
      std::strncpy(entry.names[i], lookup.c_str(), 55);
    }
    int expected = ReferenceMatch(record, entry);
    ASSERT_EQ(procdir::ProcDirMatch(record.data(), entry), expected) << "round " << round << " \"" << stored << "\"";
    matches += expected != 0;
  }
  EXPECT_GT(matches, 5000);
}

// The file number as written out plainly: leading blanks skipped, then the
// digits, stopped at the limit.
long ReferenceNumber(const std::string& record) {
  std::size_t col = 5;
  while (col < 73 && record[col] == ' ') ++col;
  long number = 0;
  for (; col < 73 && record[col] >= '0' && record[col] <= '9'; ++col) {
    number = number * 10 + (record[col] - '0');
    if (number >= 99999999) return 99999999;
  }
  return number;
}

TEST(FileNumberTest, ReadingAndRankingAgreeWithThePlainRule) {
  unsigned seed = 4242;
  auto next = [&seed](unsigned range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % range;
  };
  const char bytes[] = "0123456789012345678901234567890123456789 .pX/:\xFA\xFF";
  std::vector<std::pair<std::uint64_t, long>> ranked;
  for (int round = 0; round < 20000; ++round) {
    std::string field;
    std::size_t length = next(13);
    for (std::size_t i = 0; i < length; ++i) field += bytes[next(sizeof bytes - 1)];
    if (next(3) == 0) field = std::to_string(next(10000000)) + field.substr(0, length / 2);
    std::string record = Record(' ', 'E', true, true, field, "N");
    const long expected = ReferenceNumber(record);
    ASSERT_EQ(procdir::RecordFileNumber(record.data()), expected) << "\"" << field << "\"";
    std::uint64_t rank = 0;
    if (procdir::FileNumberRank(procdir::LoadWord(record.data() + 5), &rank)) {
      ASSERT_EQ(procdir::RankedFileNumber(rank), expected) << "\"" << field << "\"";
      ranked.push_back({rank, expected});
    }
  }
  ASSERT_GT(ranked.size(), 3000u);
  // A higher rank is a higher number.
  for (std::size_t i = 1; i < ranked.size(); ++i) {
    const auto& [rankA, numberA] = ranked[i - 1];
    const auto& [rankB, numberB] = ranked[i];
    ASSERT_EQ(rankA < rankB, numberA < numberB) << numberA << " " << numberB;
  }
}

TEST(FormatTest, RecordsAreByteForByte) {
  procdir::ProcDirEntry entry = Names({"Digital Meter", "DMM"}, procdir::PD_KIND_E);
  std::strcpy(entry.fileName, "17.pro");
  EXPECT_EQ(Format(entry, 0),
            " EF  17.pro       Digital Meter                                          \r\n");
  EXPECT_EQ(Format(entry, 1),
            " E L 17.pro       DMM                                                    \r\n");
  procdir::ProcDirEntry single = Names({"Only"}, procdir::PD_KIND_H);
  std::strcpy(single.fileName, "99999999.pro");
  EXPECT_EQ(Format(single, 0),
            " HFL 99999999.pro Only                                                   \r\n");
}

TEST(FormatTest, StatusAndKindLetters) {
  procdir::ProcDirEntry entry = Names({"A", "B", "C"}, procdir::PD_COL0_D | procdir::PD_COL0_P | procdir::PD_KIND_E | procdir::PD_KIND_H);
  std::strcpy(entry.fileName, "3.pro");
  std::string middle = Format(entry, 1);
  EXPECT_EQ(middle.substr(0, 5), "DE   ");  // D before P, E before H
  entry.flags = procdir::PD_COL0_P | procdir::PD_KIND_H;
  EXPECT_EQ(Format(entry, 2).substr(0, 5), "PH L ");
  entry.flags = procdir::PD_KIND_BLANK | procdir::PD_EXISTS;
  EXPECT_EQ(Format(entry, 0).substr(0, 5), "  F  ");
}

TEST(FormatTest, OverlongFieldsNeverSpillIntoOtherColumns) {
  procdir::ProcDirEntry entry = Names({"A"}, procdir::PD_KIND_E);
  std::memset(entry.fileName, 'f', sizeof entry.fileName);  // no terminator
  std::memset(entry.names[0], 'n', sizeof entry.names[0]);  // 56 bytes, no terminator
  std::string record = Format(entry, 0);
  EXPECT_EQ(record.substr(5, 13), std::string(12, 'f') + " ");
  EXPECT_EQ(record.substr(18, 55), std::string(55, 'n'));
  EXPECT_EQ(record.substr(73), "\r\n");
}

TEST(FormatTest, FormattedEntriesInspectClean) {
  procdir::ProcDirEntry entry = Names({"A", "B", "C", "D", "E", "F"}, procdir::PD_KIND_H);
  std::strcpy(entry.fileName, "5.pro");
  std::string bytes;
  for (int i = 0; i < 6; ++i) bytes += Format(entry, i);
  procdir::IndexReport report = procdir::InspectIndex(bytes);
  EXPECT_TRUE(report.problems.empty()) << report.problems[0];
  ASSERT_EQ(report.entries.size(), 1u);
  EXPECT_EQ(report.entries[0].names.size(), 6u);
  EXPECT_EQ(report.entries[0].fileName, "5.pro");
}

}  // namespace
