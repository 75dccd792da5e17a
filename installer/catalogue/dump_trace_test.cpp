// The dump "c:\listread.txt" and the trace "c:\listrdbg.txt".
#include <string>

#include "testing/catalogue_test.h"
#include "testing/host_platform.h"
#include "installer/catalogue/line_file.h"
#include "platform/hfile.h"

namespace {

using catalogue_testing::CatalogueTest;
using catalogue_testing::Record;

class Dump : public CatalogueTest {};
class Trace : public CatalogueTest {};

const std::string kTwoRecords =
    "instrument==========\nB1\nB2\nprocfile\nB.PRO\nsub\nS1\nS2\nfiles\nb.bmp\nb.exe\ndatafiles\nb.dat\n"
    "calibrator\nR520\nconfiguration\nneeds a box\nend\n"
    "instrumentSub=======\nA\nprocfile\nA.PRO\nend\n";

const std::string kTwoRecordsDump =
    "Next Node: +++++++++++++++++++++++++++++++++++++++\n"
    "Procedure Name:  A\n"
    "Siblings:           A\n"
    "Calibrator:      \n"
    "Procedure File:  A.PRO\n"
    "Next Node: +++++++++++++++++++++++++++++++++++++++\n"
    "Procedure Name:  B1\n"
    "Siblings:           B1\n"
    "                    B2\n"
    "Sub-Procedures:  S1\n"
    "                 S2\n"
    "Calibrator:      R520\n"
    "Procedure File:  B.PRO\n"
    "Required Files:  b.bmp\n"
    "                 b.exe\n"
    "Next Node: +++++++++++++++++++++++++++++++++++++++\n"
    "Procedure Name:  B2\n"
    "Siblings:           B1\n"
    "                    B2\n"
    "Sub-Procedures:  S1\n"
    "                 S2\n"
    "Calibrator:      R520\n"
    "Procedure File:  B.PRO\n"
    "Required Files:  b.bmp\n"
    "                 b.exe\n";

TEST_F(Dump, TextInputAppendsTheDumpByteForByte) {
  WriteC("listread.txt", "earlier run\n");
  catalogue::ProceduresList list;
  ASSERT_EQ(Load(list, kTwoRecords), 1);
  EXPECT_EQ(ReadC("listread.txt"), "earlier run\n" + kTwoRecordsDump);
  EXPECT_EQ(list.pCurrent, list.pHead);
  catalogue::ProceduresList again;
  Load(again, kTwoRecords);
  EXPECT_EQ(ReadC("listread.txt"), "earlier run\n" + kTwoRecordsDump + kTwoRecordsDump);
}

TEST_F(Dump, DumpListToAnyPathAndDumpNodeMovesTheCursor) {
  catalogue::ProceduresList list;
  Load(list, kTwoRecords);
  list.DumpList("C:\\other.txt");
  EXPECT_EQ(ReadC("other.txt"), kTwoRecordsDump);
  catalogue::LineFile out;
  ASSERT_TRUE(out.Open("C:\\one.txt"));
  list.pCurrent = list.pHead;
  catalogue::ProcNode scratch("");
  list.DumpNode(out, scratch);
  EXPECT_EQ(scratch.name, list.pHead->name);
  EXPECT_EQ(list.pCurrent, list.pHead->pNext);
  out.Close();
  EXPECT_EQ(ReadC("one.txt"), kTwoRecordsDump.substr(0, kTwoRecordsDump.find("Next Node", 10)));
  list.pCurrent = nullptr;
  ASSERT_TRUE(out.Open("C:\\one.txt"));
  list.DumpNode(out, scratch);  // no node: nothing
  out.Close();
  EXPECT_EQ(ReadC("one.txt"), kTwoRecordsDump.substr(0, kTwoRecordsDump.find("Next Node", 10)));
}

TEST_F(Dump, EmptyCatalogueAddsNothing) {
  WriteC("listread.txt", "kept\n");
  catalogue::ProceduresList list;
  list.DumpList("c:\\listread.txt");
  EXPECT_EQ(ReadC("listread.txt"), "kept\n");
  EXPECT_EQ(list.pCurrent, nullptr);
}

TEST_F(Dump, DumpHeldByAnotherOpenerIsSkippedSilently) {
  WriteC("listread.txt", "");
  platform::OFSTRUCT of;
  platform::HFILE holder =
      platform::OpenFile("C:\\listread.txt", &of, platform::OF_READWRITE | platform::OF_SHARE_EXCLUSIVE);
  ASSERT_NE(holder, platform::HFILE_ERROR);
  catalogue::ProceduresList list;
  EXPECT_EQ(Load(list, kTwoRecords), 1);
  platform::_lclose(holder);
  EXPECT_EQ(ReadC("listread.txt"), "");
  EXPECT_EQ(catalogue_testing::NodeNames(list).size(), 3u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(Dump, DiagnosticFileIsHeldExclusivelyWhileOpen) {
  catalogue::LineFile dump;
  ASSERT_TRUE(dump.Open("C:\\held.txt"));
  platform::OFSTRUCT of;
  EXPECT_EQ(platform::OpenFile("C:\\held.txt", &of, platform::OF_READ | platform::OF_SHARE_DENY_WRITE),
            platform::HFILE_ERROR);
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_SHARING_VIOLATION);
  catalogue::LineFile second;
  EXPECT_FALSE(second.Open("C:\\held.txt"));
  dump.Close();
  EXPECT_TRUE(second.Open("C:\\held.txt"));
}

TEST_F(Dump, UnwritableDriveLosesOnlyTheDiagnostics) {
  SKIP_UNLESS_POSIX("drives C: and D: mapped onto folders of the test");
  ASSERT_TRUE(platform::MapDrive('d', work_));
  orvik_testing::WriteFile(work_ + "/kelmar.lst", kTwoRecords);
  ASSERT_TRUE(platform::MapDrive('c', root_ + "/no-such-folder"));
  catalogue::OpenCatalogueTrace();
  catalogue::ProceduresList list;
  EXPECT_EQ(list.TextInput("D:\\kelmar.lst"), 1);
  EXPECT_EQ(catalogue_testing::NodeNames(list).size(), 3u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(Trace, LoadingWritesTheTraceLinesInOrder) {
  catalogue::OpenCatalogueTrace();
  catalogue::ProceduresList list;
  Load(list, Record({"P", "Q"}, "p.pro") + Record({"S"}, "s.pro", "", "instrumentSub======="));
  catalogue::CloseCatalogueTrace();
  EXPECT_EQ(ReadC("listrdbg.txt"),
            "Q TextInput\n"
            "dispTextInput 'instrument=========='\n"
            "dispTextInput  'procfile'\n"
            "Q AddABC\n"
            "Q Constructor2\n"
            "Q AddABC\n"
            "Q AddABC\n"
            "Q Operator=\n"
            "Q Operator=\n"
            "Q Operator=\n");
}

TEST_F(Trace, AppendsToEarlierRunsAndFlushesEachLine) {
  SKIP_UNLESS_POSIX("reads the trace while the installer holds it exclusively, which only the emulated share modes let a host read do");
  WriteC("listrdbg.txt", "earlier\n");
  catalogue::OpenCatalogueTrace();
  catalogue::CatalogueTrace("first");
  EXPECT_EQ(ReadC("listrdbg.txt"), "earlier\nfirst\n");  // on the file while still open
  catalogue::CatalogueTrace("second");
  EXPECT_EQ(ReadC("listrdbg.txt"), "earlier\nfirst\nsecond\n");
}

TEST_F(Trace, CreatedWhenMissingAndHeldExclusively) {
  EXPECT_FALSE(ExistsC("listrdbg.txt"));
  catalogue::OpenCatalogueTrace();
  EXPECT_TRUE(ExistsC("listrdbg.txt"));
  platform::OFSTRUCT of;
  EXPECT_EQ(platform::OpenFile("C:\\listrdbg.txt", &of, platform::OF_READ | platform::OF_SHARE_DENY_WRITE),
            platform::HFILE_ERROR);
  EXPECT_EQ(platform::GetLastError(), platform::ERROR_SHARING_VIOLATION);
  catalogue::CloseCatalogueTrace();
  platform::HFILE file =
      platform::OpenFile("C:\\listrdbg.txt", &of, platform::OF_READ | platform::OF_SHARE_DENY_WRITE);
  EXPECT_NE(file, platform::HFILE_ERROR);
  platform::_lclose(file);
}

TEST_F(Trace, DroppedWhenNeverOpened) {
  catalogue::CatalogueTrace("lost");
  catalogue::ProceduresList list;
  Load(list, Record({"P"}, "p.pro"));
  EXPECT_FALSE(ExistsC("listrdbg.txt"));
}

TEST_F(Trace, OpenedOncePerRun) {
  // The first open fails (another program holds the file); the trace then
  // stays off for the run even when the file becomes free.
  WriteC("listrdbg.txt", "");
  platform::OFSTRUCT of;
  platform::HFILE holder =
      platform::OpenFile("C:\\listrdbg.txt", &of, platform::OF_READWRITE | platform::OF_SHARE_EXCLUSIVE);
  ASSERT_NE(holder, platform::HFILE_ERROR);
  catalogue::OpenCatalogueTrace();
  catalogue::CatalogueTrace("lost");
  platform::_lclose(holder);
  catalogue::OpenCatalogueTrace();
  catalogue::CatalogueTrace("still lost");
  EXPECT_EQ(ReadC("listrdbg.txt"), "");
  // Closing ends the run: the next open works.
  catalogue::CloseCatalogueTrace();
  catalogue::OpenCatalogueTrace();
  catalogue::CatalogueTrace("kept");
  catalogue::CloseCatalogueTrace();
  EXPECT_EQ(ReadC("listrdbg.txt"), "kept\n");
}

}  // namespace
