// The transfer list orvik.lst: layout, kinds, units, the disk table, the
// disk map look-up and the refusals.

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "installer/catalogue/plain_file_name.h"
#include "installer/catalogue/procedures_list.h"
#include "installer/transfer/disk_map.h"
#include "testing/host_platform.h"
#include "testing/transfer_test.h"
#include "installer/transfer/xfer_entry.h"
#include "installer/transfer/xfer_list_writer.h"

namespace xfertest {
namespace {

using transfer::XferLists;

const char* kExampleMap =
    "[Disk1]\r\nA.PRO=12000\r\nA.BMP=30000\r\nA.DAT=500\r\n[Disk2]\r\nB.PRO=8000\r\nTOOL.EXE=40000\r\n";

XferLists ExampleLists() {
  XferLists lists;
  lists.procs = {"A.PRO", "B.PRO"};
  lists.files = {"A.BMP", "TOOL.EXE"};
  lists.dataFiles = {"A.DAT"};
  return lists;
}

using Disks = std::vector<std::int32_t>;

class XferListTest : public TransferTest {
 protected:
  std::uint32_t Write(const XferLists& lists, bool debug = false) {
    std::uint32_t size = 0;
    EXPECT_TRUE(transfer::LayOutXferList(lists, paths, plan, debug, &size));
    return size;
  }
};

TEST_F(XferListTest, WorkedExampleByteForByte) {
  WriteDiskMap(kExampleMap);
  EXPECT_EQ(Write(ExampleLists()), 24u + 59u + 1u + 16u + 79u);
  EXPECT_EQ(ListText(),
            "[Disk1]\r\nF1=A.PRO,P\r\nF2=A.BMP,B\r\nF3=A.DAT,A\r\nF4=next disk\r\n\r\n"
            "[Disk2]\r\nF1=B.PRO,P\r\nF2=TOOL.EXE,M\r\nF3=last disk\r\n\r\n");
  EXPECT_EQ(plan.disks, (Disks{1, 2}));
  EXPECT_EQ(LineCount("box "), 0);
}

TEST_F(XferListTest, SectionWithoutFilesHoldsOnlyItsClosingLine) {
  WriteDiskMap("[Disk2]\r\nA.PRO=10\r\nX.EXE=20\r\n");
  XferLists lists;
  lists.procs = {"A.PRO"};
  lists.files = {"X.EXE"};
  Write(lists);
  EXPECT_EQ(ListText(),
            "[Disk1]\r\nF1=next disk\r\n\r\n[Disk2]\r\nF1=A.PRO,P\r\nF2=X.EXE,M\r\nF3=last disk\r\n\r\n");
  EXPECT_EQ(plan.disks, (Disks{2}));
}

TEST_F(XferListTest, GapBetweenDisksIsWrittenButNotVisited) {
  WriteDiskMap("[Disk1]\nA.PRO=1\n[Disk3]\nB.PRO=1\n");
  XferLists lists;
  lists.procs = {"A.PRO", "B.PRO"};
  Write(lists);
  EXPECT_EQ(ListText(),
            "[Disk1]\r\nF1=A.PRO,P\r\nF2=next disk\r\n\r\n[Disk2]\r\nF1=next disk\r\n\r\n"
            "[Disk3]\r\nF1=B.PRO,P\r\nF2=last disk\r\n\r\n");
  EXPECT_EQ(plan.disks, (Disks{1, 3}));
}

TEST_F(XferListTest, ProceduresSubProceduresFilesThenDataFilesInListOrder) {
  WriteDiskMap("[disk1]\nz.dat=1\nPIC.BMP=1\nS.PRO=1\nB.PRO=1\nA.PRO=1\nTOOL.EXE=1\n");
  XferLists lists;
  lists.procs = {"B.PRO", "A.PRO"};
  lists.subProcs = {"S.PRO"};
  lists.files = {"TOOL.EXE", "PIC.BMP"};
  lists.dataFiles = {"z.dat"};
  Write(lists);
  EXPECT_EQ(ListText(),
            "[Disk1]\r\nF1=B.PRO,P\r\nF2=A.PRO,P\r\nF3=S.PRO,P\r\nF4=TOOL.EXE,M\r\nF5=PIC.BMP,B\r\n"
            "F6=z.dat,A\r\nF7=last disk\r\n\r\n");
}

TEST_F(XferListTest, PictureKindByBmpEndingInAnyCase) {
  WriteDiskMap("[Disk1]\nA.BMP=1\nb.Bmp=1\npic.bmp.txt=1\n.bmp=1\nbmp=1\n");
  XferLists lists;
  lists.files = {"A.BMP", "b.Bmp", "pic.bmp.txt", ".bmp", "bmp"};
  Write(lists);
  EXPECT_EQ(ListText(),
            "[Disk1]\r\nF1=A.BMP,B\r\nF2=b.Bmp,B\r\nF3=pic.bmp.txt,M\r\nF4=.bmp,B\r\nF5=bmp,M\r\n"
            "F6=last disk\r\n\r\n");
}

TEST_F(XferListTest, UnitsCountOneMorePerFile) {
  WriteDiskMap("[Disk1]\nK1=1000\nK2=1024\nK3=511\nK4=512\n");
  XferLists lists;
  lists.files = {"K1"};
  EXPECT_EQ(Write(lists), 2u);
  lists.files = {"K2"};
  EXPECT_EQ(Write(lists), 3u);
  lists.files = {"K3", "K4"};
  EXPECT_EQ(Write(lists), 1u + 2u);
  plan.bytesPerSector = 1;
  lists.files = {"K1", "K2"};
  EXPECT_EQ(Write(lists), 1001u + 1025u);
  plan.bytesPerSector = 0;  // never divides by zero: taken as one byte
  EXPECT_EQ(Write(lists), 1001u + 1025u);
}

TEST_F(XferListTest, LargeTransferInBytesIsHeldAtTheTopOfTheCount) {
  WriteDiskMap("[Disk1]\nA=2147483647\nB=2147483647\nC=2147483647\n");
  XferLists lists;
  lists.files = {"A", "B", "C"};
  plan.bytesPerSector = 1;
  EXPECT_EQ(Write(lists), 0xFFFFFFFFu);
}

TEST_F(XferListTest, ZeroNegativeOrNonNumericSizeMeansNotOnThisDisk) {
  WriteDiskMap("[Disk1]\nA=0\nB=-5\nC=abc\nD=  7x\n[Disk2]\nA=3\nB=3\nC=3\n");
  XferLists lists;
  lists.files = {"A", "B", "C", "D"};
  Write(lists);
  EXPECT_EQ(ListText(),
            "[Disk1]\r\nF1=D,M\r\nF2=next disk\r\n\r\n[Disk2]\r\nF1=A,M\r\nF2=B,M\r\nF3=C,M\r\n"
            "F4=last disk\r\n\r\n");
}

TEST_F(XferListTest, DataFileOnALaterDiskIsNotLeftBehind) {
  WriteDiskMap("[Disk1]\nA.PRO=100\n[Disk2]\n[Disk3]\nLATE.DAT=100\n");
  XferLists lists;
  lists.procs = {"A.PRO"};
  lists.dataFiles = {"LATE.DAT"};
  Write(lists);
  EXPECT_EQ(ListText(),
            "[Disk1]\r\nF1=A.PRO,P\r\nF2=next disk\r\n\r\n[Disk2]\r\nF1=next disk\r\n\r\n"
            "[Disk3]\r\nF1=LATE.DAT,A\r\nF2=last disk\r\n\r\n");
  EXPECT_EQ(plan.disks, (Disks{1, 3}));
}

TEST_F(XferListTest, OnlyDataFiles) {
  WriteDiskMap("[Disk2]\nX.DAT=10\n");
  XferLists lists;
  lists.dataFiles = {"X.DAT"};
  EXPECT_EQ(Write(lists), 1u);
  EXPECT_EQ(ListText(), "[Disk1]\r\nF1=next disk\r\n\r\n[Disk2]\r\nF1=X.DAT,A\r\nF2=last disk\r\n\r\n");
}

TEST_F(XferListTest, FileMappedUnderTwoDisksIsTakenFromTheFirstAndNothingIsLost) {
  // A.PRO is listed on disks 1 and 2: counting it twice would make the
  // procedures look complete on disk 2 and B.PRO would never be placed.
  WriteDiskMap("[Disk1]\nA.PRO=10\n[Disk2]\nA.PRO=10\n[Disk3]\nB.PRO=10\n");
  XferLists lists;
  lists.procs = {"A.PRO", "B.PRO"};
  EXPECT_EQ(Write(lists), 2u);
  EXPECT_EQ(ListText(),
            "[Disk1]\r\nF1=A.PRO,P\r\nF2=next disk\r\n\r\n[Disk2]\r\nF1=next disk\r\n\r\n"
            "[Disk3]\r\nF1=B.PRO,P\r\nF2=last disk\r\n\r\n");
  EXPECT_EQ(plan.disks, (Disks{1, 3}));
}

TEST_F(XferListTest, SameNameInTwoListsIsListedForEach) {
  WriteDiskMap("[Disk1]\nS.PRO=10\n");
  XferLists lists;
  lists.procs = {"S.PRO"};
  lists.subProcs = {"S.PRO"};
  Write(lists);
  EXPECT_EQ(ListText(), "[Disk1]\r\nF1=S.PRO,P\r\nF2=S.PRO,P\r\nF3=last disk\r\n\r\n");
}

TEST_F(XferListTest, FileOnNoDiskFailsAfterDisk100) {
  WriteDiskMap("[Disk1]\nA.PRO=10\n");
  XferLists lists;
  lists.procs = {"A.PRO"};
  lists.dataFiles = {"MISSING.DAT"};
  std::uint32_t size = 0;
  EXPECT_FALSE(transfer::LayOutXferList(lists, paths, plan, false, &size));
  EXPECT_EQ(plan.disks, (Disks{1}));
  const std::string text = ListText();
  EXPECT_NE(text.find("[Disk100]\r\nF1=next disk\r\n\r\n[Disk101]\r\n"), std::string::npos);
}

TEST_F(XferListTest, HundredDisksAreTheLimit) {
  std::string map;
  XferLists lists;
  for (int disk = 1; disk <= 100; ++disk) {
    map += "[Disk" + std::to_string(disk) + "]\nF" + std::to_string(disk) + ".PRO=1\n";
    lists.procs.push_back("F" + std::to_string(disk) + ".PRO");
  }
  WriteDiskMap(map);
  EXPECT_EQ(Write(lists), 100u);
  ASSERT_EQ(plan.disks.size(), 100u);
  EXPECT_EQ(plan.disks.back(), 100);
  EXPECT_NE(ListText().find("[Disk100]\r\nF1=F100.PRO,P\r\nF2=last disk\r\n\r\n"), std::string::npos);
}

TEST_F(XferListTest, EmptyTransferWritesNothing) {
  WriteDiskMap("[Disk1]\nA=1\n");
  plan.disks = {7};
  EXPECT_EQ(Write(XferLists{}), 0u);
  EXPECT_EQ(ListText(), "");
  EXPECT_TRUE(plan.disks.empty());
}

TEST_F(XferListTest, RewritesAReadOnlyStagedList) {
  WriteDiskMap(kExampleMap);
  orvik_testing::WriteFile(CHost("work/orvik.lst"), "[Disk9]\r\nF1=OLD,P\r\n");
  namespace fs = std::filesystem;
  fs::permissions(CHost("work/orvik.lst"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  Write(ExampleLists());
  EXPECT_EQ(ListText().rfind("[Disk1]\r\nF1=A.PRO,P\r\n", 0), 0u);
  EXPECT_EQ(ListText().find("OLD"), std::string::npos);
}

TEST_F(XferListTest, DebugModeShowsTheListLocation) {
  WriteDiskMap(kExampleMap);
  Answers({"box contains \"orvik.lst location: C:\\work\\orvik.lst\" OK"});
  Write(ExampleLists(), true);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "orvik.lst location: C:\\work\\orvik.lst");
  EXPECT_EQ(Boxes()[0].caption, "ORVIK - Procedure Installation");
}

TEST_F(XferListTest, UnwritableListIsReportedAndTheLayoutGoesOn) {
  WriteDiskMap(kExampleMap);
  std::filesystem::create_directories(CHost("work/orvik.lst"));  // a folder in its place
  Answers({"box OK"});
  EXPECT_EQ(Write(ExampleLists()), 179u);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "C:\\work\\orvik.lst : file could not be opened for writing.");
  EXPECT_EQ(plan.disks, (Disks{1, 2}));
}

TEST_F(XferListTest, NamesTheListsCannotCarryAreRefused) {
  WriteDiskMap("[Disk1]\nGOOD.PRO=10\n..=10\nA,B=10\nX.EXE=10\n");
  XferLists lists;
  lists.procs = {"GOOD.PRO", "..\\EVIL.PRO"};
  lists.files = {"A,B", "X.EXE", "C:AUTOEXEC.BAT"};
  lists.dataFiles = {"..", "sub/x.dat"};
  Answers({"box contains ..\\EVIL.PRO OK", "box contains A,B OK", "box contains C:AUTOEXEC.BAT OK",
           "box contains \".. : not a plain\" OK", "box contains sub/x.dat OK"});
  Write(lists);
  EXPECT_EQ(ListText(), "[Disk1]\r\nF1=GOOD.PRO,P\r\nF2=X.EXE,M\r\nF3=last disk\r\n\r\n");
  EXPECT_EQ(BoxCount("not a plain file name; the file is not transferred."), 5);
}

TEST_F(XferListTest, CollectsTheCatalogueTransferLists) {
  catalogue::ProceduresList catalogue;
  catalogue.xferProcs.AddTail("A.PRO");
  catalogue.xferSubProcs.AddTail("S.PRO");
  catalogue.xferFiles.AddTail("A.BMP");
  catalogue.xferFiles.AddTail("T.EXE");
  catalogue.xferDataFiles.AddTail("D.DAT");
  XferLists lists = transfer::CollectXferLists(catalogue);
  EXPECT_EQ(lists.procs, (std::vector<std::string>{"A.PRO"}));
  EXPECT_EQ(lists.subProcs, (std::vector<std::string>{"S.PRO"}));
  EXPECT_EQ(lists.files, (std::vector<std::string>{"A.BMP", "T.EXE"}));
  EXPECT_EQ(lists.dataFiles, (std::vector<std::string>{"D.DAT"}));
  WriteDiskMap("[Disk1]\nA.PRO=1\nS.PRO=1\nA.BMP=1\nT.EXE=1\nD.DAT=1\n");
  EXPECT_EQ(transfer::WriteXferList(catalogue, paths, plan, false), 5u);
  EXPECT_EQ(ListText(),
            "[Disk1]\r\nF1=A.PRO,P\r\nF2=S.PRO,P\r\nF3=A.BMP,B\r\nF4=T.EXE,M\r\nF5=D.DAT,A\r\n"
            "F6=last disk\r\n\r\n");
}

using XferListDeathTest = XferListTest;

TEST_F(XferListDeathTest, UnplaceableFileEndsTheProcessAfter9249) {
  SKIP_UNLESS_POSIX("a death test on Windows runs in a new process with a sandbox of its own, whose boxes this one cannot see");
  GTEST_FLAG_SET(death_test_style, "fast");  // the child keeps this sandbox
  WriteDiskMap("[Disk1]\nA.PRO=10\n");
  XferLists lists;
  lists.procs = {"A.PRO", "NOWHERE.PRO"};
  Answers({"box contains \"cannot be laid out\" OK"});
  EXPECT_EXIT(transfer::WriteXferList(lists, paths, plan, false), ::testing::ExitedWithCode(3), "");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "ORVIK Error 9249");
}

// The disk map and the pieces of an entry.

TEST_F(XferListTest, LookupDiskMapReadsSizesIgnoringCaseOfSectionAndKey) {
  WriteDiskMap("[DISK1]\r\na.pro = 1234\r\nB.BMP=-3\r\nC=\r\n[Disk2]\r\nA.PRO=5\r\n");
  EXPECT_EQ(transfer::LookupDiskMap(paths.diskMapPath, "Disk1", "A.PRO"), 1234);
  EXPECT_EQ(transfer::LookupDiskMap(paths.diskMapPath, "disk1", "b.bmp"), -3);
  EXPECT_EQ(transfer::LookupDiskMap(paths.diskMapPath, "Disk1", "C"), 0);
  EXPECT_EQ(transfer::LookupDiskMap(paths.diskMapPath, "Disk1", "MISSING"), -1);
  EXPECT_EQ(transfer::LookupDiskMap(paths.diskMapPath, "Disk3", "A.PRO"), -1);
  EXPECT_EQ(transfer::LookupDiskMap("C:\\work\\none.lst", "Disk1", "A.PRO"), -1);
}

// Each list file is read once per use: its look-ups answer from what was
// read, however often they come and whatever happens to the file meanwhile.
TEST_F(XferListTest, ListFilesAreReadOnceForAllTheirLookUps) {
  WriteDiskMap("[Disk1]\r\nA.PRO=1234\r\n");
  orvik_testing::WriteFile(CHost("work/orvik.lst"), "[Disk1]\r\nF1=A.PRO,P\r\n");
  const transfer::DiskMap map(paths.diskMapPath);
  const transfer::XferListFile list("C:\\work\\orvik.lst");
  WriteDiskMap("[Disk1]\r\nA.PRO=99\r\n");
  std::filesystem::remove(CHost("work/orvik.lst"));
  EXPECT_EQ(map.Size("disk1", "a.pro"), 1234);
  EXPECT_EQ(list.Entry("disk1", 1), "A.PRO,P");
  EXPECT_EQ(transfer::LookupDiskMap(paths.diskMapPath, "Disk1", "A.PRO"), 99);
  EXPECT_EQ(transfer::XferListFile("C:\\work\\orvik.lst").Entry("Disk1", 1), "failed find key");
}

TEST(LeadingInteger, ConvertsLikeTheCLibrary) {
  EXPECT_EQ(transfer::LeadingInteger("12000"), 12000);
  EXPECT_EQ(transfer::LeadingInteger("  42abc"), 42);
  EXPECT_EQ(transfer::LeadingInteger("+7"), 7);
  EXPECT_EQ(transfer::LeadingInteger("-1"), -1);
  EXPECT_EQ(transfer::LeadingInteger("abc"), 0);
  EXPECT_EQ(transfer::LeadingInteger(""), 0);
  EXPECT_EQ(transfer::LeadingInteger("- 5"), 0);
  EXPECT_EQ(transfer::LeadingInteger("99999999999"), 2147483647);
  EXPECT_EQ(transfer::LeadingInteger("-99999999999"), -2147483647 - 1);
}

TEST(SplitXferEntry, NameBeforeTheFirstCommaKindAfterIt) {
  transfer::XferEntry e = transfer::SplitXferEntry("A.PRO,P");
  EXPECT_EQ(e.name, "A.PRO");
  EXPECT_EQ(e.kind, 'P');
  e = transfer::SplitXferEntry("A,B,M");
  EXPECT_EQ(e.name, "A");
  EXPECT_EQ(e.kind, 'B');
  e = transfer::SplitXferEntry("WHOLE.EXE");
  EXPECT_EQ(e.name, "WHOLE.EXE");
  EXPECT_EQ(e.kind, 0);
  e = transfer::SplitXferEntry("X,");
  EXPECT_EQ(e.name, "X");
  EXPECT_EQ(e.kind, 0);
}

TEST(TargetPath, ByKind) {
  transfer::InstallPaths t;
  t.dataDir = "C:\\d\\";
  t.tempDir = "C:\\p_temp";
  t.picDir = "C:\\pic\\";
  t.passwordDir = "C:\\prog\\";
  EXPECT_EQ(transfer::TargetPath(t, 'A', "x"), "C:\\d\\x");
  EXPECT_EQ(transfer::TargetPath(t, 'P', "x"), "C:\\p_temp\\x");
  EXPECT_EQ(transfer::TargetPath(t, 'B', "x"), "C:\\pic\\x");
  EXPECT_EQ(transfer::TargetPath(t, 'M', "x"), "C:\\prog\\x");
  EXPECT_EQ(transfer::TargetPath(t, 'p', "x"), "");
  EXPECT_EQ(transfer::TargetPath(t, 0, "x"), "");
}

TEST(IsListableFileName, RefusesWhatTheListFilesCannotCarry) {
  EXPECT_TRUE(catalogue::IsListableFileName("A.PRO"));
  EXPECT_TRUE(catalogue::IsListableFileName("name with blanks.bmp"));
  EXPECT_FALSE(catalogue::IsListableFileName(""));
  EXPECT_FALSE(catalogue::IsListableFileName("."));
  EXPECT_FALSE(catalogue::IsListableFileName(".."));
  EXPECT_FALSE(catalogue::IsListableFileName("a\\b"));
  EXPECT_FALSE(catalogue::IsListableFileName("a/b"));
  EXPECT_FALSE(catalogue::IsListableFileName("c:x"));
  EXPECT_FALSE(catalogue::IsListableFileName("a,b"));
  EXPECT_FALSE(catalogue::IsListableFileName("a=b"));
  EXPECT_FALSE(catalogue::IsListableFileName("[x"));
  EXPECT_FALSE(catalogue::IsListableFileName(";x"));
  EXPECT_FALSE(catalogue::IsListableFileName(" x"));
  EXPECT_FALSE(catalogue::IsListableFileName("x "));
  EXPECT_FALSE(catalogue::IsListableFileName("x\ny"));
  EXPECT_FALSE(catalogue::IsListableFileName(std::string("x\0y", 3)));
  // "<name>,P" must fit the 260-character buffer of the list reader.
  EXPECT_TRUE(catalogue::IsListableFileName(std::string(257, 'a')));
  EXPECT_FALSE(catalogue::IsListableFileName("''" + std::string(256, '\xff')));
}

}  // namespace
}  // namespace xfertest
