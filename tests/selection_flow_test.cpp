// The installer from its staging folder through the procedure selection page:
// aliases selected together, the three conflict dialogs, Always Overwrite,
// sub-procedures, Next with nothing selected, Back and Cancel, and the index
// update after an installation, checked byte for byte in proc.dir.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/program_runner.h"

using orvik_testing::ReadFile;
using orvik_testing::RunResult;
using orvik_testing::WriteFile;

namespace {

// Catalogue order: "DMM 45", "HP 3458", "Meter", "Scope", "Twin A", "Twin B".
const char* kCatalogue =
    "instrument==========\n"
    "DMM 45\n"
    "HP 3458\n"
    "procfile\n"
    "DMM45.PRO\n"
    "calibrator\n"
    "R520\n"
    "configuration\n"
    "5520A calibrator\n"
    "GPIB cable\n"
    "end\n"
    "instrument==========\n"
    "Meter\n"
    "procfile\n"
    "METER.PRO\n"
    "sub\n"
    "SUBX\n"
    "files\n"
    "datafiles\n"
    "calibrator\n"
    "R520\n"
    "end\n"
    "instrument==========\n"
    "Scope\n"
    "procfile\n"
    "SCOPE.PRO\n"
    "sub\n"
    "GHOST\n"
    "files\n"
    "datafiles\n"
    "calibrator\n"
    "R520\n"
    "end\n"
    "instrument==========\n"
    "Twin A\n"
    "Twin B\n"
    "procfile\n"
    "TWIN.PRO\n"
    "calibrator\n"
    "R520\n"
    "end\n"
    "instrumentSub=======\n"
    "SUBX\n"
    "procfile\n"
    "SUBX.PRO\n"
    "sub\n"
    "SUBY\n"
    "files\n"
    "datafiles\n"
    "calibrator\n"
    "R520\n"
    "end\n"
    "instrumentSub=======\n"
    "SUBY\n"
    "procfile\n"
    "SUBY.PRO\n"
    "end\n";

std::string Pad(const std::string& text, size_t width) {
  std::string out = text.substr(0, width);
  out.resize(width, ' ');
  return out;
}

// One proc.dir entry: a record per name.
std::string Entry(char kind, const std::string& file, const std::vector<std::string>& names) {
  std::string out;
  for (size_t i = 0; i < names.size(); ++i) {
    out += std::string(" ") + kind + (i == 0 ? 'F' : ' ') + (i + 1 == names.size() ? 'L' : ' ') + ' ' +
           Pad(file, 13) + Pad(names[i], 55) + "\r\n";
  }
  return out;
}

class SelectionFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    staging = box.MakeStaging(kCatalogue,
                              "[Disk1]\r\nDMM45.PRO=100\r\nMETER.PRO=100\r\nSUBX.PRO=100\r\nSUBY.PRO=100\r\n"
                              "TWIN.PRO=100\r\nSCOPE.PRO=100\r\n");
    box.MakeProductFolders(true);
    // A CD: every file in proc_data, uncompressed files read as they are.
    media = box.root + "/cd";
    orvik_testing::MakeDirs(media + "/proc_data");
    WriteFile(media + "/DiskCD", "");
    for (const char* f : {"DMM45.PRO", "METER.PRO", "SUBX.PRO", "SUBY.PRO", "TWIN.PRO", "SCOPE.PRO"})
      WriteFile(media + "/proc_data/" + f, std::string("code of ") + f);
    box.MapDrive('a', media);
  }

  RunResult Run(const std::string& answers) { return box.RunInstaller(staging, {"A:\\"}, answers); }
  std::string Index() { return ReadFile(box.OnC("C:\\orvik\\proc\\proc.dir")); }
  void SetIndex(const std::string& contents) { WriteFile(box.OnC("C:\\orvik\\proc\\proc.dir"), contents); }
  std::string Installed(const std::string& name) { return ReadFile(box.OnC("C:\\orvik\\proc\\" + name)); }
  bool Has(const std::string& line) { return box.TranscriptHas(line); }
  int Count(const std::string& prefix) { return box.TranscriptCount(prefix); }

  orvik_testing::Sandbox box;
  std::string staging;
  std::string media;
};

// The start of every run: Welcome, Confirm Target Directories.
const char* kToSelection = "1050 click 1\n105 click 1\n";
// Quit from the Finish page, then the missing clean-up program.
const char* kQuitFromFinish = "107 click 2\nbox OK\n";
// Quit from the directory page through Confirm Quit.
const char* kQuitFromDirectories = "105 click 2\n109 click 1\nbox OK\n";

TEST_F(SelectionFlow, AliasesAreSelectedTogetherAndRegisteredUnderEveryName) {
  RunResult r = Run(std::string(kToSelection) +
                    "108 toggle 1014 \"HP 3458\" toggle 1014 Meter click 1\n" + kQuitFromFinish);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(Has("item 1014 1 \"DMM 45\" 0"));
  EXPECT_TRUE(Has("item 1014 2 \"HP 3458\" 0"));
  EXPECT_TRUE(Has("item 1014 3 \"Meter\" 0"));
  EXPECT_TRUE(Has("end 108 1"));
  EXPECT_TRUE(Has("window 1049 \"Updating Procedure Directory...\""));
  // Sub-procedures first, the deepest first; then the procedures.
  EXPECT_EQ(Index(), Entry('H', "1.pro", {"SUBY"}) + Entry('H', "2.pro", {"SUBX"}) +
                         Entry('E', "3.pro", {"DMM 45", "HP 3458"}) + Entry('E', "4.pro", {"Meter"}));
  EXPECT_EQ(Installed("1.pro"), "code of SUBY.PRO");
  EXPECT_EQ(Installed("2.pro"), "code of SUBX.PRO");
  EXPECT_EQ(Installed("3.pro"), "code of DMM45.PRO");
  EXPECT_EQ(Installed("4.pro"), "code of METER.PRO");
  EXPECT_FALSE(orvik_testing::Exists(box.OnC("C:\\orvik\\proc\\5.pro")));
  // The selection log exists and stays empty.
  EXPECT_TRUE(orvik_testing::Exists(box.OnC("C:\\windows\\_procsel.log")));
  EXPECT_EQ(ReadFile(box.OnC("C:\\windows\\_procsel.log")), "");
}

TEST_F(SelectionFlow, ClickingASecondAliasDeselectsTheProcedure) {
  RunResult r = Run(std::string(kToSelection) +
                    "108 toggle 1014 \"DMM 45\" toggle 1014 \"HP 3458\" click 1\n"
                    "box contains \"No procedures are selected.\" OK\n" +
                    kQuitFromDirectories);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(Has("box \"ORVIK Error 9220\" \"No procedures are selected.\\n\\nSelect at least one procedure in "
                  "the list before choosing Next.\""));
  EXPECT_TRUE(Has("end 108 8"));
  EXPECT_EQ(Count("window 105 "), 2);
  EXPECT_EQ(Index(), "");
}

TEST_F(SelectionFlow, TheThreeConflictDialogs) {
  std::string installed = Entry('E', "1.pro", {"DMM 45", "HP 3458"}) + Entry('E', "2.pro", {"Meter", "Old"}) +
                          Entry('E', "3.pro", {"Twin A", "X"}) + Entry('E', "4.pro", {"Twin B", "Y"});
  SetIndex(installed);
  RunResult r = Run(std::string(kToSelection) +
                    "108 toggle 1014 \"HP 3458\"\n102 click 7\n"
                    "108 toggle 1014 Meter\n110 click 7\n"
                    "108 toggle 1014 \"Twin B\"\n111 click 1\n"
                    "108 click 1\nbox OK\n" +
                    kQuitFromDirectories);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(Has("window 102 \"ORVIK - Procedure Installation - Confirm Overwrite\""));
  EXPECT_TRUE(Has("window 110 \"ORVIK Procedure Installation - Procedure Name Conflict [1]\""));
  EXPECT_TRUE(Has("field 1008 \"Meter\\r\\nOld\\r\\n\""));
  EXPECT_TRUE(Has("field 1009 \"Meter\\r\\n\""));
  EXPECT_TRUE(Has("window 111 \"ORVIK - Procedure Installation - Procedure Name Conflict [2]\""));
  EXPECT_TRUE(Has("field 1008 \"Twin A\\r\\nTwin B\\r\\n\""));
  // Every refusal left its procedure unselected: Next finds nothing.
  EXPECT_EQ(Count("box \"ORVIK Error 9220\""), 1);
  EXPECT_EQ(Index(), installed);
}

TEST_F(SelectionFlow, AlwaysOverwriteHoldsForOneVisitOfThePage) {
  SetIndex(Entry('E', "7.pro", {"DMM 45", "HP 3458"}) + Entry('E', "9.pro", {"Twin A", "Twin B"}));
  WriteFile(box.OnC("C:\\orvik\\proc\\7.pro"), "old dmm");
  WriteFile(box.OnC("C:\\orvik\\proc\\9.pro"), "old twin");
  RunResult r = Run(std::string(kToSelection) +
                    "108 toggle 1014 \"DMM 45\"\n102 click 1044\n"
                    "108 toggle 1014 \"Twin A\" click 1\n"
                    "107 click 1\n"  // Install More Procedures: a new visit of the page
                    "105 click 1\n"
                    "108 toggle 1014 \"Twin B\"\n102 click 7\n"
                    "108 click 2\n"
                    "109 click 1\nbox OK\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_EQ(Count("window 102 "), 2);
  EXPECT_EQ(Count("window 108 "), 2);
  // Both rewritten in place under their numbers, with their new files.
  EXPECT_EQ(Index(), Entry('E', "7.pro", {"DMM 45", "HP 3458"}) + Entry('E', "9.pro", {"Twin A", "Twin B"}));
  EXPECT_EQ(Installed("7.pro"), "code of DMM45.PRO");
  EXPECT_EQ(Installed("9.pro"), "code of TWIN.PRO");
}

TEST_F(SelectionFlow, SubProcedureWithoutARecordSendsBackToTheDirectories) {
  RunResult r = Run(std::string(kToSelection) +
                    "108 toggle 1014 Scope click 1\n"
                    "box contains \"xspfn\" OK\n"
                    "box contains \"not in list\" OK\n"
                    "box contains \"IN if( NULL == PL->LoadAllXferFiles() )\" OK\n"
                    "box contains \"could not be built\" OK\n" +
                    kQuitFromDirectories);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(Has("box \"ORVIK - Procedure Installation\" \"IN if( NULL == PL->LoadAllXferFiles() )\""));
  EXPECT_TRUE(Has("end 108 8"));
  EXPECT_EQ(Count("window 1046 "), 0);
  EXPECT_EQ(Index(), "");
}

TEST_F(SelectionFlow, BackAndCancelPaths) {
  RunResult r = Run(std::string(kToSelection) +
                    "108 toggle 1014 Meter click 1001\n"  // Back: the calibrator step offers all again
                    "108 click 2\n"                       // Cancel: Confirm Quit
                    "109 click 2\n"                       // Return to Program: the directories
                    "105 click 1\n"
                    "108 close\n"
                    "109 click 1\nbox OK\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(Has("end 108 1001"));
  EXPECT_EQ(Count("end 108 2"), 2);
  EXPECT_EQ(Count("window 108 "), 3);
  // Each visit starts with nothing selected.
  EXPECT_EQ(Count("item 1014 3 \"Meter\" 0"), 3);
  // Opening the page created the empty index.
  EXPECT_TRUE(orvik_testing::Exists(box.OnC("C:\\orvik\\proc\\proc.dir")));
  EXPECT_EQ(Index(), "");
}

TEST_F(SelectionFlow, IndexThatCannotBeOpenedStopsTheInstaller) {
  SetIndex(std::string(100, 'x'));
  RunResult r = Run(std::string(kToSelection) +
                    "box contains \"not a whole number\" Cancel\n"
                    "box contains \"cannot be opened. The installation stops.\" OK\n");
  EXPECT_EQ(r.exitStatus, 3) << r.err << box.Transcript();
  EXPECT_EQ(Count("box \"ORVIK Error 9242\""), 1);
  EXPECT_EQ(Count("window 108 "), 0);
  // A fatal stop starts no clean-up program.
  EXPECT_EQ(Count("exec "), 0);
}

}  // namespace
