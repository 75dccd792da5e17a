// Offered procedures per calibrator, and look-ups by name and by file.
#include <random>
#include <string>
#include <vector>

#include "platform/ascii_case.h"
#include "testing/catalogue_test.h"

namespace {

using catalogue_testing::CatalogueTest;
using catalogue_testing::Items;
using catalogue_testing::NodeNames;
using catalogue_testing::Record;
using V = std::vector<std::string>;

std::string Cal(const std::string& code) { return "calibrator\n" + code + "\n"; }

class Queries : public CatalogueTest {
 protected:
  void LoadCalibrators() {
    ASSERT_EQ(Load(list_, Record({"A520", "A520b"}, "a.pro", Cal("R520")) + Record({"B510"}, "b.pro", Cal("R510")) +
                              Record({"C410"}, "c.pro", Cal("R410")) + Record({"D420"}, "d.pro", Cal("R420")) +
                              Record({"E520lc"}, "e.pro", Cal("r520")) +
                              Record({"F520sub"}, "f.pro", Cal("R520"), "instrumentSub=======") +
                              Record({"G"}, "g.pro", "") + Record({"H"}, "h.pro", Cal("Other")) +
                              Record({"I"}, "i.pro", Cal("NO ALIAS"))),
              1);
  }
  catalogue::ProceduresList list_;
};

TEST_F(Queries, GetProcsOffersEveryProcedureButSubProcedures) {
  LoadCalibrators();
  EXPECT_EQ(list_.GetProcs(), 9);
  EXPECT_EQ(Items(list_.ProcTable), (V{"A520", "A520b", "B510", "C410", "D420", "E520lc", "G", "H", "I"}));
  EXPECT_EQ(list_.pCurrent, list_.pHead);
  // Rebuilt, not added to.
  EXPECT_EQ(list_.GetProcs(), 9);
  EXPECT_EQ(list_.ProcTable.GetCount(), 9);
}

TEST_F(Queries, AllIsGetProcs) {
  LoadCalibrators();
  EXPECT_EQ(list_.GetProcsByCalibrator("All"), 9);
  EXPECT_EQ(Items(list_.ProcTable), (V{"A520", "A520b", "B510", "C410", "D420", "E520lc", "G", "H", "I"}));
  // The word is compared exactly.
  EXPECT_EQ(list_.GetProcsByCalibrator("all"), 0);
  EXPECT_TRUE(list_.ProcTable.IsEmpty());
}

TEST_F(Queries, CalibratorAliasesAreOneWay) {
  LoadCalibrators();
  EXPECT_EQ(list_.GetProcsByCalibrator("R520"), 3);
  EXPECT_EQ(Items(list_.ProcTable), (V{"A520", "A520b", "B510"}));
  EXPECT_EQ(list_.GetProcsByCalibrator("R510"), 1);
  EXPECT_EQ(Items(list_.ProcTable), (V{"B510"}));
  EXPECT_EQ(list_.GetProcsByCalibrator("R420"), 2);
  EXPECT_EQ(Items(list_.ProcTable), (V{"C410", "D420"}));
  EXPECT_EQ(list_.GetProcsByCalibrator("R410"), 1);
  EXPECT_EQ(Items(list_.ProcTable), (V{"C410"}));
  EXPECT_EQ(list_.pCurrent, list_.pHead);
}

TEST_F(Queries, CodesCompareWithCase) {
  LoadCalibrators();
  list_.GetProcsByCalibrator("R520");
  EXPECT_FALSE(list_.ProcTable.Contains("E520lc"));
  EXPECT_EQ(list_.GetProcsByCalibrator("r520"), 1);
  EXPECT_EQ(Items(list_.ProcTable), (V{"E520lc"}));
}

TEST_F(Queries, SubProcedureIsNeverOffered) {
  LoadCalibrators();
  for (const char* code : {"All", "R520", "R510", "Other"}) {
    list_.GetProcsByCalibrator(code);
    EXPECT_FALSE(list_.ProcTable.Contains("F520sub")) << code;
  }
}

TEST_F(Queries, OtherCodesOfferExactlyTheirOwn) {
  LoadCalibrators();
  EXPECT_EQ(list_.GetProcsByCalibrator("Other"), 1);
  EXPECT_EQ(Items(list_.ProcTable), (V{"H"}));
  // A record whose calibrator line happens to read "NO ALIAS" is not offered
  // for codes without an alias.
  EXPECT_EQ(list_.GetProcsByCalibrator("R310"), 0);
  EXPECT_TRUE(list_.ProcTable.IsEmpty());
  // Records without a calibrator line only under "All".
  list_.GetProcsByCalibrator("All");
  EXPECT_TRUE(list_.ProcTable.Contains("G"));
}

TEST_F(Queries, EmptyCatalogueOffersNothingAndFindsNothing) {
  EXPECT_EQ(list_.GetProcs(), 0);
  EXPECT_EQ(list_.GetProcsByCalibrator("R520"), 0);
  EXPECT_EQ(list_.FindSiblings("A"), nullptr);
  EXPECT_EQ(list_.FindSubProcs("A"), nullptr);
  EXPECT_EQ(list_.FindByAnyName("A"), nullptr);
  EXPECT_EQ(list_.FindByProcFile("a.pro"), nullptr);
  EXPECT_EQ(list_.pCurrent, nullptr);
}

class Lookups : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    ASSERT_EQ(Load(list_, Record({"B", "Y"}, "B.PRO", "sub\nsb\nfiles\ndatafiles\ncalibrator\nR520\n") +
                              Record({"Y"}, "y.pro", "sub\nsy\nfiles\ndatafiles\ncalibrator\nR520\n") +
                              Record({"b"}, "b2.pro", "sub\nlower\nfiles\ndatafiles\ncalibrator\nR520\n")),
              1);
    ASSERT_EQ(NodeNames(list_), (V{"B", "Y", "Y", "b"}));
  }
  catalogue::ProceduresList list_;
};

TEST_F(Lookups, FindSiblingsComparesExactly) {
  EXPECT_EQ(Items(list_.FindSiblings("Y")), (V{"B", "Y"}));  // the first node named Y: the alias
  EXPECT_EQ(Items(list_.FindSiblings("b")), (V{"b"}));
  EXPECT_EQ(list_.FindSiblings("y"), nullptr);
}

TEST_F(Lookups, FindSubProcsIgnoresCase) {
  EXPECT_EQ(Items(list_.FindSubProcs("b")), (V{"sb"}));  // B comes before b
  EXPECT_EQ(Items(list_.FindSubProcs("y")), (V{"sb"}));  // the alias Y of record B
  EXPECT_EQ(list_.FindSubProcs("Z"), nullptr);
}

TEST_F(Lookups, FindByAnyNameTakesTheFirstNodeHoldingTheName) {
  const catalogue::ProcNode* node = list_.FindByAnyName("y");
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node, list_.pHead);  // B's siblings hold Y
  EXPECT_EQ(list_.pCurrent, node);
  EXPECT_EQ(list_.FindByAnyName("Q"), nullptr);
}

TEST_F(Lookups, FindByProcFileComparesExactly) {
  ASSERT_NE(list_.FindByProcFile("y.pro"), nullptr);
  EXPECT_EQ(list_.FindByProcFile("y.pro")->name, "Y");
  EXPECT_EQ(Items(list_.FindByProcFile("y.pro")->siblings), (V{"Y"}));
  EXPECT_EQ(list_.FindByProcFile("Y.PRO"), nullptr);
  EXPECT_EQ(list_.FindByProcFile("B.PRO"), list_.pHead);
}

// The look-up tables against plain walks from the head, on random
// catalogues with repeated names in several letter cases.
TEST_F(Lookups, MatchPlainWalksOnRandomCatalogues) {
  std::mt19937 rng(99);
  const char* pool[] = {"a", "A", "b", "B", "ab", "Ab", "AB", "c", "x.pro", "X.PRO", "y.pro"};
  auto pick = [&] { return std::string(pool[rng() % (sizeof pool / sizeof *pool)]); };
  for (int round = 0; round < 300; ++round) {
    std::string file;
    for (int r = rng() % 12; r > 0; --r) {
      V names;
      for (int n = 1 + rng() % 3; n > 0; --n) names.push_back(pick());
      file += Record(names, pick(), "sub\n" + pick() + "\nfiles\ndatafiles\ncalibrator\nR\n");
    }
    catalogue::ProceduresList list;
    Load(list, file);
    for (const char* query : pool) {
      const std::string q = query;
      const catalogue::ProcNode *exact = nullptr, *noCase = nullptr, *sibling = nullptr, *byFile = nullptr;
      for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) {
        if (!exact && node->name == q) exact = node;
        if (!noCase && platform::EqualNoCase(node->name, q)) noCase = node;
        if (!sibling && node->siblings.ContainsNoCase(q)) sibling = node;
        if (!byFile && node->procFile == q) byFile = node;
      }
      EXPECT_EQ(list.FindSiblings(q), exact ? &exact->siblings : nullptr) << q;
      EXPECT_EQ(list.FindSubProcs(q), noCase ? &noCase->subProcs : nullptr) << q;
      EXPECT_EQ(list.FindByAnyName(q), sibling) << q;
      EXPECT_EQ(list.FindByProcFile(q), byFile) << q;
    }
  }
}

}  // namespace
