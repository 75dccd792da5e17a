// Records of many names and long lists: the nodes of a record share one body,
// the dump stays bounded, and the reader also reads text held in memory.
#include <set>
#include <string>
#include <vector>

#include "testing/catalogue_test.h"

namespace {

using catalogue_testing::CatalogueTest;
using catalogue_testing::Items;
using catalogue_testing::NodeNames;
using catalogue_testing::Record;

class SharedRecord : public CatalogueTest {};

int CountLines(const std::string& text, const std::string& start) {
  int count = 0;
  for (std::size_t at = 0; at < text.size();) {
    if (text.compare(at, start.size(), start) == 0) ++count;
    const std::size_t end = text.find('\n', at);
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return count;
}

TEST_F(SharedRecord, CopiesShareUntilOneIsChanged) {
  catalogue::StringList list;
  list.AddTail("a");
  catalogue::StringList copy = list;
  EXPECT_EQ(copy.Storage(), list.Storage());
  copy.AddTail("b");
  EXPECT_NE(copy.Storage(), list.Storage());
  EXPECT_EQ(Items(list), (std::vector<std::string>{"a"}));
  EXPECT_EQ(Items(copy), (std::vector<std::string>{"a", "b"}));

  catalogue::ProcNode first("F");
  first.procFile = "F.PRO";
  first.siblings.AddTail("F");
  first.siblings.AddTail("G");
  catalogue::ProcNode alias(first, "G");
  alias.procFile = "G.PRO";
  alias.siblings.AddTail("H");
  EXPECT_EQ(first.procFile, "F.PRO");
  EXPECT_EQ(Items(first.siblings), (std::vector<std::string>{"F", "G"}));
  EXPECT_EQ(alias.procFile, "G.PRO");
}

TEST_F(SharedRecord, FourThousandNamesShareOneBodyListedOnceInTheDump) {
  std::vector<std::string> names{"M"};
  for (int i = 1; i < 3999; ++i) names.push_back("N" + std::to_string(i));
  names.push_back("A");  // smaller than the head: goes to the front
  std::string files;
  for (int i = 0; i < 4000; ++i) files += "F" + std::to_string(i) + ".BMP\n";
  const std::string text = Record(names, "M.PRO", "sub\nfiles\n" + files + "datafiles\ncalibrator\nR520\n");
  catalogue::OpenCatalogueTrace();
  catalogue::ProceduresList list;
  ASSERT_EQ(Load(list, text), 1);
  catalogue::CloseCatalogueTrace();

  std::set<const void*> bodies;
  int nodes = 0;
  for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext, ++nodes) {
    bodies.insert(node->siblings.Storage());
    bodies.insert(node->reqFiles.Storage());
  }
  EXPECT_EQ(nodes, 4000);
  EXPECT_EQ(bodies.size(), 2u);  // one list of names and one of files for all nodes
  EXPECT_EQ(list.pHead->name, "A");
  EXPECT_EQ(list.FindByAnyName("n2000"), list.pHead);

  const std::string dump = ReadC("listread.txt");
  EXPECT_EQ(CountLines(dump, "Next Node: "), 4000);
  EXPECT_EQ(CountLines(dump, "Required Files:  F0.BMP"), 1);
  EXPECT_EQ(CountLines(dump, "                 F3999.BMP"), 1);
  EXPECT_EQ(CountLines(dump, "Same Record As:  A"), 3999);
  EXPECT_NE(dump.find("Procedure Name:  M\nSame Record As:  A\nNext Node"), std::string::npos);
  EXPECT_LT(dump.size(), 20 * text.size());  // a full copy per node would be some 4,000 times

  const std::string trace = ReadC("listrdbg.txt");  // written in blocks, nothing lost
  EXPECT_EQ(CountLines(trace, "Q AddABC"), 4000);
  EXPECT_EQ(CountLines(trace, "Q Constructor2"), 3999);
  EXPECT_EQ(CountLines(trace, "Q Operator="), 4000);
}

TEST_F(SharedRecord, RecordChosenUnderAllItsNamesGivesItsFilesOnce) {
  std::vector<std::string> names;
  std::string files;
  for (int i = 0; i < 4000; ++i) {
    names.push_back("N" + std::to_string(i));
    files += "F" + std::to_string(i) + ".BMP\n";
  }
  catalogue::ProceduresList list;
  ASSERT_EQ(Load(list, Record(names, "P.PRO", "files\n" + files + "datafiles\nD.DAT\ncalibrator\nR520\n") +
                           Record({"Q"}, "Q.PRO", "files\nf0.bmp\nQ.BMP\ndatafiles\nd.dat\ncalibrator\nR520\n")),
            1);
  ASSERT_EQ(list.GetProcs(), 4001);
  for (const std::string& name : list.ProcTable) list.AddSelectedProc(name);
  EXPECT_EQ(list.LoadAllXferFiles(), 1);
  EXPECT_EQ(Items(list.xferProcs), (std::vector<std::string>{"P.PRO", "Q.PRO"}));
  EXPECT_EQ(list.xferFiles.GetCount(), 4001);
  EXPECT_EQ(list.xferFiles.GetAt(4000), "Q.BMP");
  EXPECT_EQ(Items(list.xferDataFiles), (std::vector<std::string>{"D.DAT"}));
  // Outside a run every call looks again.
  EXPECT_EQ(list.GetXferFiles("N7"), 0);
}

TEST_F(SharedRecord, SixNamesAreDumpedInFullSevenOnce) {
  catalogue::ProceduresList six;
  Load(six, Record({"A", "B", "C", "D", "E", "F"}, "a.pro", "files\nx.bmp\ndatafiles\ncalibrator\nR\n"));
  const std::string sixDump = ReadC("listread.txt");
  EXPECT_EQ(CountLines(sixDump, "Required Files:  x.bmp"), 6);
  EXPECT_EQ(CountLines(sixDump, "Same Record As:"), 0);
  catalogue::ProceduresList seven;
  Load(seven, Record({"A", "B", "C", "D", "E", "F", "G"}, "a.pro", "files\nx.bmp\ndatafiles\ncalibrator\nR\n"));
  const std::string sevenDump = ReadC("listread.txt").substr(sixDump.size());
  EXPECT_EQ(CountLines(sevenDump, "Required Files:  x.bmp"), 1);
  EXPECT_EQ(CountLines(sevenDump, "Same Record As:  A"), 6);
}

TEST_F(SharedRecord, MegabyteOfEmptyFileLinesStopsTheDumpAtItsLimit) {
  const std::size_t lines = 1 << 20;
  const std::string text = Record({"A", "B", "C", "D", "E", "F"}, "a.pro",
                                  "files\n" + std::string(lines, '\n') + "datafiles\ncalibrator\nR\n");
  catalogue::ProceduresList list;
  ASSERT_EQ(Load(list, text), 1);
  EXPECT_EQ(list.pHead->reqFiles.GetCount(), static_cast<int>(lines));
  const std::string dump = ReadC("listread.txt");
  EXPECT_LE(dump.size(), catalogue::ProceduresList::kDumpLimit + 100);
  EXPECT_LT(dump.size(), 16u << 20);
  const std::string closing = "Dump stopped at its limit of " + std::to_string(catalogue::ProceduresList::kDumpLimit) +
                              " bytes: 6 node(s) not listed in full\n";
  ASSERT_GE(dump.size(), closing.size());
  EXPECT_EQ(dump.substr(dump.size() - closing.size()), closing);
}

TEST_F(SharedRecord, TraceOfOneBatchStopsAtItsLimit) {
  catalogue::OpenCatalogueTrace();
  const std::string line(1023, 't');  // 1 KiB with its line end
  const std::size_t fit = catalogue::kCatalogueTraceBatchLimit / 1024;
  {
    catalogue::CatalogueTraceBatch batch;
    for (std::size_t i = 0; i < fit + 5; ++i) catalogue::CatalogueTrace(line);
  }
  catalogue::CatalogueTrace("after");  // a new batch, or none, starts afresh
  catalogue::CloseCatalogueTrace();
  const std::string trace = ReadC("listrdbg.txt");
  EXPECT_EQ(CountLines(trace, line), static_cast<int>(fit));
  const std::string tail = "Trace stopped at its limit of " + std::to_string(catalogue::kCatalogueTraceBatchLimit) +
                           " bytes: 5 line(s) left out\nafter\n";
  ASSERT_GT(trace.size(), tail.size());
  EXPECT_EQ(trace.substr(trace.size() - tail.size()), tail);
}

TEST_F(SharedRecord, TextFromMemoryReadsAsTheFileWithTheSinksGiven) {
  const std::string text = Record({"P", "Q"}, "p.pro") + "instrument==========\nCUT\nprocfile\n";
  catalogue::ProceduresList fromFile;
  ASSERT_EQ(Load(fromFile, text), 1);
  ASSERT_EQ(Boxes().size(), 1u);  // the record cut off by the end of the file
  const std::string fileDump = ReadC("listread.txt");

  catalogue::ProceduresList fromMemory;
  catalogue::LoadSinks sinks;
  sinks.dumpPath = "C:\\memory.txt";
  EXPECT_EQ(fromMemory.TextInputFromMemory(text, sinks), 1);
  EXPECT_EQ(NodeNames(fromMemory), NodeNames(fromFile));
  EXPECT_EQ(ReadC("memory.txt"), fileDump);
  EXPECT_EQ(fromMemory.DroppedRecords(), 1);
  EXPECT_EQ(Boxes().size(), 1u);  // not reported unless asked

  catalogue::ProceduresList quiet;
  EXPECT_EQ(quiet.TextInputFromMemory(text), 1);
  EXPECT_EQ(NodeNames(quiet), NodeNames(fromFile));
  EXPECT_EQ(ReadC("listread.txt"), fileDump);  // no dump written
  sinks.dumpPath = nullptr;
  sinks.reportDropped = true;
  catalogue::ProceduresList reported;
  reported.TextInputFromMemory(text, sinks);
  EXPECT_EQ(Boxes().size(), 2u);
}

}  // namespace
