// Reading kelmar.lst: the record chain, keywords, line pieces and damaged files.
#include <filesystem>
#include <string>
#include <vector>

#include "installer/catalogue/catalogue_report.h"
#include "testing/catalogue_test.h"

namespace {

using catalogue_testing::CatalogueTest;
using catalogue_testing::Items;
using catalogue_testing::NodeNames;
using catalogue_testing::Record;
using V = std::vector<std::string>;

class TextInput : public CatalogueTest {};

const catalogue::ProcNode* Node(const catalogue::ProceduresList& list, const std::string& name) {
  for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) {
    if (node->name == name) return node;
  }
  return nullptr;
}

// A name repeated in a record is one procedure: one node, listed once among
// the siblings, on short records (scanned) and long ones (hashed) alike.
TEST_F(TextInput, NameRepeatedInRecordGivesOneNode) {
  catalogue::ProceduresList list;
  std::vector<std::string> longNames;
  for (int i = 0; i < 20; ++i) longNames.push_back("L" + std::to_string(i % 12));
  longNames.push_back("");
  longNames.push_back("");
  ASSERT_EQ(Load(list, Record({"B", "A", "B", "a", "A"}, "S.PRO") + Record(longNames, "L.PRO")), 1);
  // A record of up to six names keeps them as written; past the sixth a
  // repeated name is kept once.
  EXPECT_EQ(NodeNames(list), (V{"", "A", "B", "B", "a", "A", "L0", "L1", "L2", "L3", "L4", "L5", "L6", "L7", "L8",
                                "L9", "L10", "L11"}));
  EXPECT_EQ(Items(list.pHead->pNext->siblings), (V{"B", "A", "B", "a", "A"}));
  EXPECT_EQ(Items(list.pHead->siblings), (V{"L0", "L1", "L2", "L3", "L4", "L5", "L6", "L7", "L8", "L9", "L10",
                                             "L11", ""}));
}

TEST_F(TextInput, FullRecordFillsEveryField) {
  catalogue::ProceduresList list;
  ASSERT_EQ(Load(list,
                 "instrument==========\nA1\nA2\nA3\nprocfile\nA.PRO\n"
                 "sub\nS1\nS2\nfiles\npic.bmp\nprog.exe\ndatafiles\nd.dat\n"
                 "calibrator\nR520\nconfiguration\nLine one\nLine two\nend\n"),
            1);
  EXPECT_EQ(NodeNames(list), (V{"A1", "A2", "A3"}));
  for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) {
    SCOPED_TRACE(node->name);
    EXPECT_EQ(node->procFile, "A.PRO");
    EXPECT_EQ(node->calibrator, "R520");
    EXPECT_EQ(Items(node->siblings), (V{"A1", "A2", "A3"}));
    EXPECT_EQ(Items(node->subProcs), (V{"S1", "S2"}));
    EXPECT_EQ(Items(node->reqFiles), (V{"pic.bmp", "prog.exe"}));
    EXPECT_EQ(Items(node->dataFiles), (V{"d.dat"}));
    EXPECT_EQ(Items(node->configLines), (V{"Line one", "Line two"}));
    EXPECT_EQ(node->isSubProc, 0);
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TextInput, AliasStaysBehindItsFirstName) {
  catalogue::ProceduresList list;
  Load(list, Record({"M", "Z"}, "m.pro") + Record({"N"}, "n.pro"));
  EXPECT_EQ(NodeNames(list), (V{"M", "Z", "N"}));
}

TEST_F(TextInput, AliasSmallerThanTheHeadGoesToTheFront) {
  catalogue::ProceduresList list;
  Load(list, Record({"M", "A"}, "m.pro") + Record({"B"}, "b.pro"));
  EXPECT_EQ(NodeNames(list), (V{"A", "B", "M"}));
}

TEST_F(TextInput, ProcFileNamedFilesOpensTheRequiredFileList) {
  catalogue::ProceduresList list;
  Load(list, "instrument==========\nP\nprocfile\nfiles\nr1\nr2\ndatafiles\ncalibrator\nX\nend\n");
  ASSERT_NE(list.pHead, nullptr);
  EXPECT_EQ(list.pHead->procFile, "files");
  EXPECT_EQ(Items(list.pHead->reqFiles), (V{"r1", "r2"}));
  EXPECT_EQ(list.pHead->calibrator, "X");
}

TEST_F(TextInput, ProcFileNamedSubIsOnlyAFileName) {
  catalogue::ProceduresList list;
  // "sub" right after the marker's file line does not open the list: the
  // next line is read at record level.
  Load(list, "instrument==========\nP\nprocfile\nsub\nS\nfiles\nr\ndatafiles\ncalibrator\nX\nend\n");
  ASSERT_NE(list.pHead, nullptr);
  EXPECT_EQ(list.pHead->procFile, "sub");
  EXPECT_TRUE(list.pHead->subProcs.IsEmpty());
  EXPECT_EQ(Items(list.pHead->reqFiles), (V{"r"}));
}

TEST_F(TextInput, ListsRunToTheirOwnTerminatorOnly) {
  catalogue::ProceduresList list;
  Load(list,
       "instrument==========\nP\nend\nprocfile\nP.PRO\n"
       "sub\ncalibrator\nend\ndatafiles\nfiles\nr1\nconfiguration\ndatafiles\ninstrument==========\ncalibrator\nC\n"
       "configuration\nfiles\nsub\ncalibrator\nend\n");
  ASSERT_NE(list.pHead, nullptr);
  const catalogue::ProcNode* p = Node(list, "P");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(Items(p->siblings), (V{"P", "end"}));
  EXPECT_EQ(Items(p->subProcs), (V{"calibrator", "end", "datafiles"}));
  EXPECT_EQ(Items(p->reqFiles), (V{"r1", "configuration"}));
  EXPECT_EQ(Items(p->dataFiles), (V{"instrument=========="}));
  EXPECT_EQ(p->calibrator, "C");
  EXPECT_EQ(Items(p->configLines), (V{"files", "sub", "calibrator"}));
  EXPECT_NE(Node(list, "end"), nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TextInput, ChainMayStartAtAnyLinkOrBeLeftOut) {
  catalogue::ProceduresList list;
  Load(list,
       Record({"D"}, "d.pro", "datafiles\nd1\ncalibrator\nR420\n") +
           Record({"F"}, "f.pro", "files\nf1\ndatafiles\ncalibrator\nR420\nconfiguration\nc\n") +
           Record({"C"}, "c.pro", "configuration\nonly config\n") + Record({"E"}, "e.pro", ""));
  EXPECT_EQ(NodeNames(list), (V{"C", "D", "E", "F"}));
  EXPECT_EQ(Items(Node(list, "D")->dataFiles), (V{"d1"}));
  EXPECT_EQ(Node(list, "D")->calibrator, "R420");
  EXPECT_EQ(Items(Node(list, "F")->reqFiles), (V{"f1"}));
  EXPECT_TRUE(Node(list, "F")->dataFiles.IsEmpty());
  EXPECT_EQ(Node(list, "C")->calibrator, "");
  EXPECT_EQ(Items(Node(list, "C")->configLines), (V{"only config"}));
  const catalogue::ProcNode* e = Node(list, "E");
  EXPECT_EQ(e->procFile, "e.pro");
  EXPECT_EQ(e->calibrator, "");
  EXPECT_TRUE(e->subProcs.IsEmpty() && e->reqFiles.IsEmpty() && e->dataFiles.IsEmpty() && e->configLines.IsEmpty());
}

TEST_F(TextInput, ProcFileNamedEndClosesTheRecord) {
  catalogue::ProceduresList list;
  Load(list, "instrument==========\nP\nprocfile\nend\ncalibrator\nX\nend\n");
  ASSERT_EQ(NodeNames(list), (V{"P"}));
  EXPECT_EQ(list.pHead->procFile, "end");
  // The later "calibrator" is read at record level with no record open.
  EXPECT_EQ(list.pHead->calibrator, "");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TextInput, OtherLinesAtRecordLevelAreSkipped) {
  catalogue::ProceduresList list;
  Load(list,
       "comment before\n\ninstrument==========\nP\nprocfile\nP.PRO\nstray line\nfiles\nr\n"
       "datafiles\nnoise? no: data\ncalibrator\nR520\nmore noise\nconfiguration\ncfg\nend\ntrailing\n\n");
  ASSERT_EQ(NodeNames(list), (V{"P"}));
  EXPECT_EQ(Items(list.pHead->reqFiles), (V{"r"}));
  EXPECT_EQ(Items(list.pHead->dataFiles), (V{"noise? no: data"}));
  EXPECT_EQ(list.pHead->calibrator, "R520");
  EXPECT_EQ(Items(list.pHead->configLines), (V{"cfg"}));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TextInput, KeywordsAreCaseSensitive) {
  catalogue::ProceduresList list;
  Load(list,
       "Instrument==========\nX\nprocfile\nX.PRO\nend\n"
       "instrument==========\nP\nPROCFILE\nprocfile\nP.PRO\nSUB\nsub\nFiles\nfiles\nCalibrator\ndatafiles\n"
       "CALIBRATOR\ncalibrator\nR520\nconfiguration\nEnd\nend\n");
  // "Instrument==========" is no marker: X's lines are skipped; its "end"
  // closes nothing.
  EXPECT_EQ(NodeNames(list), (V{"P", "PROCFILE"}));
  const catalogue::ProcNode* p = Node(list, "P");
  EXPECT_EQ(Items(p->subProcs), (V{"Files"}));
  EXPECT_EQ(Items(p->reqFiles), (V{"Calibrator"}));
  EXPECT_EQ(Items(p->dataFiles), (V{"CALIBRATOR"}));
  EXPECT_EQ(Items(p->configLines), (V{"End"}));
}

TEST_F(TextInput, ConfigurationLinesOnceRequiredFilesAsOften) {
  catalogue::ProceduresList list;
  Load(list, Record({"P"}, "p.pro",
                    "files\nsame.bmp\nsame.bmp\ndatafiles\ncalibrator\nR\nconfiguration\nA\nB\nA\na\nB\n"));
  EXPECT_EQ(Items(list.pHead->reqFiles), (V{"same.bmp", "same.bmp"}));
  EXPECT_EQ(Items(list.pHead->configLines), (V{"A", "B", "a"}));
}

TEST_F(TextInput, TrailingSpaceMakesAnotherName) {
  catalogue::ProceduresList list;
  Load(list, Record({"NAME "}, "a.pro") + Record({"NAME"}, "b.pro"));
  EXPECT_EQ(NodeNames(list), (V{"NAME", "NAME "}));
  EXPECT_EQ(Items(list.FindSiblings("NAME ")), (V{"NAME "}));
  EXPECT_EQ(list.FindByProcFile("a.pro")->name, "NAME ");
}

TEST_F(TextInput, LongLinesBecomeSeveralEntries) {
  catalogue::ProceduresList list;
  const std::string hundred = std::string(79, 'a') + std::string(21, 'b');
  const std::string exact(79, 'c');
  Load(list, Record({"P"}, "p.pro", "files\n" + hundred + "\n" + exact + "\ndatafiles\ncalibrator\nR\n"));
  EXPECT_EQ(Items(list.pHead->reqFiles), (V{std::string(79, 'a'), std::string(21, 'b'), exact, ""}));
}

TEST_F(TextInput, LongNameLineGivesTwoNames) {
  catalogue::ProceduresList list;
  Load(list, Record({std::string(80, 'N')}, "p.pro"));
  // The second name "N" is smaller than the head and goes to the front.
  EXPECT_EQ(NodeNames(list), (V{"N", std::string(79, 'N')}));
  EXPECT_EQ(Items(list.pHead->siblings), (V{std::string(79, 'N'), "N"}));
}

TEST_F(TextInput, SubProcedureRecordsAreMarkedAndNotTraced) {
  catalogue::CloseCatalogueTrace();
  catalogue::OpenCatalogueTrace();
  catalogue::ProceduresList list;
  Load(list, Record({"S1", "S2"}, "s.pro", "calibrator\nR520\n", "instrumentSub======="));
  catalogue::CloseCatalogueTrace();
  EXPECT_EQ(NodeNames(list), (V{"S1", "S2"}));
  EXPECT_EQ(list.pHead->isSubProc, 1);
  EXPECT_EQ(list.pHead->pNext->isSubProc, 1);
  const std::string trace = ReadC("listrdbg.txt");
  EXPECT_EQ(trace.find("dispTextInput"), std::string::npos);
  EXPECT_NE(trace.find("Q TextInput\n"), std::string::npos);
}

TEST_F(TextInput, FileWithoutRecordsLeavesTheCatalogueEmpty) {
  catalogue::ProceduresList list;
  EXPECT_EQ(Load(list, "just some text\n\n"), 1);
  EXPECT_EQ(list.pHead, nullptr);
  EXPECT_EQ(ReadC("listread.txt"), "");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TextInput, MissingFileGivesZeroAndAnEmptyCatalogue) {
  catalogue::ProceduresList list;
  EXPECT_EQ(list.TextInput("C:\\nowhere\\kelmar.lst"), 0);
  EXPECT_EQ(list.TextInput(nullptr), 0);
  EXPECT_EQ(list.pHead, nullptr);
  EXPECT_EQ(ReadC("listread.txt"), "");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TextInput, FolderInsteadOfAFileCannotBeRead) {
  catalogue::ProceduresList list;
  ASSERT_TRUE(std::filesystem::create_directory(driveC_ + "/kelmar.lst"));
  EXPECT_EQ(list.TextInput("C:\\kelmar.lst"), 0);
  EXPECT_EQ(list.pHead, nullptr);
}

TEST_F(TextInput, ReadsKelmarLstFromTheCurrentFolder) {
  ASSERT_TRUE(std::filesystem::create_directory(driveC_ + "/stage"));
  orvik_testing::WriteFile(driveC_ + "/stage/KELMAR.LST", Record({"Here"}, "h.pro"));
  ASSERT_EQ(platform::_chdir("C:\\stage"), 0);
  catalogue::ProceduresList list;
  EXPECT_EQ(list.TextInput("kelmar.lst"), 1);
  EXPECT_EQ(NodeNames(list), (V{"Here"}));
}

TEST_F(TextInput, CarriageReturnLineEndsReadAsLineFeeds) {
  const std::string text = Record({"B", "A2"}, "b.pro", "sub\ns\nfiles\nf\ndatafiles\nd\ncalibrator\nR520\n") +
                           Record({"A"}, "a.pro", "configuration\nx\n");
  std::string crlf;
  for (char c : text) crlf += (c == '\n') ? std::string("\r\n") : std::string(1, c);
  catalogue::ProceduresList unix, dos;
  Load(unix, text);
  Load(dos, crlf);
  ASSERT_EQ(NodeNames(dos), NodeNames(unix));
  for (const catalogue::ProcNode *a = unix.pHead, *b = dos.pHead; a != nullptr; a = a->pNext, b = b->pNext) {
    EXPECT_EQ(a->procFile, b->procFile);
    EXPECT_EQ(a->calibrator, b->calibrator);
    EXPECT_TRUE(a->siblings == b->siblings && a->subProcs == b->subProcs && a->reqFiles == b->reqFiles &&
                a->dataFiles == b->dataFiles && a->configLines == b->configLines);
  }
}

// --- Damaged files -------------------------------------------------------

TEST_F(TextInput, KeywordsBeforeAnyRecordAreIgnored) {
  catalogue::ProceduresList list;
  Load(list,
       "end\nsub\nstray sub\nfiles\nstray file\ndatafiles\nstray data\ncalibrator\nR999\nconfiguration\n"
       "stray config\nend\nprocfile\nstray.pro\n" +
           Record({"P"}, "p.pro"));
  ASSERT_EQ(NodeNames(list), (V{"P"}));
  EXPECT_TRUE(list.pHead->subProcs.IsEmpty());
  EXPECT_TRUE(list.pHead->reqFiles.IsEmpty());
  EXPECT_TRUE(list.pHead->dataFiles.IsEmpty());
  EXPECT_TRUE(list.pHead->configLines.IsEmpty());
  EXPECT_EQ(list.pHead->calibrator, "R520");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TextInput, KeywordsAfterARecordDoNotChangeIt) {
  catalogue::ProceduresList list;
  Load(list, Record({"P", "Q"}, "p.pro") + "sub\nlate\nfiles\nlate.bmp\ndatafiles\ncalibrator\nR1\nend\nend\n");
  ASSERT_EQ(NodeNames(list), (V{"P", "Q"}));
  for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) {
    EXPECT_TRUE(node->subProcs.IsEmpty());
    EXPECT_TRUE(node->reqFiles.IsEmpty());
    EXPECT_EQ(node->calibrator, "R520");
  }
  // A second "end" links nothing again.
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TextInput, RecordWithoutANameIsLeftOut) {
  catalogue::ProceduresList list;
  Load(list, "instrument==========\nprocfile\nnameless.pro\nsub\nS\nfiles\nf\ndatafiles\ncalibrator\nR520\nend\n" +
                 Record({"P"}, "p.pro"));
  EXPECT_EQ(NodeNames(list), (V{"P"}));
  EXPECT_EQ(list.FindByProcFile("nameless.pro"), nullptr);
  EXPECT_TRUE(list.pHead->subProcs.IsEmpty());
  EXPECT_EQ(list.DroppedRecords(), 1);
  EXPECT_EQ(list.FirstDroppedLine(), 1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "ORVIK - Procedure Installation");
  EXPECT_EQ(Boxes()[0].text, catalogue::DroppedRecordsText("C:\\kelmar.lst", 1, 1));
  EXPECT_EQ(Boxes()[0].style, 0x30u);  // warning icon, OK
}

TEST_F(TextInput, NewMarkerBeforeEndDropsTheRecordAndItsAliases) {
  catalogue::ProceduresList list;
  Load(list,
       "instrument==========\nA1\nA2\nA3\nprocfile\na.pro\nsub\nS\nfiles\nf\ndatafiles\ncalibrator\nR520\n" +
           Record({"B1", "B2"}, "b.pro") + Record({"C"}, "c.pro"));
  EXPECT_EQ(NodeNames(list), (V{"B1", "B2", "C"}));
  for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) {
    EXPECT_NE(node->procFile, "a.pro");
  }
  EXPECT_EQ(Items(list.FindSiblings("B2")), (V{"B1", "B2"}));
  EXPECT_EQ(list.DroppedRecords(), 1);
  EXPECT_EQ(list.FirstDroppedLine(), 1);
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(TextInput, SubRecordMarkerAlsoInterrupts) {
  catalogue::ProceduresList list;
  Load(list, "comment\ninstrument==========\nA\nprocfile\na.pro\n" +
                 Record({"S"}, "s.pro", "", "instrumentSub======="));
  EXPECT_EQ(NodeNames(list), (V{"S"}));
  EXPECT_EQ(list.DroppedRecords(), 1);
  EXPECT_EQ(list.FirstDroppedLine(), 2);
}

TEST_F(TextInput, EndOfFileInsideEachPartDropsTheRecord) {
  const std::vector<std::string> cuts = {
      "instrument==========\n",
      "instrument==========\nA1\nA2\n",
      "instrument==========\nA1\nA2\nprocfile\n",
      "instrument==========\nA1\nA2\nprocfile\na.pro\n",
      "instrument==========\nA1\nA2\nprocfile\na.pro\nsub\ns1\n",
      "instrument==========\nA1\nA2\nprocfile\na.pro\nfiles\nf1\n",
      "instrument==========\nA1\nA2\nprocfile\na.pro\ndatafiles\nd1\n",
      "instrument==========\nA1\nA2\nprocfile\na.pro\ncalibrator\n",
      "instrument==========\nA1\nA2\nprocfile\na.pro\ncalibrator\nR520\n",
      "instrument==========\nA1\nA2\nprocfile\na.pro\nconfiguration\ntext\n",
  };
  for (const std::string& tail : cuts) {
    SCOPED_TRACE(tail);
    recorder_->ClearBoxes();
    catalogue::ProceduresList list;
    EXPECT_EQ(Load(list, Record({"K"}, "k.pro") + tail), 1);
    EXPECT_EQ(NodeNames(list), (V{"K"}));
    EXPECT_EQ(list.DroppedRecords(), 1);
    EXPECT_EQ(list.FirstDroppedLine(), 8);
    EXPECT_EQ(Boxes().size(), 1u);
  }
}

// Every cut of a valid file keeps exactly the records whose "end" line is
// whole and drops the one that was cut, never more.
TEST_F(TextInput, EveryTruncationKeepsTheWholeRecordsOnly) {
  const std::string first = Record({"P1", "P0"}, "p.pro", "sub\nS\nfiles\nf\ndatafiles\nd\ncalibrator\nR520\n");
  const std::string second = Record({"Q1", "Q2", "Q3"}, "q.pro", "configuration\nc1\nc2\n");
  const std::string whole = "intro\n" + first + "between\n" + second;
  const std::size_t firstStart = 6, firstEnd = firstStart + first.size() - 1;  // after "end", before its line feed
  const std::size_t secondStart = firstEnd + 1 + 8, secondEnd = whole.size() - 1;
  const std::size_t markerLength = 20;
  for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    recorder_->ClearBoxes();
    catalogue::ProceduresList list;
    ASSERT_EQ(Load(list, whole.substr(0, cut)), 1);
    V expected;
    if (cut >= firstEnd) expected = {"P0", "P1"};
    if (cut >= secondEnd) expected.insert(expected.end(), {"Q1", "Q2", "Q3"});
    EXPECT_EQ(NodeNames(list), expected);
    const bool inFirst = cut >= firstStart + markerLength && cut < firstEnd;
    const bool inSecond = cut >= secondStart + markerLength && cut < secondEnd;
    EXPECT_EQ(list.DroppedRecords(), (inFirst || inSecond) ? 1 : 0);
    EXPECT_EQ(Boxes().size(), (inFirst || inSecond) ? 1u : 0u);
  }
}

TEST_F(TextInput, SeveralDamagedRecordsAreCountedInOneBox) {
  catalogue::ProceduresList list;
  Load(list, "x\ninstrument==========\nprocfile\np\nend\ninstrument==========\nA\nprocfile\na\n" +
                 Record({"B"}, "b.pro") + "instrument==========\nC\n");
  EXPECT_EQ(NodeNames(list), (V{"B"}));
  EXPECT_EQ(list.DroppedRecords(), 3);
  EXPECT_EQ(list.FirstDroppedLine(), 2);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, catalogue::DroppedRecordsText("C:\\kelmar.lst", 3, 2));
}

}  // namespace
