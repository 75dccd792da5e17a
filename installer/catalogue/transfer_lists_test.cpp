// The operator's choice and the transfer lists made from it.
#include <string>
#include <vector>

#include "installer/catalogue/catalogue_report.h"
#include "testing/catalogue_test.h"

namespace {

using catalogue_testing::CatalogueTest;
using catalogue_testing::Items;
using catalogue_testing::Record;
using V = std::vector<std::string>;

std::string Body(const std::string& subs, const std::string& files, const std::string& data) {
  return "sub\n" + subs + "files\n" + files + "datafiles\n" + data + "calibrator\nR520\n";
}

class Transfer : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    ASSERT_EQ(Load(list_, Record({"P1", "P2"}, "P.PRO", Body("S1\n", "pic.bmp\nshared.dat\n", "p.dat\n")) +
                              Record({"Q"}, "p.pro", Body("", "q.bmp\nPIC.BMP\n", "")) +
                              Record({"R"}, "R.PRO", Body("", "", "shared.dat\nr.dat\n")) +
                              Record({"T"}, "T.PRO", Body("", "", "")) +
                              Record({"S1", "S1b"}, "S1.PRO", Body("", "s1.exe\n", "s1.dat\n"), "instrumentSub=======")),
              1);
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : Boxes()) texts.push_back(box.text);
    return texts;
  }
  catalogue::ProceduresList list_;
};

TEST_F(Transfer, SelectionsKeepOrderAndIgnoreCaseDuplicates) {
  list_.AddSelectedProc("P2");
  list_.AddSelectedProc("q");
  list_.AddSelectedProc("p2");
  list_.AddSelectedProc("Q");
  list_.AddSelectedSubProc("S1");
  list_.AddSelectedSubProc("s1");
  EXPECT_EQ(Items(list_.selectedProcs), (V{"P2", "q"}));
  EXPECT_EQ(Items(list_.selectedSubProcs), (V{"S1"}));
}

TEST_F(Transfer, BothNamesOfARecordGiveItsFilesOnce) {
  list_.AddSelectedProc("P1");
  list_.AddSelectedProc("P2");
  EXPECT_EQ(list_.LoadAllXferFiles(), 1);
  EXPECT_EQ(Items(list_.xferProcs), (V{"P.PRO"}));
  EXPECT_EQ(Items(list_.xferFiles), (V{"pic.bmp", "shared.dat"}));
  EXPECT_EQ(Items(list_.xferDataFiles), (V{"p.dat"}));
  // Called again for the second name, nothing is new.
  EXPECT_EQ(list_.GetXferFiles("P2"), 0);
  EXPECT_EQ(list_.GetXferFiles("T"), 0);
}

TEST_F(Transfer, GetXferFilesCountsBothLists) {
  EXPECT_EQ(list_.GetXferFiles("P1"), 3);
  EXPECT_EQ(list_.GetXferFiles("r"), 2);
  EXPECT_EQ(Items(list_.xferDataFiles), (V{"p.dat", "shared.dat", "r.dat"}));
  EXPECT_EQ(list_.pCurrent->name, "R");
}

TEST_F(Transfer, ProcedureFilesDifferingInCaseEnterOnce) {
  list_.AddSelectedProc("Q");
  list_.AddSelectedProc("P1");
  EXPECT_EQ(list_.LoadAllXferFiles(), 1);
  EXPECT_EQ(Items(list_.xferProcs), (V{"p.pro"}));
  // PIC.BMP came first, from Q; pic.bmp of P1 is the same file.
  EXPECT_EQ(Items(list_.xferFiles), (V{"q.bmp", "PIC.BMP", "shared.dat"}));
}

TEST_F(Transfer, RequiredFileOfOneIsDataFileOfAnother) {
  list_.AddSelectedProc("P1");
  list_.AddSelectedProc("R");
  EXPECT_EQ(list_.LoadAllXferFiles(), 1);
  EXPECT_TRUE(list_.xferFiles.Contains("shared.dat"));
  EXPECT_TRUE(list_.xferDataFiles.Contains("shared.dat"));
  EXPECT_EQ(Items(list_.xferDataFiles), (V{"p.dat", "shared.dat", "r.dat"}));
  EXPECT_EQ(Items(list_.xferProcs), (V{"P.PRO", "R.PRO"}));
}

TEST_F(Transfer, SubProceduresComeAfterTheProcedures) {
  list_.AddSelectedProc("P1");
  list_.AddSelectedSubProc("S1");
  EXPECT_EQ(list_.LoadAllXferFiles(), 1);
  EXPECT_EQ(Items(list_.xferProcs), (V{"P.PRO"}));
  EXPECT_EQ(Items(list_.xferSubProcs), (V{"S1.PRO"}));
  EXPECT_EQ(Items(list_.xferFiles), (V{"pic.bmp", "shared.dat", "s1.exe"}));
  EXPECT_EQ(Items(list_.xferDataFiles), (V{"p.dat", "s1.dat"}));
}

TEST_F(Transfer, SubProcedureAlreadyThereIsNoFailure) {
  EXPECT_EQ(list_.LoadXferSubProcs("S1"), 1);
  EXPECT_EQ(list_.LoadXferSubProcs("s1"), 0);
  EXPECT_EQ(Items(list_.xferSubProcs), (V{"S1.PRO"}));
  // Both names of one sub-procedure record reached from the selection.
  list_.AddSelectedSubProc("S1b");
  list_.AddSelectedSubProc("S1");
  EXPECT_EQ(list_.LoadAllXferFiles(), 1);
  EXPECT_EQ(Items(list_.xferSubProcs), (V{"S1.PRO"}));
  EXPECT_EQ(Items(list_.xferFiles), (V{"s1.exe"}));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(Transfer, SecondPassStartsFromEmptyLists) {
  list_.AddSelectedProc("R");
  list_.AddSelectedSubProc("S1");
  ASSERT_EQ(list_.LoadAllXferFiles(), 1);
  ASSERT_FALSE(list_.xferDataFiles.IsEmpty());
  list_.selectedProcs.RemoveAll();
  list_.selectedSubProcs.RemoveAll();
  list_.AddSelectedProc("T");
  EXPECT_EQ(list_.LoadAllXferFiles(), 1);
  EXPECT_EQ(Items(list_.xferProcs), (V{"T.PRO"}));
  EXPECT_TRUE(list_.xferSubProcs.IsEmpty());
  EXPECT_TRUE(list_.xferFiles.IsEmpty());
  EXPECT_TRUE(list_.xferDataFiles.IsEmpty());
  // Nothing selected at all: empty lists, success.
  list_.selectedProcs.RemoveAll();
  EXPECT_EQ(list_.LoadAllXferFiles(), 1);
  EXPECT_TRUE(list_.xferProcs.IsEmpty());
}

TEST_F(Transfer, NamesNotInTheCatalogueAreReported) {
  EXPECT_EQ(list_.GetXferFiles("Nope"), -1);
  EXPECT_EQ(list_.LoadXferProcs("Nope"), -1);
  EXPECT_EQ(list_.LoadXferSubProcs("Nope"), -1);
  EXPECT_EQ(BoxTexts(), (V{"Error: Selected procedure name not in list",
                           "Error: Selected procedure name not in list xpfn",
                           "Error: Selected procedure name not in list xspfn"}));
  for (const auto& box : Boxes()) {
    EXPECT_EQ(box.caption, "ORVIK - Procedure Installation");
    EXPECT_EQ(box.style, 0x30u);
  }
  EXPECT_TRUE(list_.xferFiles.IsEmpty() && list_.xferProcs.IsEmpty() && list_.xferSubProcs.IsEmpty() &&
              list_.xferDataFiles.IsEmpty());
  EXPECT_EQ(list_.pCurrent, nullptr);
}

TEST_F(Transfer, MissingSubProcedureFailsButEveryCallIsMade) {
  list_.AddSelectedProc("Ghost");
  list_.AddSelectedProc("P1");
  list_.AddSelectedSubProc("Missing");
  list_.AddSelectedSubProc("S1");
  EXPECT_EQ(list_.LoadAllXferFiles(), 0);
  EXPECT_EQ(BoxTexts(), (V{"Error: Selected procedure name not in list xpfn",
                           "Error: Selected procedure name not in list",
                           "Error: Selected procedure name not in list xspfn",
                           "Error: Selected procedure name not in list"}));
  EXPECT_EQ(Items(list_.xferProcs), (V{"P.PRO"}));
  EXPECT_EQ(Items(list_.xferSubProcs), (V{"S1.PRO"}));
  EXPECT_EQ(Items(list_.xferFiles), (V{"pic.bmp", "shared.dat", "s1.exe"}));
}

TEST_F(Transfer, SelectedNamesAreFoundIgnoringCase) {
  list_.AddSelectedProc("p1");
  list_.AddSelectedSubProc("s1");
  EXPECT_EQ(list_.LoadAllXferFiles(), 1);
  EXPECT_EQ(Items(list_.xferProcs), (V{"P.PRO"}));
  EXPECT_EQ(Items(list_.xferSubProcs), (V{"S1.PRO"}));
}

// --- Names that are not plain file names ------------------------------------

class UnsafeNames : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    ASSERT_EQ(Load(list_, Record({"Up", "Up2", "Up3"}, "..\\evil.pro", Body("", "ok.bmp\n", "")) +
                              Record({"Req"}, "req.pro", Body("", "fine.bmp\nsub/inner.bmp\n", "fine.dat\n")) +
                              Record({"Data"}, "data.pro", Body("", "", "c:boot.dat\n")) +
                              Record({"Blank"}, "", Body("", "", "")) +
                              Record({"Dots"}, "dots.pro", Body("", "..\n", ".\n")) +
                              Record({"Good"}, "good.pro", Body("", "good.bmp\n", "good.dat\n")) +
                              Record({"Sub"}, "/abs.pro", Body("", "", ""), "instrumentSub=======")),
              1);
  }
  catalogue::ProceduresList list_;
};

TEST_F(UnsafeNames, ProcedureFileIsRefused) {
  EXPECT_EQ(list_.LoadXferProcs("Up"), -1);
  EXPECT_TRUE(list_.xferProcs.IsEmpty());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "ORVIK - Procedure Installation");
  EXPECT_EQ(Boxes()[0].style, 0x30u);
  EXPECT_EQ(Boxes()[0].text, catalogue::UnsafeFileNameText("Up", "..\\evil.pro"));
  EXPECT_NE(Boxes()[0].text.find("\"..\\evil.pro\""), std::string::npos);
  EXPECT_EQ(list_.LoadXferProcs("Blank"), -1);
  EXPECT_EQ(list_.LoadXferSubProcs("Sub"), -1);
  EXPECT_TRUE(list_.xferProcs.IsEmpty() && list_.xferSubProcs.IsEmpty());
  EXPECT_EQ(Boxes().size(), 3u);
}

TEST_F(UnsafeNames, RefusedFileLeavesBothListsAsTheyWere) {
  EXPECT_EQ(list_.GetXferFiles("Req"), -1);
  EXPECT_EQ(list_.GetXferFiles("Data"), -1);
  EXPECT_EQ(list_.GetXferFiles("Dots"), -1);
  EXPECT_TRUE(list_.xferFiles.IsEmpty());
  EXPECT_TRUE(list_.xferDataFiles.IsEmpty());
  ASSERT_EQ(Boxes().size(), 3u);
  EXPECT_EQ(Boxes()[0].text, catalogue::UnsafeFileNameText("Req", "sub/inner.bmp"));
  EXPECT_EQ(Boxes()[1].text, catalogue::UnsafeFileNameText("Data", "c:boot.dat"));
  EXPECT_EQ(Boxes()[2].text, catalogue::UnsafeFileNameText("Dots", ".."));
}

TEST_F(UnsafeNames, LoadAllXferFilesFailsAndReportsEachNameOnce) {
  list_.AddSelectedProc("Up");
  list_.AddSelectedProc("Up2");
  list_.AddSelectedProc("Good");
  list_.AddSelectedProc("Up3");
  list_.AddSelectedSubProc("Sub");
  EXPECT_EQ(list_.LoadAllXferFiles(), 0);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].text, catalogue::UnsafeFileNameText("Up", "..\\evil.pro"));
  EXPECT_EQ(Boxes()[1].text, catalogue::UnsafeFileNameText("Sub", "/abs.pro"));
  // The rest of the choice still goes through, the unsafe names never do.
  EXPECT_EQ(Items(list_.xferProcs), (V{"good.pro"}));
  EXPECT_EQ(Items(list_.xferFiles), (V{"ok.bmp", "good.bmp"}));
  EXPECT_TRUE(list_.xferSubProcs.IsEmpty());
  // The next run reports again.
  EXPECT_EQ(list_.LoadAllXferFiles(), 0);
  EXPECT_EQ(Boxes().size(), 4u);
}

TEST_F(UnsafeNames, NamesTheMediaListsCannotCarryAreRefused) {
  catalogue::ProceduresList list;
  const V files = {"A,B.PRO", "X=1.PRO", "[X.PRO", "ABC.PRO "};
  std::string text;
  for (const std::string& file : files) text += Record({"N" + file}, file, Body("", "", ""));
  text += Record({"Data"}, "ok.pro", Body("", "", ";notes.dat\n"));
  ASSERT_EQ(Load(list, text), 1);
  for (const std::string& file : files) list.AddSelectedProc("N" + file);
  list.AddSelectedProc("Data");
  EXPECT_EQ(list.LoadAllXferFiles(), 0);
  ASSERT_EQ(Boxes().size(), 5u);
  for (size_t i = 0; i < files.size(); ++i)
    EXPECT_EQ(Boxes()[i].text, catalogue::UnsafeFileNameText("N" + files[i], files[i]));
  EXPECT_EQ(Boxes()[4].text, catalogue::UnsafeFileNameText("Data", ";notes.dat"));
  EXPECT_EQ(Items(list.xferProcs), (V{"ok.pro"}));
  EXPECT_TRUE(list.xferDataFiles.IsEmpty());
}

TEST_F(UnsafeNames, SafeChoiceStillSucceeds) {
  list_.AddSelectedProc("Good");
  EXPECT_EQ(list_.LoadAllXferFiles(), 1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Items(list_.xferDataFiles), (V{"good.dat"}));
}

}  // namespace
