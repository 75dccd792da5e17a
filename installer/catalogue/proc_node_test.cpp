// Catalogue nodes: construction, alias nodes, assignment, configuration lines.
#include <string>
#include <vector>

#include "testing/catalogue_test.h"

namespace {

using catalogue_testing::CatalogueTest;
using catalogue_testing::Items;
using V = std::vector<std::string>;

class ProcNodeTest : public CatalogueTest {
 protected:
  static void Fill(catalogue::ProcNode& node, const std::string& tag) {
    node.procFile = tag + ".PRO";
    node.calibrator = "R520";
    node.siblings.AddTail(node.name);
    node.siblings.AddTail(tag + "-2");
    node.subProcs.AddTail(tag + "-sub");
    node.reqFiles.AddTail(tag + ".bmp");
    node.dataFiles.AddTail(tag + ".dat");
    node.AddConfigLine(tag + " config");
  }
};

TEST_F(ProcNodeTest, AliasCopiesEverythingButNameAndLink) {
  catalogue::OpenCatalogueTrace();
  catalogue::ProcNode first("A");
  Fill(first, "a");
  first.isSubProc = 1;
  catalogue::ProcNode other("other");
  first.pNext = &other;
  catalogue::ProcNode alias(first, "A2");
  catalogue::CloseCatalogueTrace();
  EXPECT_EQ(alias.name, "A2");
  EXPECT_EQ(alias.procFile, "a.PRO");
  EXPECT_EQ(alias.calibrator, "R520");
  EXPECT_EQ(Items(alias.siblings), (V{"A", "a-2"}));
  EXPECT_EQ(Items(alias.subProcs), (V{"a-sub"}));
  EXPECT_EQ(Items(alias.reqFiles), (V{"a.bmp"}));
  EXPECT_EQ(Items(alias.dataFiles), (V{"a.dat"}));
  EXPECT_EQ(Items(alias.configLines), (V{"a config"}));
  EXPECT_EQ(alias.isSubProc, 1);
  EXPECT_EQ(alias.pNext, nullptr);
  EXPECT_EQ(alias.RecordKey(), "A");
  EXPECT_EQ(ReadC("listrdbg.txt"), "Q Constructor2\n");
}

TEST_F(ProcNodeTest, AssignmentReplacesListsButKeepsFlagAndLink) {
  catalogue::ProcNode source("S");
  Fill(source, "s");
  source.isSubProc = 1;
  catalogue::ProcNode target("T");
  Fill(target, "t");
  target.reqFiles.AddTail("t2.bmp");
  catalogue::ProcNode after("after");
  target.pNext = &after;
  catalogue::OpenCatalogueTrace();
  target = source;
  catalogue::CloseCatalogueTrace();
  EXPECT_EQ(target.name, "S");
  EXPECT_EQ(target.procFile, "s.PRO");
  EXPECT_EQ(Items(target.siblings), (V{"S", "s-2"}));
  EXPECT_EQ(Items(target.reqFiles), (V{"s.bmp"}));
  EXPECT_EQ(Items(target.dataFiles), (V{"s.dat"}));
  EXPECT_EQ(Items(target.configLines), (V{"s config"}));
  EXPECT_EQ(target.isSubProc, 0);
  EXPECT_EQ(target.pNext, &after);
  // The copied lists answer duplicate tests for their new contents.
  EXPECT_FALSE(target.configLines.Contains("t config"));
  EXPECT_EQ(ReadC("listrdbg.txt"), "Q Operator=\n");
}

TEST_F(ProcNodeTest, SelfAssignmentKeepsTheNode) {
  catalogue::ProcNode node("N");
  Fill(node, "n");
  catalogue::ProcNode& same = node;
  node = same;
  EXPECT_EQ(node.name, "N");
  EXPECT_EQ(Items(node.reqFiles), (V{"n.bmp"}));
  EXPECT_EQ(Items(node.siblings), (V{"N", "n-2"}));
}

TEST_F(ProcNodeTest, ConfigurationLinesAreKeptOnceComparedExactly) {
  catalogue::ProcNode node("N");
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 20; ++i) node.AddConfigLine("line " + std::to_string(i));
  }
  node.AddConfigLine("LINE 1");
  node.AddConfigLine("line 1 ");
  node.AddConfigLine("");
  node.AddConfigLine("");
  EXPECT_EQ(node.configLines.GetCount(), 23);
  EXPECT_EQ(node.configLines.GetAt(0), "line 0");
  EXPECT_EQ(node.configLines.GetAt(20), "LINE 1");
  EXPECT_EQ(node.configLines.GetAt(22), "");
}

}  // namespace
