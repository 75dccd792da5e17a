// How the index update puts the procedure files in place: staged files used
// twice, files that are no plain files, flushes that fail, and a run that
// stops before its renames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "installer/procdir/procdir_open.h"
#include "installer/registration/update_proc_dir.h"
#include "platform/flush.h"
#include "testing/host_platform.h"
#include "testing/selection_test.h"

namespace {

using seltest::Entry;
using seltest::FreeRecord;
using seltest::Rec;

constexpr const char* kIndex = "C:\\orvik\\proc\\proc.dir";

Rec Proc(std::vector<std::string> names, std::string file) {
  Rec r;
  r.names = std::move(names);
  r.procFile = std::move(file);
  return r;
}

class PutInPlace : public ::testing::Test {
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
  void Transfer(std::initializer_list<const char*> procs) {
    for (const char* p : procs) catalogue.xferProcs.AddTail(p);
  }
  int Update() { return registration::UpdateProcDir(catalogue, paths, progress, nullptr); }
  std::string InProcDir(const std::string& name) { return box.Read(paths.procDir + name); }
  std::set<std::string> ProcDirFiles() {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(box.Host("C:\\orvik\\proc")))
      names.insert(e.path().filename().string());
    return names;
  }

  seltest::Sandbox box;
  catalogue::ProceduresList catalogue;
  transfer::InstallPaths paths;
  transfer::CopyProgress progress;
  seltest::RecordingFrontend* recorder = nullptr;
};

// The first use gets a copy of its own; the file itself goes to the last.
TEST_F(PutInPlace, AStagedFileTransferredTwiceIsInstalledBothTimes) {
  Load({Proc({"P1"}, "P1.PRO"), Proc({"Q1"}, "Q1.PRO")});
  Stage("P1.PRO", "p1");
  Stage("Q1.PRO", "q1");
  Transfer({"P1.PRO", "Q1.PRO", "p1.pro", "P1.PRO"});
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
TEST_F(PutInPlace, AStagedLinkIsCopiedNotMoved) {
  SKIP_UNLESS_POSIX("a symbolic link staged in the scratch folder");
  Load({Proc({"L"}, "L.PRO")});
  box.Write("C:\\elsewhere.dat", "linked data");
  std::filesystem::create_symlink(box.Host("C:\\elsewhere.dat"), box.Host(paths.tempDir + "\\L.PRO"));
  Transfer({"L.PRO"});
  EXPECT_EQ(Update(), 1);
  EXPECT_EQ(box.Read(kIndex), Entry('E', "1.pro", {"L"}));
  EXPECT_FALSE(std::filesystem::is_symlink(box.Host("C:\\orvik\\proc\\1.pro")));
  EXPECT_EQ(InProcDir("1.pro"), "linked data");
  EXPECT_EQ(box.Read("C:\\elsewhere.dat"), "linked data");
  EXPECT_TRUE(recorder->Boxes().empty());
}

// Nothing is renamed before the flush; when the volume cannot be flushed
// each file is, and a file that cannot be is not installed.
TEST_F(PutInPlace, AFileThatCannotBeFlushedIsNotInstalled) {
  Load({Proc({"P1"}, "P1.PRO"), Proc({"P2"}, "P2.PRO"), Proc({"P3"}, "P3.PRO")});
  for (const char* f : {"P1", "P2", "P3"}) Stage(std::string(f) + ".PRO", f);
  box.Write(kIndex, Entry('E', "7.pro", {"P2"}));
  box.Write("C:\\orvik\\proc\\7.pro", "old p2");
  Transfer({"P1.PRO", "P2.PRO", "P3.PRO"});
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
TEST_F(PutInPlace, ARunStoppedBeforeItsRenamesLeavesEverythingAsItWas) {
  SKIP_UNLESS_POSIX("a death test on Windows runs in a new process with a sandbox of its own");
  Load({Proc({"P1"}, "P1.PRO"), Proc({"P2"}, "P2.PRO")});
  Stage("P1.PRO", "p1");
  Stage("P2.PRO", "p2");
  const std::string index = Entry('E', "4.pro", {"P2"});
  box.Write(kIndex, index);
  box.Write("C:\\orvik\\proc\\4.pro", "old p2");
  Transfer({"P1.PRO", "P2.PRO", "P1.PRO"});
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
