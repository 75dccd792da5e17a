// Damaged indexes: reported with a numbered message, never read past the
// descriptor's room; and the inspection of whole index images.
#include <cstring>
#include <string>

#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_inspect.h"
#include "installer/procdir/procdir_open.h"
#include "testing/procdir_test.h"
#include "ui/msgbox.h"

using namespace procdir_test;
using platform::HFILE;

namespace {

class DamageTest : public ProcDirTest {
 protected:
  HFILE OpenWith(const std::string& bytes) {
    WriteIndex(bytes);
    HFILE file = Open("w");
    EXPECT_NE(file, -1);
    return file;
  }
};

// An entry of `count` records from `fileName` without an 'L' until the last.
std::string LongEntry(int count, const std::string& fileName) {
  std::string out;
  for (int i = 0; i < count; ++i)
    out += Record(' ', 'E', i == 0, i == count - 1, fileName, "Name" + std::to_string(i));
  return out;
}

TEST_F(DamageTest, EntryOfSixRecordsIsFine) {
  HFILE file = OpenWith(EntryRecords('E', "1.pro", {"A"}) + LongEntry(6, "2.pro"));
  procdir::ProcDirEntry entry = Names({"Name5"});
  ASSERT_EQ(procdir::ProcDirFind(file, entry), 1);
  EXPECT_EQ(entry.nameCount, 6);
  EXPECT_EQ(entry.last, 6);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(DamageTest, EntryRunningPastSixRecordsReports923WithItsStart) {
  HFILE file = OpenWith(EntryRecords('E', "1.pro", {"A"}) + LongEntry(9, "2.pro") + EntryRecords('E', "3.pro", {"B"}));
  for (const char* name : {"Name0", "Name8"}) {
    ClearBoxes();
    procdir::ProcDirEntry entry = Names({name});
    Answer({ui::IDCANCEL});
    EXPECT_EQ(procdir::ProcDirFind(file, entry), 0) << name;
    ASSERT_EQ(Messages(), (std::vector<int>{923})) << name;
    EXPECT_NE(Boxes()[0].text.find("record 1 "), std::string::npos) << Boxes()[0].text;
    EXPECT_EQ(entry.flags & procdir::PD_EXISTS, 0);
    EXPECT_LE(entry.nameCount, 6);
  }
  // Going on after the message still leaves the lookup unfound.
  procdir::ProcDirEntry entry = Names({"Name3"});
  Answer({ui::IDOK});
  EXPECT_NE(procdir::ProcDirFind(file, entry), 0);
  EXPECT_EQ(entry.flags & procdir::PD_EXISTS, 0);
}

// File names are joined to the procedure folder and written: anything but a
// plain name there makes the entry damaged (926), for lookups and adds alike.
TEST_F(DamageTest, FileNamesThatAreNotPlainNamesReport926) {
  const std::vector<std::string> bad = {"..\\..\\x.pro", "..\\DMM45.DAT", "proc.dir", "PROC.DIR", "e\\x.pro",
                                        "e/x.pro",          "C:x.pro",        "..",       "a..b",     "proc.dir."};
  std::string bytes;
  for (std::size_t i = 0; i < bad.size(); ++i) bytes += EntryRecords('E', bad[i], {"N" + std::to_string(i)});
  bytes += EntryRecords('E', "7.pro", {"GOOD"});
  HFILE file = OpenWith(bytes);
  for (std::size_t i = 0; i < bad.size(); ++i) {
    ClearBoxes();
    procdir::ProcDirEntry entry = Names({"N" + std::to_string(i)}, procdir::PD_KIND_E);
    Answer({ui::IDOK});
    EXPECT_NE(procdir::ProcDirAdd(file, entry), 0) << bad[i];
    ASSERT_EQ(Messages(), (std::vector<int>{926})) << bad[i];
    EXPECT_NE(Boxes()[0].text.find("record " + std::to_string(i) + " names the file " + bad[i]), std::string::npos)
        << Boxes()[0].text;
    EXPECT_STREQ(entry.fileName, "") << bad[i];
    EXPECT_EQ(entry.flags & procdir::PD_EXISTS, 0) << bad[i];
  }
  EXPECT_EQ(IndexBytes(), bytes);
  ClearBoxes();
  procdir::ProcDirEntry good = Names({"GOOD"});
  ASSERT_EQ(procdir::ProcDirFind(file, good), 1);
  EXPECT_STREQ(good.fileName, "7.pro");
  EXPECT_TRUE(Boxes().empty());

  procdir::IndexReport report = procdir::InspectIndex(bytes);
  ASSERT_EQ(report.problems.size(), bad.size());
  EXPECT_NE(report.problems[1].find("file name \"..\\DMM45.DAT\" is not a plain file name"), std::string::npos)
      << report.problems[1];
  for (const procdir::InspectedEntry& entry : report.entries) EXPECT_EQ(entry.fileNameValid, entry.fileName == "7.pro");
}

TEST_F(DamageTest, SevenRecordsAtTheEndOfTheFileWithoutLReport902) {
  // Six records without 'L' and nothing after: the entry ends without 'L'.
  std::string bytes = LongEntry(7, "2.pro").substr(0, 6 * 75);
  HFILE file = OpenWith(bytes);
  procdir::ProcDirEntry entry;
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirReadEntry(file, 2, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{902}));
}

TEST_F(DamageTest, AddAndReplaceStopAtADamagedEntry) {
  std::string bytes = LongEntry(8, "2.pro");
  HFILE file = OpenWith(bytes);
  procdir::ProcDirEntry entry = Names({"Name7"}, procdir::PD_KIND_E);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirAdd(file, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{923}));
  EXPECT_STREQ(entry.fileName, "");
  EXPECT_EQ(IndexBytes(), bytes);
}

TEST_F(DamageTest, FileNameLongerThanTwelveReports924WithTheEntry) {
  // The file name runs 14 characters into the name column.
  std::string record = Record(' ', 'E', true, true, "", "x Meter");
  record.replace(5, 14, "abcdefghijklmn");
  HFILE file = OpenWith(EntryRecords('E', "1.pro", {"A"}) + FreeRecord() + record);
  procdir::ProcDirEntry entry = Names({"n Meter"});
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirFind(file, entry), 0);
  ASSERT_EQ(Messages(), (std::vector<int>{924}));
  EXPECT_NE(Boxes()[0].text.find("record 2 "), std::string::npos) << Boxes()[0].text;
  EXPECT_EQ(entry.flags & procdir::PD_EXISTS, 0);
  EXPECT_EQ(entry.fileName[12], '\0');
}

TEST_F(DamageTest, TwelveCharacterFileNameIsFine) {
  HFILE file = OpenWith(EntryRecords('E', "abcdefgh.pro", {"Meter"}));
  procdir::ProcDirEntry entry = Names({"meter"});
  ASSERT_EQ(procdir::ProcDirFind(file, entry), 1);
  EXPECT_STREQ(entry.fileName, "abcdefgh.pro");
}

TEST_F(DamageTest, FirstRecordWithoutFReports901) {
  HFILE file = OpenWith(Record(' ', 'E', false, true, "1.pro", "A") + EntryRecords('E', "2.pro", {"B"}));
  procdir::ProcDirEntry entry = Names({"A"});
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirFind(file, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{901}));
  procdir::ProcDirEntry other = Names({"B"});
  ASSERT_EQ(procdir::ProcDirFind(file, other), 1);
  EXPECT_STREQ(other.fileName, "2.pro");
}

// ---------------------------------------------------------------- inspection

std::string Joined(const procdir::IndexReport& report) {
  std::string out;
  for (const std::string& line : report.problems) out += line + "\n";
  return out;
}

TEST(InspectTest, HealthyIndex) {
  std::string bytes = EntryRecords('E', "1.pro", {"A", "B"}) + FreeRecord() + EntryRecords('H', "2.pro", {"C"}) +
                      Record('D', ' ', true, true, "calib.pro", "D");
  procdir::IndexReport report = procdir::InspectIndex(bytes);
  EXPECT_EQ(Joined(report), "");
  EXPECT_EQ(report.records, 5u);
  EXPECT_EQ(report.freeRecords, 1u);
  ASSERT_EQ(report.entries.size(), 3u);
  EXPECT_EQ(report.entries[0].first, 0u);
  EXPECT_EQ(report.entries[0].last, 1u);
  EXPECT_EQ(report.entries[1].kind, 'H');
  EXPECT_EQ(report.entries[2].status, 'D');
  EXPECT_EQ(report.entries[2].fileName, "calib.pro");
}

TEST(InspectTest, EmptyIndexIsHealthy) {
  procdir::IndexReport report = procdir::InspectIndex("");
  EXPECT_EQ(Joined(report), "");
  EXPECT_TRUE(report.entries.empty());
}

TEST(InspectTest, SizeAndStructureProblems) {
  std::string bytes = Record(' ', 'E', false, true, "1.pro", "Orphan") +     // 0: no F
                      Record(' ', 'E', true, false, "2.pro", "A") +          // 1: no L ...
                      Record(' ', 'E', true, true, "3.pro", "B") +           // 2: ... F follows
                      Record(' ', 'E', true, false, "4.pro", "C") +          // 3
                      FreeRecord() +                                         // 4: free inside
                      Record(' ', 'H', true, false, "5.pro", "D") +          // 5
                      Record(' ', 'E', false, true, "6.pro", "E") +          // 6: differs
                      std::string(30, ' ');
  procdir::IndexReport report = procdir::InspectIndex(bytes);
  EXPECT_EQ(Joined(report),
            "size 555 is not a whole number of 75-byte records (30 bytes left over at the end)\n"
            "record 0: belongs to no entry (no 'F' record before it)\n"
            "entry at record 1: ends without an 'L' record (record 2 starts another)\n"
            "entry at record 3: ends without an 'L' record (free record 4 follows)\n"
            "record 6: status, kind or file name differs from the entry's first record 5\n");
}

TEST(InspectTest, LongEntriesNamesAndDuplicates) {
  std::string bytes = LongEntry(8, "1.pro") + Record(' ', 'E', true, true, "", "X") +
                      EntryRecords('E', "2.pro", {"Dup", "Twice", "twice"}) + EntryRecords('E', "2.PRO", {"DUP"});
  std::string longName = Record(' ', 'E', true, true, "", "Y");
  longName.replace(5, 14, "abcdefghijklmn");
  bytes += longName + EntryRecords('E', "99999999.pro", {"Z"});
  procdir::IndexReport report = procdir::InspectIndex(bytes);
  EXPECT_EQ(Joined(report),
            "entry at record 0: runs past six records before its 'L'\n"
            "entry at record 8: empty file name\n"
            "entry at record 13: file name longer than 12 characters\n"
            "record 14: file number 99999999 or higher: no new file number can be given\n"
            "entry at record 9: name \"twice\" appears twice\n"
            "name \"DUP\" is in the entries at records 9 and 12\n"
            "file 2.PRO is named by the entries at records 9 and 12\n");
}

TEST(InspectTest, RecordLayoutProblems) {
  std::string bad = Record('Q', 'Z', true, true, "1.pro", "A");
  bad[4] = '*';
  bad[74] = 'x';
  std::string dirtyFree = FreeRecord();
  dirtyFree[20] = 'n';
  procdir::IndexReport report = procdir::InspectIndex(bad + dirtyFree);
  EXPECT_EQ(Joined(report),
            "record 0: does not end in CR LF\n"
            "record 0: unknown status letter 'Q'\n"
            "record 0: unknown kind letter 'Z'\n"
            "record 0: column 4 is not blank\n"
            "record 1: free record is not blank\n");
}

TEST(InspectTest, MoreThan65536Records) {
  std::string bytes;
  for (int i = 0; i < 65537; ++i) bytes += FreeRecord();
  procdir::IndexReport report = procdir::InspectIndex(bytes);
  EXPECT_EQ(Joined(report), "holds 65537 records, more than 65,536\n");
}

}  // namespace
