// The checks a catalogue passes before a medium is made, each fault with its
// exact line, and the names the media lists can carry.
#include <gtest/gtest.h>

#include <filesystem>

#include "testing/host_platform.h"
#include "tools/mkmedia/catalogue_check.h"
#include "tools/mkmedia/host_files.h"
#include "tools/mkmedia/name_rules.h"

namespace mkmedia {
namespace {

using Strings = std::vector<std::string>;

std::string Record(const std::string& names, const std::string& proc, const std::string& rest = "") {
  return "instrument==========\n" + names + "procfile\n" + proc + "\n" + rest + "end\n";
}

TEST(NameRules, ListableNames) {
  for (const char* good : {"DMM45.PRO", "a", "LEADS 2.BMP", "x..y", "...", "über.dat"}) EXPECT_TRUE(IsListableName(good)) << good;
  for (const std::string& bad : Strings{"", ".", "..", "a\\b", "a/b", "c:x", "a,b", "a=b", "[x", ";x", " a", "a ", "\ta",
                                std::string("a\0b", 3), "a\x01", "a\x7f"})
    EXPECT_FALSE(IsListableName(bad)) << bad;
}

TEST(CatalogueCheck, SoundRecordsPass) {
  MediaCatalogue c = ParseCatalogue(Record("P\nP2\n", "P.PRO", "sub\nS\nfiles\ndatafiles\ncalibrator\nR520\n") +
                                    "instrumentSub=======\nS\nprocfile\nS.pro\nend\n");
  EXPECT_TRUE(CheckRecords(c).empty());
}

TEST(CatalogueCheck, NamesOfARecord) {
  std::string seven;
  for (int i = 1; i <= 7; ++i) seven += "N" + std::to_string(i) + "\n";
  MediaCatalogue c = ParseCatalogue(Record(seven, "SEVEN.PRO") + Record("\n", "EMPTY.PRO") +
                                    Record(std::string(56, 'L') + "\n" + std::string(55, 'K') + "\n", "LONG.PRO") +
                                    Record("dmm 45\nDMM 45\n", "TWICE.PRO") + "instrument==========\nprocfile\nNONE.PRO\nend\n");
  EXPECT_EQ(CheckRecords(c),
            (Strings{"kelmar.lst:1: \"N1\" has 7 names; an installed procedure carries at most 6",
                     "kelmar.lst:13: an empty procedure name (a blank line among the names of the record of line 12)",
                     "kelmar.lst:18: the name \"" + std::string(56, 'L') +
                         "\" is 56 characters long; the procedure index keeps at most 55",
                     "kelmar.lst:25: the name \"DMM 45\" is also given on line 24",
                     "kelmar.lst:29: a record without a name"}));
}

TEST(CatalogueCheck, NameGivenByTwoRecordsIgnoringCase) {
  MediaCatalogue c = ParseCatalogue(Record("Counter 220\n", "A.PRO") + Record("COUNTER 220\n", "B.PRO"));
  EXPECT_EQ(CheckRecords(c), (Strings{"kelmar.lst:7: the name \"COUNTER 220\" is also given on line 2"}));
}

TEST(CatalogueCheck, SubProceduresNeedARecord) {
  MediaCatalogue c = ParseCatalogue(Record("P\n", "P.PRO", "sub\nrange_chk\nMISSING\nfiles\ndatafiles\ncalibrator\nR520\n") +
                                    "instrumentSub=======\nRANGE_CHK\nprocfile\nR.PRO\nend\n");
  EXPECT_EQ(CheckRecords(c), (Strings{"kelmar.lst:1: the sub-procedure \"MISSING\" of \"P\" has no record"}));
}

TEST(CatalogueCheck, ProcedureFilesEndInOAndBelongToOneRecord) {
  MediaCatalogue c = ParseCatalogue(Record("A\n", "A.PRX") + Record("B\n", "SHARED.PRO") + Record("C\n", "shared.pro") +
                                    Record("D\n", "D.PrO"));
  EXPECT_EQ(CheckRecords(c),
            (Strings{"kelmar.lst:1: the procedure file \"A.PRX\" of \"A\" does not end in \"o\" or \"O\" (as .pro does)",
                     "kelmar.lst:11: the procedure file \"shared.pro\" is also the procedure file of line 6"}));
}

class PayloadCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = orvik_testing::MakeTempFolder();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Put(const std::string& name, const std::string& bytes) { ASSERT_TRUE(WriteHostFile(dir_ + "/" + name, bytes, 0644)); }
  std::string dir_;
};

TEST_F(PayloadCheck, FilesFoundExactlyOrIgnoringCase) {
  Put("P.PRO", "p");
  Put("pic.bmp", "bitmap");
  MediaCatalogue c = ParseCatalogue(Record("P\n", "P.PRO", "files\nPIC.BMP\ndatafiles\ncalibrator\nR520\n"));
  std::vector<FoundFile> found;
  EXPECT_TRUE(CheckPayloadFiles(c, dir_, &found).empty());
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].hostPath, dir_ + "/P.PRO");
  EXPECT_EQ(found[0].size, 1u);
  EXPECT_EQ(found[1].hostPath, dir_ + "/pic.bmp");
  EXPECT_EQ(found[1].size, 6u);
}

TEST_F(PayloadCheck, EveryFaultOfTheFiles) {
  Put("P.PRO", "p");
  Put("EMPTY.DAT", "");
  Put("A.BMP", "a");
  ASSERT_TRUE(std::filesystem::create_directory(dir_ + "/FOLDER.EXE"));
  MediaCatalogue c = ParseCatalogue(
      Record("P\n", "P.PRO", "files\nA.BMP\na.bmp\nFOLDER.EXE\nGONE.EXE\n..\nx,y\ndatafiles\nEMPTY.DAT\ncalibrator\nR520\n"));
  std::vector<FoundFile> found;
  EXPECT_EQ(CheckPayloadFiles(c, dir_, &found),
            (Strings{"kelmar.lst:1: the file names \"a.bmp\" and \"A.BMP\" (line 1) differ only in letter case: one "
                     "file on the target",
                     "kelmar.lst:1: the file \"FOLDER.EXE\" in " + dir_ + " is not a regular file",
                     "kelmar.lst:1: the file \"GONE.EXE\" is not in " + dir_,
                     "kelmar.lst:1: \"..\" is not a plain file name that the media lists can carry",
                     "kelmar.lst:1: \"x,y\" is not a plain file name that the media lists can carry",
                     "kelmar.lst:1: the file \"EMPTY.DAT\" is empty: the disk map cannot list a file of 0 bytes"}));
  EXPECT_EQ(found.size(), 8u);  // one per payload name, good or not
}

TEST_F(PayloadCheck, TwoEntriesDifferingOnlyInCaseAreNoMatch) {
  SKIP_UNLESS_POSIX("file names that differ only in letter case");
  Put("p.pro", "1");
  Put("P.Pro", "2");
  MediaCatalogue c = ParseCatalogue(Record("P\n", "P.PRO"));
  std::vector<FoundFile> found;
  EXPECT_EQ(CheckPayloadFiles(c, dir_, &found), (Strings{"kelmar.lst:1: the file \"P.PRO\" is not in " + dir_}));
}

}  // namespace
}  // namespace mkmedia
