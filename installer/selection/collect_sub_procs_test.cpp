// Collection of the sub-procedures that the selected procedures need.
#include "installer/selection/collect_sub_procs.h"

#include <gtest/gtest.h>

#include "testing/selection_test.h"

namespace {

using seltest::Rec;

Rec Node(std::vector<std::string> names, std::vector<std::string> subs, bool isSub = true) {
  Rec r;
  r.names = std::move(names);
  r.procFile = r.names[0] + ".PRO";
  r.subs = std::move(subs);
  r.isSub = isSub;
  return r;
}

std::vector<std::string> Names(const catalogue::StringList& list) { return {list.begin(), list.end()}; }

class CollectSubProcs : public ::testing::Test {
 protected:
  void Collect(const std::vector<std::string>& selected) {
    for (const std::string& s : selected) catalogue.AddSelectedProc(s);
    for (const std::string& s : selected) selection::CollectSubProcs(catalogue, visited, s);
  }
  seltest::Sandbox box;
  catalogue::ProceduresList catalogue;
  catalogue::StringList visited;
};

TEST_F(CollectSubProcs, PostOrderEachNameOnce) {
  seltest::LoadCatalogue(box, catalogue,
                         {Node({"P"}, {"S1", "S2", "S1"}, false), Node({"Q"}, {"S2", "T"}, false),
                          Node({"S1"}, {"T", "U"}), Node({"S2"}, {"U"}), Node({"T"}, {}), Node({"U"}, {})});
  Collect({"P", "Q"});
  EXPECT_EQ(Names(catalogue.selectedSubProcs), (std::vector<std::string>{"T", "U", "S1", "S2"}));
  EXPECT_EQ(Names(visited), (std::vector<std::string>{"S1", "T", "U", "S2"}));
}

TEST_F(CollectSubProcs, CyclesEnd) {
  seltest::LoadCatalogue(box, catalogue,
                         {Node({"P"}, {"A"}, false), Node({"A"}, {"B"}), Node({"B"}, {"A", "P", "C"}),
                          Node({"C"}, {})});
  Collect({"P"});
  // P is selected, so reaching it again adds nothing.
  EXPECT_EQ(Names(catalogue.selectedSubProcs), (std::vector<std::string>{"C", "B", "A"}));
}

TEST_F(CollectSubProcs, LookupIgnoresLetterCaseButVisitingDoesNot) {
  seltest::LoadCatalogue(box, catalogue,
                         {Node({"P"}, {"s1", "S1"}, false), Node({"S1"}, {"T"}), Node({"T"}, {})});
  Collect({"P"});
  // Both spellings are expanded; the second adds nothing new ignoring case.
  EXPECT_EQ(Names(visited), (std::vector<std::string>{"s1", "T", "S1"}));
  EXPECT_EQ(Names(catalogue.selectedSubProcs), (std::vector<std::string>{"T", "s1"}));
}

TEST_F(CollectSubProcs, SelectedNameInAnotherCaseIsNotASubProcedure) {
  seltest::LoadCatalogue(box, catalogue,
                         {Node({"P"}, {"q", "S"}, false), Node({"Q"}, {"R"}, false), Node({"R"}, {}),
                          Node({"S"}, {})});
  Collect({"P"});
  catalogue.selectedProcs.AddTail("Q");
  visited.RemoveAll();
  catalogue.selectedSubProcs.RemoveAll();
  selection::CollectSubProcs(catalogue, visited, "P");
  EXPECT_EQ(Names(catalogue.selectedSubProcs), (std::vector<std::string>{"S"}));
}

TEST_F(CollectSubProcs, MissingRecordIsStillCollected) {
  seltest::LoadCatalogue(box, catalogue, {Node({"P"}, {"GHOST", "S"}, false), Node({"S"}, {})});
  Collect({"P"});
  EXPECT_EQ(Names(catalogue.selectedSubProcs), (std::vector<std::string>{"GHOST", "S"}));
  // A name without record or without sub-procedures adds nothing.
  catalogue.selectedSubProcs.RemoveAll();
  selection::CollectSubProcs(catalogue, visited, "NOBODY");
  selection::CollectSubProcs(catalogue, visited, "S");
  EXPECT_EQ(catalogue.selectedSubProcs.GetCount(), 0);
}

TEST_F(CollectSubProcs, LongChainsDoNotExhaustTheStack) {
  const int depth = 20000;
  std::vector<Rec> records{Node({"P"}, {"C0"}, false)};
  for (int i = 0; i < depth; ++i) {
    std::vector<std::string> next;
    if (i + 1 < depth) next.push_back("C" + std::to_string(i + 1));
    records.push_back(Node({"C" + std::to_string(i)}, next));
  }
  seltest::LoadCatalogue(box, catalogue, records);
  Collect({"P"});
  ASSERT_EQ(catalogue.selectedSubProcs.GetCount(), depth);
  EXPECT_EQ(catalogue.selectedSubProcs.GetAt(0), "C" + std::to_string(depth - 1));
  EXPECT_EQ(catalogue.selectedSubProcs.GetAt(depth - 1), "C0");
}

}  // namespace
