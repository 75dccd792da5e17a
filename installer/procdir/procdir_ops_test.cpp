// Reading, finding, adding and replacing entries of an open index.
#include <cstring>
#include <string>
#include <vector>

#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_inspect.h"
#include "installer/procdir/procdir_open.h"
#include "testing/procdir_test.h"
#include "platform/fault_injector.h"
#include "platform/hfile.h"
#include "ui/msgbox.h"

using namespace procdir_test;
using platform::HFILE;

namespace {

using Names6 = std::vector<std::string>;

class OpsTest : public ProcDirTest {
 protected:
  HFILE OpenWith(const std::string& bytes) {
    WriteIndex(bytes);
    HFILE file = Open("w");
    EXPECT_NE(file, -1);
    return file;
  }
  std::string RecordAt(std::size_t index) { return IndexBytes().substr(index * 75, 75); }
};

// ---------------------------------------------------------------- ReadEntry

TEST_F(OpsTest, ReadEntryStepsBackToTheFirstRecord) {
  HFILE file = OpenWith(EntryRecords('E', "1.pro", {"A"}) + EntryRecords('H', "2.pro", {"B", "C", "D"}));
  procdir::ProcDirEntry entry = Names({"junk", "junk"}, 0xFF);
  ASSERT_EQ(procdir::ProcDirReadEntry(file, 3, entry), 1);
  EXPECT_EQ(entry.first, 1);
  EXPECT_EQ(entry.last, 3);
  EXPECT_EQ(entry.current, 3);
  EXPECT_EQ(entry.flags, procdir::PD_KIND_H);
  EXPECT_STREQ(entry.fileName, "2.pro");
  EXPECT_EQ(EntryNames(entry), (Names6{"B", "C", "D"}));
  EXPECT_STREQ(entry.names[3], "");  // the rest is cleared
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(OpsTest, ReadEntryFlagsFromTheFirstRecord) {
  HFILE file = OpenWith(Record('D', ' ', true, true, "7.pro", "Blank kind") +
                        Record('P', 'E', true, false, "8.pro", "  Lead") + Record('P', 'E', false, true, "8.pro", "Tail"));
  procdir::ProcDirEntry entry;
  ASSERT_EQ(procdir::ProcDirReadEntry(file, 0, entry), 1);
  EXPECT_EQ(entry.flags, procdir::PD_COL0_D | procdir::PD_KIND_BLANK);
  ASSERT_EQ(procdir::ProcDirReadEntry(file, 2, entry), 1);
  EXPECT_EQ(entry.flags, procdir::PD_COL0_P | procdir::PD_KIND_E);
  EXPECT_EQ(EntryNames(entry), (Names6{"  Lead", "Tail"}));
}

TEST_F(OpsTest, ReadEntryOfAFreeRecordAndPastTheEnd) {
  HFILE file = OpenWith(EntryRecords('E', "1.pro", {"A"}) + FreeRecord());
  procdir::ProcDirEntry entry;
  ASSERT_EQ(procdir::ProcDirReadEntry(file, 1, entry), 1);
  EXPECT_EQ(entry.flags, procdir::PD_FREE);
  EXPECT_EQ(entry.first, 1);
  EXPECT_EQ(entry.last, 1);
  EXPECT_EQ(entry.nameCount, 0);
  EXPECT_EQ(procdir::ProcDirReadEntry(file, 2, entry), 0);
  EXPECT_EQ(entry.flags, procdir::PD_PAST_END);
  EXPECT_EQ(procdir::ProcDirReadEntry(file, 70000, entry), 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(OpsTest, ReadEntryOfAnEntryCutOffAtTheEndReports902) {
  HFILE file = OpenWith(Record(' ', 'E', true, false, "1.pro", "A") + Record(' ', 'E', false, false, "1.pro", "B"));
  procdir::ProcDirEntry entry;
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirReadEntry(file, 1, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{902}));
}

TEST_F(OpsTest, ReadEntryFileNameRunningIntoTheLineEndReports907) {
  std::string record = Record(' ', 'E', true, true, "1.pro", "A");
  record.replace(5, 68, std::string(68, 'x'));
  HFILE file = OpenWith(record);
  procdir::ProcDirEntry entry;
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirReadEntry(file, 0, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{907}));
}

// ---------------------------------------------------------------- Find

TEST_F(OpsTest, FindInAnEmptyIndex) {
  HFILE file = Open("w");
  procdir::ProcDirEntry entry = Names({"A"}, procdir::PD_EXISTS | procdir::PD_KIND_E);
  std::strcpy(entry.fileName, "keep");
  ASSERT_EQ(procdir::ProcDirFind(file, entry), 1);
  EXPECT_EQ(entry.flags, 0);
  EXPECT_STREQ(entry.fileName, "keep");  // untouched when nothing is found
  EXPECT_EQ(EntryNames(entry), (Names6{"A"}));
}

TEST_F(OpsTest, FindIgnoresLetterCaseButNotATrailingBlank) {
  HFILE file = OpenWith(FreeRecord() + EntryRecords('E', "4.pro", {"Digital Meter", "DMM"}));
  procdir::ProcDirEntry entry = Names({"DIGITAL METER"});
  ASSERT_EQ(procdir::ProcDirFind(file, entry), 1);
  EXPECT_EQ(entry.flags, procdir::PD_EXISTS | procdir::PD_KIND_E);
  EXPECT_STREQ(entry.fileName, "4.pro");
  EXPECT_EQ(entry.first, 1);
  EXPECT_EQ(entry.current, 1);
  EXPECT_EQ(EntryNames(entry), (Names6{"Digital Meter", "DMM"}));

  procdir::ProcDirEntry blank = Names({"Digital Meter "});
  ASSERT_EQ(procdir::ProcDirFind(file, blank), 1);
  EXPECT_EQ(blank.flags, 0);
}

TEST_F(OpsTest, FindReturnsTheEntryOfTheEarliestMatchingRecord) {
  HFILE file = OpenWith(EntryRecords('E', "1.pro", {"X", "B"}) + EntryRecords('E', "2.pro", {"A"}));
  procdir::ProcDirEntry entry = Names({"A", "B"});
  ASSERT_EQ(procdir::ProcDirFind(file, entry), 1);
  EXPECT_STREQ(entry.fileName, "1.pro");
  EXPECT_EQ(entry.current, 1);  // matched on the second record
  EXPECT_EQ(entry.first, 0);
  EXPECT_EQ(entry.last, 1);
}

TEST_F(OpsTest, FindBeforeAShortFinalRecordSucceedsAMissingNameReports902) {
  WriteIndex(EntryRecords('E', "1.pro", {"A"}) + EntryRecords('E', "2.pro", {"B"}) + std::string(40, ' '));
  Answer({ui::IDOK});
  HFILE file = Open("w");  // 909: going on
  ASSERT_NE(file, -1);
  ClearBoxes();
  procdir::ProcDirEntry entry = Names({"b"});
  ASSERT_EQ(procdir::ProcDirFind(file, entry), 1);
  EXPECT_STREQ(entry.fileName, "2.pro");
  EXPECT_TRUE(Boxes().empty());

  procdir::ProcDirEntry missing = Names({"C"});
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirFind(file, missing), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{902}));
  EXPECT_EQ(missing.flags & procdir::PD_EXISTS, 0);
}

TEST_F(OpsTest, FindThroughManyBuffersOfRecords) {
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += EntryRecords('E', std::to_string(i + 1) + ".pro", {"N" + std::to_string(i)});
  HFILE file = OpenWith(bytes);
  for (int i : {0, 1023, 1024, 1025, 2047, 2048, 2999}) {
    procdir::ProcDirEntry entry = Names({"n" + std::to_string(i)});
    ASSERT_EQ(procdir::ProcDirFind(file, entry), 1);
    EXPECT_EQ(entry.first, i);
    EXPECT_EQ(entry.fileName, std::to_string(i + 1) + ".pro");
  }
}

TEST_F(OpsTest, FindWithTooManyNamesReports916) {
  HFILE file = OpenWith(EntryRecords('E', "1.pro", {"A"}));
  procdir::ProcDirEntry entry = Names({"A"});
  entry.nameCount = 7;
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirFind(file, entry), 0);
  ASSERT_EQ(Messages(), (std::vector<int>{916}));
  EXPECT_NE(Boxes()[0].text.find('7'), std::string::npos);
}

// ---------------------------------------------------------------- Add

TEST_F(OpsTest, AddToAnEmptyIndexGivesOnePro) {
  HFILE file = Open("w");
  procdir::ProcDirEntry entry = Names({"Meter", "DMM"}, procdir::PD_KIND_E | procdir::PD_EXISTS);
  ASSERT_EQ(procdir::ProcDirAdd(file, entry), 1);
  EXPECT_EQ(entry.flags & procdir::PD_EXISTS, 0);
  EXPECT_STREQ(entry.fileName, "1.pro");
  EXPECT_EQ(entry.first, 0);
  EXPECT_EQ(entry.last, 1);
  EXPECT_EQ(procdir::ProcDirRecordCount(), 2u);
  EXPECT_EQ(IndexBytes(), EntryRecords('E', "1.pro", {"Meter", "DMM"}));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(OpsTest, AddTakesTheHighestNumberPlusOne) {
  HFILE file = OpenWith(EntryRecords('E', "5.pro", {"A"}) + FreeRecord() + EntryRecords('H', "41.pro", {"B", "C"}) +
                        EntryRecords('E', "calib.pro", {"D"}) + EntryRecords('E', "12.pro", {"E"}) +
                        Record(' ', 'E', true, true, "  30x.pro", "F"));
  procdir::ProcDirEntry entry = Names({"New"}, procdir::PD_KIND_H);
  ASSERT_EQ(procdir::ProcDirAdd(file, entry), 1);
  EXPECT_STREQ(entry.fileName, "42.pro");
  EXPECT_EQ(entry.first, 7);
  EXPECT_EQ(RecordAt(7), Record(' ', 'H', true, true, "42.pro", "New"));
  EXPECT_EQ(procdir::ProcDirRecordCount(), 8u);

  // The next one counts the entry just added.
  procdir::ProcDirEntry next = Names({"Newer"}, procdir::PD_KIND_E);
  ASSERT_EQ(procdir::ProcDirAdd(file, next), 1);
  EXPECT_STREQ(next.fileName, "43.pro");
}

// The number at the start of a file-name field, leading blanks skipped.
long LeadingNumber(const std::string& field) {
  std::size_t at = field.find_first_not_of(' ');
  long number = 0;
  for (; at < field.size() && field[at] >= '0' && field[at] <= '9'; ++at) number = number * 10 + (field[at] - '0');
  return number;
}

// File numbers in every form the pass meets, in runs of records under one
// file name: the new entry is numbered one above the highest.
TEST_F(OpsTest, AddFindsTheHighestNumberAmongFileNamesOfEveryForm) {
  unsigned seed = 99;
  auto next = [&seed](unsigned range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % range;
  };
  const std::vector<std::string> shapes = {"%", "0%", "00%", "  %", "%x", "%.pro", "x%.pro", "% .pro", ""};
  for (int round = 0; round < 40; ++round) {
    std::string bytes;
    long highest = 0;
    for (int e = 0; e < 60; ++e) {
      long number = long(next(round % 2 == 0 ? 1000u : 30000000u));
      std::string shape = shapes[next(unsigned(shapes.size()))];
      std::string field = shape;
      std::size_t at = field.find('%');
      if (at != std::string::npos) field.replace(at, 1, std::to_string(number));
      field = field.substr(0, 12);
      long value = LeadingNumber(field);
      if (value > highest) highest = value;
      std::string names[3] = {"N" + std::to_string(e), "M" + std::to_string(e), "O" + std::to_string(e)};
      int count = 1 + int(next(3));
      for (int i = 0; i < count; ++i) bytes += Record(' ', 'E', i == 0, i + 1 == count, field, names[i]);
      if (next(5) == 0) bytes += FreeRecord();
    }
    WriteIndex(bytes);
    HFILE file = Open("w");
    procdir::ProcDirEntry entry = Names({"New"}, procdir::PD_KIND_E);
    ASSERT_EQ(procdir::ProcDirAdd(file, entry), 1) << "round " << round;
    EXPECT_EQ(entry.fileName, std::to_string(highest + 1) + ".pro") << "round " << round;
    Close();
  }
  // Fields alike in their first eight bytes, told apart by what follows.
  WriteIndex(EntryRecords('E', "  3000001", {"A"}) + EntryRecords('E', "  3000009", {"B"}) +
             EntryRecords('E', "000000017", {"C"}) + EntryRecords('E', "000000015", {"D"}));
  HFILE file = Open("w");
  procdir::ProcDirEntry entry = Names({"New"}, procdir::PD_KIND_E);
  ASSERT_EQ(procdir::ProcDirAdd(file, entry), 1);
  EXPECT_STREQ(entry.fileName, "3000010.pro");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(OpsTest, AddOfAnExistingNamePointsAtTheEntryAndWritesNothing) {
  std::string before = EntryRecords('E', "3.pro", {"A"}) + EntryRecords('E', "9.pro", {"B", "C"});
  HFILE file = OpenWith(before);
  procdir::ProcDirEntry entry = Names({"Q", "c", "R"}, procdir::PD_KIND_H);
  ASSERT_EQ(procdir::ProcDirAdd(file, entry), 1);
  EXPECT_EQ(entry.flags, procdir::PD_KIND_H | procdir::PD_EXISTS);
  EXPECT_STREQ(entry.fileName, "9.pro");
  EXPECT_EQ(entry.first, 1);
  EXPECT_EQ(entry.last, 2);
  EXPECT_EQ(entry.current, 2);
  EXPECT_EQ(EntryNames(entry), (Names6{"Q", "c", "R"}));  // the caller's names stay
  EXPECT_EQ(IndexBytes(), before);
  EXPECT_EQ(procdir::ProcDirRecordCount(), 3u);
}

TEST_F(OpsTest, AddRefusesSevenNamesAndNoNames) {
  std::string before = EntryRecords('E', "1.pro", {"A"});
  HFILE file = OpenWith(before);
  procdir::ProcDirEntry entry = Names({"1", "2", "3", "4", "5", "6"}, procdir::PD_KIND_E);
  entry.nameCount = 7;
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirAdd(file, entry), 0);
  procdir::ProcDirEntry none = Names({}, procdir::PD_KIND_E);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirAdd(file, none), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{916, 920}));
  EXPECT_STREQ(none.fileName, "");
  EXPECT_EQ(IndexBytes(), before);
}

TEST_F(OpsTest, AddWithFileNumberLimitReachedReports921) {
  std::string before = EntryRecords('E', "99999998.pro", {"A"}) + EntryRecords('E', "99999999.pro", {"B"});
  HFILE file = OpenWith(before);
  procdir::ProcDirEntry entry = Names({"C"}, procdir::PD_KIND_E);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirAdd(file, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{921}));
  EXPECT_STREQ(entry.fileName, "");
  EXPECT_EQ(IndexBytes(), before);

  // One below the limit still gives the last number.
  Close();
  WriteIndex(EntryRecords('E', "99999998.pro", {"A"}));
  file = Open("w");
  ClearBoxes();
  ASSERT_EQ(procdir::ProcDirAdd(file, entry), 1);
  EXPECT_STREQ(entry.fileName, "99999999.pro");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(OpsTest, AddStopsAtAShortFinalRecord) {
  WriteIndex(EntryRecords('E', "1.pro", {"A"}) + std::string(10, 'z'));
  Answer({ui::IDOK});
  HFILE file = Open("w");
  ClearBoxes();
  std::string before = IndexBytes();
  procdir::ProcDirEntry entry = Names({"B"}, procdir::PD_KIND_E);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirAdd(file, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{902}));
  EXPECT_EQ(IndexBytes(), before);
}

TEST_F(OpsTest, AddToAFullIndexIsRefusedWith925) {
  std::string bytes;
  bytes.reserve(65536 * 75);
  for (int i = 0; i < 65536; ++i) bytes += (i % 2 == 0) ? EntryRecords('E', std::to_string(i + 1) + ".pro", {"N" + std::to_string(i)}) : FreeRecord();
  HFILE file = OpenWith(bytes);
  ASSERT_EQ(procdir::ProcDirRecordCount(), 65536u);
  procdir::ProcDirEntry entry = Names({"New"}, procdir::PD_KIND_E);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirAdd(file, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{925}));
  EXPECT_EQ(IndexBytes().size(), bytes.size());
  EXPECT_EQ(procdir::ProcDirRecordCount(), 65536u);
  // An existing name is still found at the last addressable record.
  procdir::ProcDirEntry last = Names({"N65534"});
  ASSERT_EQ(procdir::ProcDirFind(file, last), 1);
  EXPECT_EQ(last.first, 65534);
}

TEST_F(OpsTest, RecordsPastTheLastAddressableOneAreNotLookedAt) {
  std::string bytes;
  for (int i = 0; i < 65536; ++i) bytes += FreeRecord();
  bytes += EntryRecords('E', "5.pro", {"Beyond"});
  WriteIndex(bytes);
  Answer({ui::IDOK});  // 915: use it anyway
  HFILE file = Open("w");
  ASSERT_NE(file, -1);
  ASSERT_EQ(procdir::ProcDirRecordCount(), 65537u);
  ClearBoxes();
  procdir::ProcDirEntry entry = Names({"Beyond"}, procdir::PD_KIND_E);
  ASSERT_EQ(procdir::ProcDirFind(file, entry), 1);
  EXPECT_EQ(entry.flags, 0);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirAdd(file, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{925}));
  EXPECT_EQ(IndexBytes(), bytes);
}

TEST_F(OpsTest, AddFitsTheLastRecords) {
  std::string bytes;
  for (int i = 0; i < 65534; ++i) bytes += FreeRecord();
  HFILE file = OpenWith(bytes);
  procdir::ProcDirEntry three = Names({"A", "B", "C"}, procdir::PD_KIND_E);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirAdd(file, three), 0);  // 65,537 records
  EXPECT_EQ(Messages(), (std::vector<int>{925}));
  procdir::ProcDirEntry two = Names({"A", "B"}, procdir::PD_KIND_E);
  ASSERT_EQ(procdir::ProcDirAdd(file, two), 1);
  EXPECT_EQ(two.first, 65534);
  EXPECT_EQ(two.last, 65535);
  EXPECT_EQ(procdir::ProcDirRecordCount(), 65536u);
}

// ---------------------------------------------------------------- Replace

class ReplaceTest : public OpsTest {
 protected:
  // Adds the descriptor as the index update does; expects an existing entry.
  procdir::ProcDirEntry Existing(HFILE file, std::initializer_list<std::string> names, std::uint8_t kind = procdir::PD_KIND_E) {
    procdir::ProcDirEntry entry = Names(names, kind | procdir::PD_EXISTS);
    EXPECT_EQ(procdir::ProcDirAdd(file, entry), 1);
    EXPECT_TRUE(entry.flags & procdir::PD_EXISTS);
    return entry;
  }
};

TEST_F(ReplaceTest, ThreeRecordsByTwoNamesInPlace) {
  HFILE file = OpenWith(EntryRecords('E', "1.pro", {"Z"}) + EntryRecords('H', "2.pro", {"A", "B", "C"}) +
                        EntryRecords('E', "3.pro", {"Y"}));
  procdir::ProcDirEntry entry = Existing(file, {"A", "B"});
  ASSERT_EQ(procdir::ProcDirReplace(file, entry), 1);
  EXPECT_EQ(entry.first, 1);
  EXPECT_EQ(entry.last, 2);
  EXPECT_STREQ(entry.fileName, "2.pro");
  EXPECT_EQ(IndexBytes(), EntryRecords('E', "1.pro", {"Z"}) + EntryRecords('E', "2.pro", {"A", "B"}) + FreeRecord() +
                              EntryRecords('E', "3.pro", {"Y"}));
  EXPECT_EQ(procdir::ProcDirRecordCount(), 5u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ReplaceTest, TwoRecordsAndTwoFreeByFourNamesInPlace) {
  HFILE file = OpenWith(EntryRecords('H', "6.pro", {"A", "B"}) + FreeRecord() + FreeRecord() + FreeRecord() +
                        EntryRecords('E', "7.pro", {"Y"}));
  procdir::ProcDirEntry entry = Existing(file, {"A", "B", "C", "D"});
  ASSERT_EQ(procdir::ProcDirReplace(file, entry), 1);
  EXPECT_EQ(entry.first, 0);
  EXPECT_EQ(entry.last, 3);
  EXPECT_EQ(IndexBytes(), EntryRecords('E', "6.pro", {"A", "B", "C", "D"}) + FreeRecord() +
                              EntryRecords('E', "7.pro", {"Y"}));
}

TEST_F(ReplaceTest, TwoRecordsWithoutRoomByThreeNamesIsAppended) {
  HFILE file = OpenWith(EntryRecords('E', "1.pro", {"A", "B"}) + EntryRecords('E', "2.pro", {"Y"}));
  procdir::ProcDirEntry entry = Existing(file, {"A", "B", "C"}, procdir::PD_KIND_H);
  ASSERT_EQ(procdir::ProcDirReplace(file, entry), 1);
  EXPECT_EQ(entry.first, 3);
  EXPECT_EQ(entry.last, 5);
  EXPECT_STREQ(entry.fileName, "1.pro");
  EXPECT_EQ(IndexBytes(), FreeRecord() + FreeRecord() + EntryRecords('E', "2.pro", {"Y"}) +
                              EntryRecords('H', "1.pro", {"A", "B", "C"}));
  EXPECT_EQ(procdir::ProcDirRecordCount(), 6u);
}

TEST_F(ReplaceTest, SameNamesRewriteTheStatusAndKind) {
  HFILE file = OpenWith(Record('D', 'H', true, false, "4.pro", "A") + Record('D', 'H', false, true, "4.pro", "B"));
  procdir::ProcDirEntry entry = Existing(file, {"a", "b"});
  ASSERT_EQ(procdir::ProcDirReplace(file, entry), 1);
  EXPECT_EQ(IndexBytes(), EntryRecords('E', "4.pro", {"a", "b"}));
}

TEST_F(ReplaceTest, ANameOfAnotherEntryReports903AndChangesNothing) {
  for (bool before : {true, false}) {
    std::string other = EntryRecords('E', "8.pro", {"C"});
    std::string mine = EntryRecords('E', "9.pro", {"A", "B"});
    std::string bytes = before ? other + mine : mine + FreeRecord() + other;
    HFILE file = OpenWith(bytes);
    ClearBoxes();
    procdir::ProcDirEntry entry = Existing(file, {"A", "B"});
    std::strcpy(entry.names[1], "c");
    Answer({ui::IDCANCEL});
    EXPECT_EQ(procdir::ProcDirReplace(file, entry), 0);
    ASSERT_EQ(Messages(), (std::vector<int>{903}));
    EXPECT_NE(Boxes()[0].text.find(" c "), std::string::npos) << Boxes()[0].text;
    EXPECT_EQ(IndexBytes(), bytes);
    Close();
  }
}

TEST_F(ReplaceTest, SevenNamesReport916AndWriteNothing) {
  std::string bytes = EntryRecords('E', "1.pro", {"A"});
  HFILE file = OpenWith(bytes);
  procdir::ProcDirEntry entry = Existing(file, {"A"});
  entry.nameCount = 7;
  int writes = 0;
  platform::FaultInjector faults;
  faults.FilterWrites([&](HFILE, platform::UINT count) {
    ++writes;
    return count;
  });
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirReplace(file, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{916}));
  EXPECT_EQ(writes, 0);
  EXPECT_EQ(IndexBytes(), bytes);
}

TEST_F(ReplaceTest, NoNamesReport920AndTheEntryStays) {
  std::string bytes = EntryRecords('E', "1.pro", {"A", "B"});
  HFILE file = OpenWith(bytes);
  procdir::ProcDirEntry entry = Existing(file, {"A"});
  entry.nameCount = 0;
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirReplace(file, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{920}));
  EXPECT_EQ(IndexBytes(), bytes);
}

TEST_F(ReplaceTest, AStaleDescriptorIsRefused) {
  std::string bytes = EntryRecords('E', "1.pro", {"A", "B"}) + EntryRecords('E', "2.pro", {"C"});
  HFILE file = OpenWith(bytes);
  procdir::ProcDirEntry entry = Existing(file, {"A", "B"});
  entry.last = 2;  // runs into the next entry
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirReplace(file, entry), 0);
  std::strcpy(entry.names[0], "Q");  // no conflict with record 0
  std::strcpy(entry.names[1], "R");
  entry.first = 1;  // not the entry's first record
  entry.last = 1;
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirReplace(file, entry), 0);
  entry.first = 3;  // past the end
  entry.last = 3;
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirReplace(file, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{902, 902, 902}));
  EXPECT_EQ(IndexBytes(), bytes);
}

TEST_F(ReplaceTest, AppendPastTheLastRecordIsRefusedWith925) {
  std::string bytes = EntryRecords('E', "1.pro", {"A"});
  for (int i = 1; i < 65536; ++i) bytes += FreeRecord();
  bytes.replace(75, 75, EntryRecords('E', "2.pro", {"Blocker"}));  // no room after A
  HFILE file = OpenWith(bytes);
  procdir::ProcDirEntry entry = Existing(file, {"A", "B"});
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirReplace(file, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{925}));
  EXPECT_EQ(IndexBytes(), bytes);
}

}  // namespace
