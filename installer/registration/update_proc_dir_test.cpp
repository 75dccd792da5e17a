// Registration of the transferred procedures against prepared proc.dir
// files, byte for byte, with the copies into the procedure directory, the
// progress window and every reported failure; how the procedure files are
// put in place: staged files used twice, files that are no plain files,
// flushes that fail, and a run that stops before its renames.
#include "installer/registration/update_proc_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <utility>

#include "installer/procdir/procdir_open.h"
#include "platform/flush.h"
#include "testing/host_platform.h"
#include "testing/selection_test.h"
#include "installer/installer_codes.h"

namespace {

using seltest::Entry;
using seltest::FreeRecord;
using seltest::Rec;
using seltest::Record;

constexpr const char* kIndex = "C:\\orvik\\proc\\proc.dir";

Rec Proc(std::vector<std::string> names, std::string file) {
  Rec r;
  r.names = std::move(names);
  r.procFile = std::move(file);
  return r;
}

Rec Sub(std::vector<std::string> names, std::string file) {
  Rec r = Proc(std::move(names), std::move(file));
  r.isSub = true;
  return r;
}

class IndexUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    box.MakeDir("C:\\orvik\\proc\\_temp");
    paths.procDir = "C:\\orvik\\proc\\";
    paths.tempDir = "C:\\orvik\\proc\\_temp";
    recorder = &seltest::InstallRecorder();
  }
  void Load(const std::vector<Rec>& records) { seltest::LoadCatalogue(box, catalogue, records); }
  void Stage(const std::string& file, const std::string& contents) {
    box.Write(paths.tempDir + "\\" + file, contents);
  }
  void Transfer(std::initializer_list<const char*> subs, std::initializer_list<const char*> procs) {
    for (const char* s : subs) catalogue.xferSubProcs.AddTail(s);
    for (const char* p : procs) catalogue.xferProcs.AddTail(p);
  }
  int Update() { return registration::UpdateProcDir(catalogue, paths, progress, nullptr); }
  std::string InProcDir(const std::string& name) { return box.Read(paths.procDir + name); }
  // Names of the files in the procedure directory.
  std::set<std::string> ProcDirFiles() {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(box.Host("C:\\orvik\\proc")))
      names.insert(e.path().filename().string());
    return names;
  }
  // The (bar position, file) pairs the progress window showed, repeats left out.
  std::vector<std::pair<int, std::string>> Shown() {
    std::vector<std::pair<int, std::string>> out;
    for (const auto& r : recorder->Repaints()) {
      if (r.id != 1049) continue;
      std::pair<int, std::string> p{r.pos, r.file};
      if (out.empty() || out.back() != p) out.push_back(p);
    }
    return out;
  }

  seltest::Sandbox box;
  catalogue::ProceduresList catalogue;
  transfer::InstallPaths paths;
  transfer::CopyProgress progress;
  seltest::RecordingFrontend* recorder = nullptr;
};

TEST_F(IndexUpdate, SubProceduresFirstThenProceduresIntoAnEmptyIndex) {
  Load({Sub({"S1"}, "S1.PRO"), Sub({"S2a", "S2b"}, "S2.PRO"), Proc({"P1"}, "P1.PRO"),
        Proc({"P2", "P2 alias"}, "P2.PRO"), Proc({"P3"}, "P3.PRO")});
  for (const char* f : {"S1", "S2", "P1", "P2", "P3"}) Stage(std::string(f) + ".PRO", std::string("data of ") + f);
  Transfer({"S1.PRO", "S2.PRO"}, {"P1.PRO", "P2.PRO", "P3.PRO"});
  progress.SetCurrentName("last.pic");
  progress.status.store(STATUS_WORKER_DONE);
  progress.progressCount.store(77);

  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), Entry('H', "1.pro", {"S1"}) + Entry('H', "2.pro", {"S2a", "S2b"}) +
                                  Entry('E', "3.pro", {"P1"}) + Entry('E', "4.pro", {"P2", "P2 alias"}) +
                                  Entry('E', "5.pro", {"P3"}));
  EXPECT_EQ(InProcDir("1.pro"), "data of S1");
  EXPECT_EQ(InProcDir("2.pro"), "data of S2");
  EXPECT_EQ(InProcDir("3.pro"), "data of P1");
  EXPECT_EQ(InProcDir("4.pro"), "data of P2");
  EXPECT_EQ(InProcDir("5.pro"), "data of P3");
  EXPECT_TRUE(recorder->Boxes().empty());
  EXPECT_EQ(Shown(), (std::vector<std::pair<int, std::string>>{{0, "last.pic"},
                                                               {20, "S1.PRO"},
                                                               {40, "S2.PRO"},
                                                               {60, "P1.PRO"},
                                                               {80, "P2.PRO"},
                                                               {100, "P3.PRO"}}));
  EXPECT_EQ(recorder->Destroyed(), std::vector<int>{1049});
  EXPECT_TRUE(box.TranscriptHas("window 1049 \"Updating Procedure Directory...\""));
  EXPECT_EQ(progress.requiredSize, 5u);
  EXPECT_EQ(progress.progressCount.load(), 5u);
  EXPECT_EQ(progress.status.load(), 0u);
  EXPECT_FALSE(procdir::ProcDirIsOpen());
}

TEST_F(IndexUpdate, WithoutSubProceduresTheBarStillReaches100) {
  Load({Proc({"P1"}, "P1.PRO"), Proc({"P2"}, "P2.PRO"), Proc({"P3"}, "P3.PRO")});
  for (const char* f : {"P1.PRO", "P2.PRO", "P3.PRO"}) Stage(f, f);
  Transfer({}, {"P1.PRO", "P2.PRO", "P3.PRO"});
  EXPECT_EQ(Update(), 1);
  std::vector<int> positions;
  for (const auto& p : Shown()) positions.push_back(p.first);
  EXPECT_EQ(positions, (std::vector<int>{0, 33, 66, 100}));
}

TEST_F(IndexUpdate, NothingTransferredStillCreatesTheIndex) {
  Transfer({}, {});
  EXPECT_EQ(Update(), 1);
  EXPECT_TRUE(box.Exists(kIndex));
  EXPECT_EQ(box.Read(kIndex), "");
  EXPECT_EQ(recorder->Destroyed(), std::vector<int>{1049});
}

TEST_F(IndexUpdate, RegisteredProcedureIsRewrittenInPlaceAndItsFileReplaced) {
  Load({Proc({"P1", "P1 alt"}, "P1.PRO")});
  box.Write(kIndex, Entry('H', "7.pro", {"p1", "P1 ALT"}, 'D') + Entry('E', "8.pro", {"Q"}));
  box.Write("C:\\orvik\\proc\\7.pro", "old contents, longer than the new ones");
  Stage("P1.PRO", "new");
  Transfer({}, {"P1.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), Entry('E', "7.pro", {"P1", "P1 alt"}) + Entry('E', "8.pro", {"Q"}));
  EXPECT_EQ(InProcDir("7.pro"), "new");
  EXPECT_TRUE(recorder->Boxes().empty());
}

TEST_F(IndexUpdate, RegisteredProcedureWithMoreNamesMovesToTheEnd) {
  Load({Proc({"A", "B", "C"}, "ABC.PRO")});
  box.Write(kIndex, Entry('E', "3.pro", {"A", "B"}) + Entry('E', "9.pro", {"Q"}));
  Stage("ABC.PRo", "abc");  // the staged copy as the copy worker names it
  Transfer({}, {"ABC.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex),
            FreeRecord() + FreeRecord() + Entry('E', "9.pro", {"Q"}) + Entry('E', "3.pro", {"A", "B", "C"}));
  EXPECT_EQ(InProcDir("3.pro"), "abc");
}

TEST_F(IndexUpdate, NameOfAnotherEntryKeepsTheOldNamesButTheFileIsCopied) {
  Load({Proc({"A", "B"}, "AB.PRO")});
  std::string index = Entry('E', "1.pro", {"A"}) + Entry('E', "2.pro", {"B"});
  box.Write(kIndex, index);
  Stage("AB.PRO", "ab");
  Transfer({}, {"AB.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), index);
  ASSERT_EQ(recorder->Boxes().size(), 1u);
  EXPECT_EQ(recorder->Boxes()[0].caption, "ORVIK Error 903");
  EXPECT_EQ(InProcDir("1.pro"), "ab");
  EXPECT_FALSE(box.Exists("C:\\orvik\\proc\\3.pro"));
}

// A planted entry whose file name leads out of the procedure directory, onto
// a data file or onto the index itself is damaged: never written through.
TEST_F(IndexUpdate, EntryFileNamesThatAreNotPlainNamesAreNeverWrittenThrough) {
  SKIP_UNLESS_POSIX("a folder of the procedure directory symlinked elsewhere");
  Load({Proc({"A"}, "A.PRO"), Proc({"B"}, "B.PRO"), Proc({"C"}, "C.PRO"), Proc({"D"}, "D.PRO")});
  std::string index = Entry('E', "..\\..\\x.pro", {"A"}) + Entry('E', "..\\DMM45.DAT", {"B"}) +
                      Entry('E', "proc.dir", {"C"}) + Entry('E', "e\\x.pro", {"D"});
  box.Write(kIndex, index);
  box.Write("C:\\orvik\\DMM45.DAT", "data");
  box.MakeDir("C:\\outside");
  std::error_code linked;
  std::filesystem::create_directory_symlink(box.Host("C:\\outside"), box.Host("C:\\orvik\\proc") + "/e", linked);
  ASSERT_FALSE(linked) << linked.message();
  for (const char* file : {"A.PRO", "B.PRO", "C.PRO", "D.PRO"}) Stage(file, "procedure");
  Transfer({}, {"A.PRO", "B.PRO", "C.PRO", "D.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), index);
  EXPECT_EQ(box.Read("C:\\orvik\\DMM45.DAT"), "data");
  EXPECT_FALSE(box.Exists("C:\\x.pro"));
  EXPECT_TRUE(std::filesystem::is_empty(box.Host("C:\\outside")));
  ASSERT_EQ(recorder->Boxes().size(), 4u);
  for (const auto& shown : recorder->Boxes()) EXPECT_EQ(shown.caption, "ORVIK Error 926");
}

TEST_F(IndexUpdate, FileWithoutCatalogueEntryIsReportedAndSkipped) {
  Load({Proc({"P1"}, "P1.PRO")});
  Stage("P1.PRO", "p1");
  Stage("NOPE.PRO", "nope");
  Stage("GONE.PRO", "gone");
  // The catalogue's file names are matched exactly.
  Transfer({"NOPE.PRO"}, {"GONE.PRO", "p1.pro", "P1.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), Entry('E', "1.pro", {"P1"}));
  ASSERT_EQ(recorder->Boxes().size(), 3u);
  EXPECT_EQ(recorder->Boxes()[0].caption, "ORVIK Error 9251");
  EXPECT_EQ(recorder->Boxes()[1].caption, "ORVIK Error 9253");
  EXPECT_EQ(recorder->Boxes()[2].caption, "ORVIK Error 9253");
  EXPECT_EQ(ProcDirFiles(), (std::set<std::string>{"1.pro", "_temp", "proc.dir"}));
  EXPECT_EQ(InProcDir("1.pro"), "p1");
}

TEST_F(IndexUpdate, EntryWithoutNamesIsNeitherRegisteredNorCopied) {
  Load({Proc({"P1"}, "P1.PRO")});
  for (const char* file : {"BARE.PRO", "BARESUB.PRO"}) {
    catalogue::ProcNode* bare = new catalogue::ProcNode(std::string("Bare ") + file);
    bare->procFile = file;
    catalogue.AddABC(bare);
    Stage(file, file);
  }
  Stage("P1.PRO", "p1");
  Transfer({"BARESUB.PRO"}, {"BARE.PRO", "P1.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), Entry('E', "1.pro", {"P1"}));
  ASSERT_EQ(recorder->Boxes().size(), 2u);
  EXPECT_EQ(recorder->Boxes()[0].caption, "ORVIK Error 9252");
  EXPECT_EQ(recorder->Boxes()[1].caption, "ORVIK Error 9254");
  EXPECT_EQ(ProcDirFiles(), (std::set<std::string>{"1.pro", "_temp", "proc.dir"}));
}

TEST_F(IndexUpdate, MoreThanSixNamesIsRefusedWithoutUsingAFileNumber) {
  Load({Proc({"N1", "N2", "N3", "N4", "N5", "N6", "N7"}, "SEVEN.PRO"), Proc({"P1"}, "P1.PRO")});
  Stage("SEVEN.PRO", "seven");
  Stage("P1.PRO", "p1");
  Transfer({}, {"SEVEN.PRO", "P1.PRO"});
  EXPECT_EQ(Update(), 1);
  ASSERT_EQ(recorder->Boxes().size(), 1u);
  EXPECT_EQ(recorder->Boxes()[0].caption, "ORVIK Error 916");
  EXPECT_NE(recorder->Boxes()[0].text.find("but 7 were given"), std::string::npos) << recorder->Boxes()[0].text;
  EXPECT_EQ(box.Read(kIndex), Entry('E', "1.pro", {"P1"}));
  EXPECT_EQ(InProcDir("1.pro"), "p1");
  EXPECT_EQ(ProcDirFiles(), (std::set<std::string>{"1.pro", "_temp", "proc.dir"}));
}

TEST_F(IndexUpdate, SixNamesFillAWholeEntry) {
  Load({Proc({"N1", "N2", "N3", "N4", "N5", "N6"}, "SIX.PRO")});
  Stage("SIX.PRO", "six");
  Transfer({}, {"SIX.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), Entry('E', "1.pro", {"N1", "N2", "N3", "N4", "N5", "N6"}));
}

TEST_F(IndexUpdate, CopyFailureTakesTheNewEntryOutAgain) {
  // A catalogue file name that does not end in 'o' names no staged file.
  Load({Sub({"S"}, "S.DAT"), Proc({"X", "X2"}, "X.DAT"), Proc({"P1"}, "P1.PRO")});
  box.Write(kIndex, Entry('E', "4.pro", {"Q"}));
  box.Write("C:\\orvik\\proc\\4.pro", "q");
  Stage("S.DAT", "s");
  Stage("X.DAT", "x");
  Stage("P1.PRO", "p1");
  Transfer({"S.DAT"}, {"X.DAT", "P1.PRO"});
  EXPECT_EQ(Update(), 1);
  // The failed entries are freed; their number is given again.
  EXPECT_EQ(box.Read(kIndex), Entry('E', "4.pro", {"Q"}) + FreeRecord() + FreeRecord() + FreeRecord() +
                                  Entry('E', "5.pro", {"P1"}));
  ASSERT_EQ(recorder->Boxes().size(), 2u);
  EXPECT_EQ(recorder->Boxes()[0].caption, kInstallCaption);
  EXPECT_EQ(recorder->Boxes()[0].text,
            "The sub-procedure file S.DAT could not be copied into the procedure files directory (system error "
            "2).\n\nThe sub-procedure was not installed; a version installed before keeps its file. Install it again.");
  EXPECT_EQ(recorder->Boxes()[1].text,
            "The procedure file X.DAT could not be copied into the procedure files directory (system error "
            "2).\n\nThe procedure was not installed; a version installed before keeps its file. Install it again.");
  EXPECT_EQ(ProcDirFiles(), (std::set<std::string>{"4.pro", "5.pro", "_temp", "proc.dir"}));
  EXPECT_EQ(InProcDir("5.pro"), "p1");
}

TEST_F(IndexUpdate, CopyFailureOfARewrittenEntryKeepsItsFile) {
  Load({Proc({"P1", "P1 alt"}, "P1.PRO")});
  box.Write(kIndex, Entry('E', "7.pro", {"P1"}) + FreeRecord());
  box.Write("C:\\orvik\\proc\\7.pro", "old");
  Transfer({}, {"P1.PRO"});  // nothing staged: the copy fails
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), Entry('E', "7.pro", {"P1", "P1 alt"}));
  EXPECT_EQ(InProcDir("7.pro"), "old");
  ASSERT_EQ(recorder->Boxes().size(), 1u);
  EXPECT_NE(recorder->Boxes()[0].text.find("The procedure was not installed"), std::string::npos);
  EXPECT_EQ(ProcDirFiles(), (std::set<std::string>{"7.pro", "_temp", "proc.dir"}));
}

TEST_F(IndexUpdate, NamesAreCutTo55Characters) {
  std::string name(60, 'L');
  name.replace(50, 10, "0123456789");
  Load({Proc({name}, "LONG.PRO")});
  Stage("LONG.PRO", "long");
  Transfer({}, {"LONG.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), Record(' ', 'E', true, true, "1.pro", name.substr(0, 55)));
}

TEST_F(IndexUpdate, NewFilesAreNumberedAboveTheHighestNumber) {
  Load({Proc({"P1"}, "P1.PRO"), Proc({"P2"}, "P2.PRO")});
  std::string index = Entry('E', "41.pro", {"Z"}) + FreeRecord() + Entry('E', "abc.pro", {"Y"}) +
                      Entry('H', "7.pro", {"W"});
  box.Write(kIndex, index);
  Stage("P1.PRO", "p1");
  Stage("P2.PRO", "p2");
  Transfer({}, {"P1.PRO", "P2.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), index + Entry('E', "42.pro", {"P1"}) + Entry('E', "43.pro", {"P2"}));
  EXPECT_EQ(InProcDir("42.pro"), "p1");
  EXPECT_EQ(InProcDir("43.pro"), "p2");
}

TEST_F(IndexUpdate, NoFileNumberLeftCopiesNothing) {
  Load({Proc({"P1"}, "P1.PRO"), Proc({"P2"}, "P2.PRO")});
  std::string index = Entry('E', "99999999.pro", {"Z"});
  box.Write(kIndex, index);
  Stage("P1.PRO", "p1");
  Stage("P2.PRO", "p2");
  Transfer({}, {"P1.PRO", "P2.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), index);
  ASSERT_EQ(recorder->Boxes().size(), 2u);
  EXPECT_EQ(recorder->Boxes()[0].caption, "ORVIK Error 921");
  EXPECT_EQ(recorder->Boxes()[1].caption, "ORVIK Error 921");
  EXPECT_EQ(ProcDirFiles(), (std::set<std::string>{"_temp", "proc.dir"}));
}

using IndexUpdateDeathTest = IndexUpdate;

TEST_F(IndexUpdateDeathTest, IndexThatCannotBeOpenedStopsWithStatus3) {
  recorder->Echo(true);
  paths.procDir = "Q:\\proc\\";
  EXPECT_EXIT(Update(), ::testing::ExitedWithCode(3), "ORVIK Error 9250");
}

// The first use gets a copy of its own; the file itself goes to the last.
TEST_F(IndexUpdate, AStagedFileTransferredTwiceIsInstalledBothTimes) {
  Load({Proc({"P1"}, "P1.PRO"), Proc({"Q1"}, "Q1.PRO")});
  Stage("P1.PRO", "p1");
  Stage("Q1.PRO", "q1");
  Transfer({}, {"P1.PRO", "Q1.PRO", "p1.pro", "P1.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), Entry('E', "1.pro", {"P1"}) + Entry('E', "2.pro", {"Q1"}));
  EXPECT_EQ(InProcDir("1.pro"), "p1");
  EXPECT_EQ(InProcDir("2.pro"), "q1");
  ASSERT_EQ(recorder->Boxes().size(), 1u);  // p1.pro: no catalogue entry
  EXPECT_EQ(recorder->Boxes()[0].caption, "ORVIK Error 9253");
  EXPECT_EQ(ProcDirFiles(), (std::set<std::string>{"1.pro", "2.pro", "_temp", "proc.dir"}));
}

// A staged link is read, never moved: the procedure directory receives a
// file, and what the link leads to stays as it was.
TEST_F(IndexUpdate, AStagedLinkIsCopiedNotMoved) {
  SKIP_UNLESS_POSIX("a symbolic link staged in the scratch folder");
  Load({Proc({"L"}, "L.PRO")});
  box.Write("C:\\elsewhere.dat", "linked data");
  std::filesystem::create_symlink(box.Host("C:\\elsewhere.dat"), box.Host(paths.tempDir + "\\L.PRO"));
  Transfer({}, {"L.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), Entry('E', "1.pro", {"L"}));
  EXPECT_FALSE(std::filesystem::is_symlink(box.Host("C:\\orvik\\proc\\1.pro")));
  EXPECT_EQ(InProcDir("1.pro"), "linked data");
  EXPECT_EQ(box.Read("C:\\elsewhere.dat"), "linked data");
  EXPECT_TRUE(recorder->Boxes().empty());
}

// Nothing is renamed before the flush; when the volume cannot be flushed
// each file is, and a file that cannot be is not installed.
TEST_F(IndexUpdate, AFileThatCannotBeFlushedIsNotInstalled) {
  Load({Proc({"P1"}, "P1.PRO"), Proc({"P2"}, "P2.PRO"), Proc({"P3"}, "P3.PRO")});
  for (const char* f : {"P1", "P2", "P3"}) Stage(std::string(f) + ".PRO", f);
  box.Write(kIndex, Entry('E', "7.pro", {"P2"}));
  box.Write("C:\\orvik\\proc\\7.pro", "old p2");
  Transfer({}, {"P1.PRO", "P2.PRO", "P3.PRO"});
  std::vector<platform::FlushScope> flushes;
  bool installedBeforeFlush = false;
  platform::ScopedFlushHook hook([&](platform::FlushScope scope, const std::string&) -> platform::BOOL {
    if (flushes.empty()) installedBeforeFlush = box.Exists("C:\\orvik\\proc\\8.pro");
    flushes.push_back(scope);
    // The volume, then the second and third files.
    return flushes.size() != 1 && flushes.size() != 3 && flushes.size() != 4 ? platform::TRUE : platform::FALSE;
  });
  EXPECT_EQ(Update(), 1);
  EXPECT_FALSE(installedBeforeFlush);
  ASSERT_GE(flushes.size(), 4u);
  EXPECT_EQ(flushes[0], platform::FlushScope::kVolume);
  // P2 keeps its old file; P3 is new, and its entry is taken out again.
  EXPECT_EQ(box.Read(kIndex), Entry('E', "7.pro", {"P2"}) + Entry('E', "8.pro", {"P1"}) + FreeRecord());
  EXPECT_EQ(InProcDir("7.pro"), "old p2");
  EXPECT_EQ(InProcDir("8.pro"), "P1");
  ASSERT_EQ(recorder->Boxes().size(), 2u);
  EXPECT_NE(recorder->Boxes()[0].text.find("P2.PRO could not be copied"), std::string::npos) << recorder->Boxes()[0].text;
  EXPECT_NE(recorder->Boxes()[0].text.find("(system error 29)"), std::string::npos);
  EXPECT_NE(recorder->Boxes()[1].text.find("P3.PRO could not be copied"), std::string::npos) << recorder->Boxes()[1].text;
  EXPECT_EQ(ProcDirFiles(), (std::set<std::string>{"7.pro", "8.pro", "_temp", "proc.dir"}));
}

// A run that stops after making its part files and before any rename leaves
// the index and the procedure files as they were; the next update removes
// the parts and installs everything.
TEST_F(IndexUpdate, ARunStoppedBeforeItsRenamesLeavesEverythingAsItWas) {
  SKIP_UNLESS_POSIX("a death test on Windows runs in a new process with a sandbox of its own");
  Load({Proc({"P1"}, "P1.PRO"), Proc({"P2"}, "P2.PRO")});
  Stage("P1.PRO", "p1");
  Stage("P2.PRO", "p2");
  const std::string index = Entry('E', "4.pro", {"P2"});
  box.Write(kIndex, index);
  box.Write("C:\\orvik\\proc\\4.pro", "old p2");
  Transfer({}, {"P1.PRO", "P2.PRO", "P1.PRO"});
  EXPECT_EXIT(
      {
        platform::ScopedFlushHook hook([](platform::FlushScope, const std::string&) -> platform::BOOL { std::_Exit(7); });
        Update();
      },
      ::testing::ExitedWithCode(7), "");
  EXPECT_EQ(box.Read(kIndex), index);
  EXPECT_EQ(InProcDir("4.pro"), "old p2");
  std::set<std::string> left = ProcDirFiles();
  EXPECT_EQ(left.size(), 4u);  // one part file for the first use of P1.PRO
  EXPECT_EQ(std::count_if(left.begin(), left.end(), [](const std::string& n) { return n.rfind(".~ov", 0) == 0; }), 1);

  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), index + Entry('E', "5.pro", {"P1"}));
  EXPECT_EQ(InProcDir("4.pro"), "p2");
  EXPECT_EQ(InProcDir("5.pro"), "p1");
  EXPECT_TRUE(recorder->Boxes().empty());
  EXPECT_EQ(ProcDirFiles(), (std::set<std::string>{"4.pro", "5.pro", "_temp", "proc.dir"}));
}

}  // namespace
