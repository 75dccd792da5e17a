// The selection page run through answer files: opening, clicks on aliases,
// the conflict check's verdict, Select All / Deselect All, Back, Cancel and
// Next with the sub-procedures it collects.
#include "installer/selection/proc_select_dlg.h"

#include <gtest/gtest.h>

#include "installer/procdir/procdir_open.h"
#include "testing/host_platform.h"
#include "testing/selection_test.h"
#include "installer/installer_codes.h"

namespace {

using seltest::Entry;
using seltest::Rec;

constexpr const char* kIndex = "C:\\orvik\\proc\\proc.dir";

// Catalogue order: "A 1", "B 1", "DMM 45", "DMM 45A", "HP 3458", "Meter", "B".
// "B" is an alias of Meter's record and stands below "B 1", which begins
// with it.
std::vector<Rec> Records() {
  return {
      Rec{{"A 1"}, "A1.PRO", {}, {"a1.pic"}, {}, "R520", {"Scope"}},
      Rec{{"B 1"}, "B1.PRO", {}, {}, {}, "R520", {}},
      Rec{{"DMM 45", "DMM 45A", "HP 3458"}, "DMM45.PRO", {}, {}, {}, "R520", {"Line one", "Line two"}},
      Rec{{"Meter", "B"}, "METER.PRO", {}, {}, {}, "R520", {"Meter setup"}},
  };
}

class SelectionPage : public ::testing::Test {
 protected:
  void SetUp() override { box.MakeDir("C:\\orvik\\proc"); }
  void Load(const std::vector<Rec>& records) { seltest::LoadCatalogue(box, catalogue, records); }
  void OpenIndex(const std::string& contents) {
    box.Write(kIndex, contents);
    index = procdir::ProcDirOpen(kIndex, "w");
    ASSERT_NE(index, -1);
  }
  void TearDown() override {
    if (index != -1) procdir::ProcDirClose(index);
  }
  // Runs a page with the answers; returns its end code.
  int Run(selection::ProcSelectDlg& page, const std::string& answers) {
    box.Answers(answers);
    page.indexHandle = index;
    return page.DoModal();
  }
  // The selection of every item, as "1" / "0" in list order.
  static std::string Selection(selection::ProcSelectDlg& page) {
    std::string out;
    ui::ListBox list = page.List(IDC_PROC_LIST);
    for (int i = 0; i < list.GetCount(); ++i) out += list.GetSel(i) > 0 ? '1' : '0';
    return out;
  }
  static std::vector<std::string> Names(const catalogue::StringList& list) { return {list.begin(), list.end()}; }

  seltest::Sandbox box;
  catalogue::ProceduresList catalogue;
  platform::HFILE index = -1;
};

TEST_F(SelectionPage, OpensWithTheOfferedNamesUnsortedAndNothingSelected) {
  Load(Records());
  OpenIndex("");
  catalogue.selectedProcs.AddTail("old");
  catalogue.selectedSubProcs.AddTail("old sub");
  box.Write(selection::kSelectionLogPath, "earlier run\n");
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EQ(catalogue.selectedProcs.GetCount(), 0);
  EXPECT_EQ(catalogue.selectedSubProcs.GetCount(), 0);
  EXPECT_EQ(Run(page, "108 close\n"), ui::IDCANCEL);
  EXPECT_TRUE(box.TranscriptHas("window 108 \"ORVIK Procedure Installation - Procedure Selection\""));
  const char* expected[] = {"A 1", "B 1", "DMM 45", "DMM 45A", "HP 3458", "Meter", "B"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_TRUE(box.TranscriptHas("item 1014 " + std::to_string(i + 1) + " \"" + expected[i] + "\" 0")) << expected[i];
  }
  EXPECT_TRUE(box.TranscriptHas("field 1030 \"\""));
  EXPECT_TRUE(box.TranscriptHas("field 1007 \"\""));
  // The selection log is created empty and held open while the page lives.
  EXPECT_TRUE(page.SelectionLogOpen());
  EXPECT_TRUE(box.Exists(selection::kSelectionLogPath));
  EXPECT_EQ(box.Read(selection::kSelectionLogPath), "");
}

TEST_F(SelectionPage, ClickingOneNameSelectsAndDeselectsAllItsNames) {
  Load(Records());
  OpenIndex("");
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EQ(Run(page, "108 toggle 1014 \"DMM 45A\" close\n"), ui::IDCANCEL);
  EXPECT_EQ(Selection(page), "0011100");
  EXPECT_EQ(page.GetDlgItemText(IDC_PROC_NAME), "DMM 45A");
  EXPECT_EQ(page.GetDlgItemText(IDC_PROC_CONFIG), "Line one\r\nLine two\r\n");
  EXPECT_EQ(page.List(IDC_PROC_LIST).GetCaretIndex(), 3);

  selection::ProcSelectDlg again(catalogue, nullptr);
  // Deselecting through another alias clears all three and keeps both boxes.
  EXPECT_EQ(Run(again, "108 toggle 1014 \"DMM 45A\" toggle 1014 \"A 1\" toggle 1014 \"HP 3458\" close\n"),
            ui::IDCANCEL);
  EXPECT_EQ(Selection(again), "1000000");
  EXPECT_EQ(again.GetDlgItemText(IDC_PROC_NAME), "A 1");
  EXPECT_EQ(again.GetDlgItemText(IDC_PROC_CONFIG), "Scope\r\n");
  EXPECT_EQ(again.NameText(), "A 1");
  EXPECT_EQ(again.List(IDC_PROC_LIST).GetCaretIndex(), 4);
}

TEST_F(SelectionPage, AnAliasSelectsItsOwnItemNotOneThatBeginsWithIt) {
  Load(Records());
  OpenIndex("");
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EQ(Run(page, "108 toggle 1014 B close\n"), ui::IDCANCEL);
  // Meter and B; "B 1" is another procedure and stays as it was.
  EXPECT_EQ(Selection(page), "0000011");
  EXPECT_EQ(page.GetDlgItemText(IDC_PROC_CONFIG), "Meter setup\r\n");

  selection::ProcSelectDlg again(catalogue, nullptr);
  EXPECT_EQ(Run(again, "108 toggle 1014 \"B 1\" toggle 1014 Meter toggle 1014 B close\n"), ui::IDCANCEL);
  EXPECT_EQ(Selection(again), "0100000");
}

TEST_F(SelectionPage, RefusedProcedureStaysUnselectedWhileTheBoxesShowIt) {
  Load(Records());
  OpenIndex(Entry('E', "3.pro", {"DMM 45", "DMM 45A", "HP 3458"}));
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EQ(Run(page, "108 toggle 1014 \"HP 3458\"\n102 click 7\n108 close\n"), ui::IDCANCEL);
  EXPECT_EQ(Selection(page), "0000000");
  EXPECT_EQ(page.GetDlgItemText(IDC_PROC_NAME), "HP 3458");
  EXPECT_EQ(page.GetDlgItemText(IDC_PROC_CONFIG), "Line one\r\nLine two\r\n");
  EXPECT_EQ(page.List(IDC_PROC_LIST).GetCaretIndex(), 4);
}

TEST_F(SelectionPage, AlwaysOverwriteLastsForTheVisit) {
  Load(Records());
  OpenIndex(Entry('E', "3.pro", {"DMM 45", "DMM 45A", "HP 3458"}) + Entry('E', "4.pro", {"Meter", "B"}));
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EQ(Run(page, "108 toggle 1014 \"DMM 45\"\n102 click 1044\n108 toggle 1014 Meter close\n"), ui::IDCANCEL);
  EXPECT_EQ(Selection(page), "0011111");
  EXPECT_EQ(page.alwaysOverwrite, 1);
  EXPECT_EQ(box.TranscriptCount("window 102 "), 1);
}

TEST_F(SelectionPage, SelectAllAsksFirstAndChecksNothing) {
  Load(Records());
  OpenIndex(Entry('E', "3.pro", {"DMM 45", "DMM 45A", "HP 3458"}));
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EQ(Run(page, "108 click 1004\nbox contains \"Select every procedure\" Cancel\n108 close\n"),
            ui::IDCANCEL);
  EXPECT_EQ(Selection(page), "0000000");
  EXPECT_TRUE(box.TranscriptHas("box \"ORVIK - Procedure Installation\" \"Select every procedure in the list?\\n\\nNo check "
                      "is made against the procedures already installed: installed procedures with the same "
                      "names will be replaced.\\n\\nChoose OK to select all, or Cancel to leave the selection "
                      "unchanged.\""));

  selection::ProcSelectDlg again(catalogue, nullptr);
  EXPECT_EQ(Run(again, "108 click 1004\nbox OK\n108 close\n"), ui::IDCANCEL);
  EXPECT_EQ(Selection(again), "1111111");
  EXPECT_EQ(box.TranscriptCount("window 102 "), 0);
  EXPECT_EQ(again.GetDlgItemText(IDC_PROC_NAME), "");
  EXPECT_EQ(again.GetDlgItemText(IDC_PROC_CONFIG), "");
}

TEST_F(SelectionPage, DeselectAllClearsEveryItemWithoutAQuestion) {
  Load(Records());
  OpenIndex("");
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EQ(Run(page, "108 toggle 1014 Meter click 1004\nbox OK\n108 click 1003 close\n"), ui::IDCANCEL);
  EXPECT_EQ(Selection(page), "0000000");
  EXPECT_EQ(box.TranscriptCount("box "), 1);
}

TEST_F(SelectionPage, BackAndCancelEndThePageAndLeaveTheListsEmpty) {
  Load(Records());
  OpenIndex("");
  selection::ProcSelectDlg back(catalogue, nullptr);
  EXPECT_EQ(Run(back, "108 toggle 1014 Meter click 1001\n"), installer::ID_BACK);
  selection::ProcSelectDlg cancel(catalogue, nullptr);
  EXPECT_EQ(Run(cancel, "108 toggle 1014 Meter click 2\n"), ui::IDCANCEL);
  EXPECT_EQ(catalogue.selectedProcs.GetCount(), 0);
  EXPECT_EQ(catalogue.xferProcs.GetCount(), 0);
}

TEST_F(SelectionPage, NextWithNothingSelectedEndsWith8) {
  Load(Records());
  OpenIndex("");
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EQ(Run(page, "108 click 1\nbox contains \"No procedures are selected.\" OK\n"),
            selection::END_DIRECTORIES_AGAIN);
  EXPECT_TRUE(box.TranscriptHas("box \"ORVIK Error 9220\" \"No procedures are selected.\\n\\nSelect at least one procedure "
                      "in the list before choosing Next.\""));
  EXPECT_TRUE(box.TranscriptHas("end 108 8"));
}

TEST_F(SelectionPage, NextCollectsSubProceduresDepthFirstAfterTheirOwn) {
  Load({
      Rec{{"P"}, "P.PRO", {"S1", "S2"}, {"p.pic"}, {}, "R520", {}},
      Rec{{"Q"}, "Q.PRO", {"S2", "S1"}, {}, {}, "R520", {}},
      Rec{{"S1"}, "S1.PRO", {"T"}, {}, {}, "R520", {}, true},
      Rec{{"S2"}, "S2.PRO", {}, {}, {"s2.dat"}, "R520", {}, true},
      Rec{{"T"}, "T.PRO", {}, {"t.pic"}, {}, "R520", {}, true},
  });
  OpenIndex("");
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EQ(Run(page, "108 toggle 1014 Q toggle 1014 P click 1\n"), ui::IDOK);
  // Selected names in list order, not click order.
  EXPECT_EQ(Names(catalogue.selectedProcs), (std::vector<std::string>{"P", "Q"}));
  EXPECT_EQ(Names(catalogue.selectedSubProcs), (std::vector<std::string>{"T", "S1", "S2"}));
  EXPECT_EQ(Names(page.visitedSubProcs), (std::vector<std::string>{"S1", "T", "S2"}));
  EXPECT_EQ(Names(catalogue.xferProcs), (std::vector<std::string>{"P.PRO", "Q.PRO"}));
  EXPECT_EQ(Names(catalogue.xferSubProcs), (std::vector<std::string>{"T.PRO", "S1.PRO", "S2.PRO"}));
  EXPECT_EQ(Names(catalogue.xferFiles), (std::vector<std::string>{"p.pic", "t.pic"}));
  EXPECT_EQ(Names(catalogue.xferDataFiles), (std::vector<std::string>{"s2.dat"}));
}

TEST_F(SelectionPage, SelectedSubProcedureIsNotCollectedButLaterOnesAre) {
  Load({
      Rec{{"P"}, "P.PRO", {"S1", "S2"}, {}, {}, "R520", {}},
      Rec{{"S1"}, "S1.PRO", {"T"}, {}, {}, "R520", {}},
      Rec{{"S2"}, "S2.PRO", {}, {}, {}, "R520", {}, true},
      Rec{{"T"}, "T.PRO", {}, {}, {}, "R520", {}, true},
  });
  OpenIndex("");
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EQ(Run(page, "108 toggle 1014 P toggle 1014 S1 click 1\n"), ui::IDOK);
  EXPECT_EQ(Names(catalogue.selectedProcs), (std::vector<std::string>{"P", "S1"}));
  // S1 is installed as a selected procedure; its own T is still reached from it.
  EXPECT_EQ(Names(catalogue.selectedSubProcs), (std::vector<std::string>{"S2", "T"}));
  EXPECT_EQ(Names(catalogue.xferProcs), (std::vector<std::string>{"P.PRO", "S1.PRO"}));
}

TEST_F(SelectionPage, SubProcedureWithoutARecordFailsNextWith8) {
  Load({Rec{{"P"}, "P.PRO", {"GHOST"}, {}, {}, "R520", {}}});
  OpenIndex("");
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EQ(Run(page,
                "108 toggle 1014 P click 1\n"
                "box contains \"xspfn\" OK\n"
                "box contains \"not in list\" OK\n"
                "box contains \"IN if( NULL == PL->LoadAllXferFiles() )\" OK\n"
                "box contains \"could not be built\" OK\n"),
            selection::END_DIRECTORIES_AGAIN);
  EXPECT_EQ(Names(catalogue.selectedSubProcs), (std::vector<std::string>{"GHOST"}));
  EXPECT_TRUE(box.TranscriptHas("box \"ORVIK - Procedure Installation\" \"IN if( NULL == PL->LoadAllXferFiles() )\""));
  EXPECT_EQ(box.TranscriptCount("box \"ORVIK Error 9221\""), 1);
  EXPECT_TRUE(box.TranscriptHas("end 108 8"));
}

using SelectionPageDeathTest = SelectionPage;

TEST_F(SelectionPageDeathTest, AliasWithoutAnItemStopsTheInstaller) {
  SKIP_UNLESS_POSIX("a death test on Windows runs in a new process with a sandbox of its own, whose transcript this one cannot see");
  Load(Records());
  OpenIndex("");
  // Only one name of the three-name record is offered.
  catalogue.ProcTable.RemoveAll();
  catalogue.ProcTable.AddTail("DMM 45");
  selection::ProcSelectDlg page(catalogue, nullptr);
  EXPECT_EXIT(Run(page, "108 toggle 1014 \"DMM 45\"\nbox contains \"has no item\" OK\n"),
              ::testing::ExitedWithCode(3), "");
  EXPECT_EQ(box.TranscriptCount("box \"ORVIK Error 9223\""), 1);
}

}  // namespace
