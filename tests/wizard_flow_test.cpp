// The installer from its staging folder: launch check, start-up settings,
// directory pages, quit paths, readme copy, clean-up command and "-d".
#include <gtest/gtest.h>

#include <string>

#include "testing/host_platform.h"
#include "testing/program_runner.h"

using orvik_testing::ReadFile;
using orvik_testing::RunResult;
using orvik_testing::WriteFile;

namespace {

const char* kOneRecord =
    "instrument==========\n"
    "DMM 45\n"
    "procfile\n"
    "DMM45.PRO\n"
    "calibrator\n"
    "R520\n"
    "end\n";

class WizardFlow : public ::testing::Test {
 protected:
  void SetUp() override { staging = box.MakeStaging(kOneRecord, "[Disk1]\r\nDMM45.PRO=100\r\n"); }

  // Runs the installer from the staging folder with `args` and `answers`.
  RunResult Run(const std::vector<std::string>& args, const std::string& answers) {
    return box.RunInstaller(staging, args, answers);
  }

  bool Has(const std::string& line) { return box.TranscriptHas(line); }

  orvik_testing::Sandbox box;
  std::string staging;
};

TEST_F(WizardFlow, RefusesToRunWithoutSourceFolder) {
  for (std::vector<std::string> args : {std::vector<std::string>{}, std::vector<std::string>{"setup"}}) {
    orvik_testing::RemoveTree(box.TranscriptPath());
    RunResult r = Run(args, "box contains \"only be executed by the setup program\" OK\n");
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_TRUE(Has("box \"ORVIK - Procedure Installation\" "
                    "\"This application may only be executed by the setup program.\""));
    EXPECT_EQ(box.Transcript().find("exec "), std::string::npos) << "nothing may be started";
    EXPECT_EQ(box.Transcript().find("window "), std::string::npos);
  }
}

TEST_F(WizardFlow, MissingTextDatabaseStopsWithoutCleanup) {
  orvik_testing::RemoveTree(staging + "/ovtext.mdb");
  RunResult r = Run({"A:\\"},
                    "box contains \"Failure opening text database.\" OK\n"
                    "box contains \"Unable to invoke ov_clean.exe\" OK\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Has("exec \"\" 2"));
}

TEST_F(WizardFlow, DefaultsChainWithoutAndWithOrvikIni) {
  // No orvik.ini: the product's defaults.
  RunResult r = Run({"A:\\"}, "1050 click 1\n105 click 2\n109 click 1\nbox OK\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Has("field 1008 \"c:\\\\orvik\""));
  EXPECT_TRUE(Has("field 1009 \"c:\\\\orvik\\\\proc\""));
  EXPECT_TRUE(Has("field 1010 \"c:\\\\orvik\\\\pic\""));
  EXPECT_TRUE(Has("field 1011 \"c:\\\\orvik\""));

  // Only password_dir: user programs and data follow it; an empty procdir
  // key leaves the procedure directory empty.
  WriteFile(box.OnC("C:\\windows\\orvik.ini"), "[Startup]\npassword_dir = D:\\X\nprocdir=\n");
  orvik_testing::RemoveTree(box.TranscriptPath());
  r = Run({"A:\\"}, "1050 click 1\n105 click 2\n109 click 1\nbox OK\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Has("field 1008 \"D:\\\\X\""));
  EXPECT_TRUE(Has("field 1009 \"\""));
  EXPECT_TRUE(Has("field 1011 \"D:\\\\X\""));
}

TEST_F(WizardFlow, BackQuitAndReturnPaths) {
  RunResult r = Run({"A:\\"},
                    "1050 click 1\n"
                    "105 set 1008 \"C:\\changed\" click 1001\n"  // Back: Welcome again, values kept
                    "1050 click 1\n"
                    "105 click 2\n"    // Quit
                    "109 click 2\n"    // Return to Program
                    "105 click 2\n"
                    "109 close\n"      // close box = Return
                    "105 click 2\n"
                    "109 click 1\n"    // Exit
                    "box OK\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  auto lines = orvik_testing::Lines(box.Transcript());
  int pages105 = 0;
  for (const auto& l : lines) pages105 += l.rfind("window 105 ", 0) == 0;
  EXPECT_EQ(pages105, 4);
  // Back does not store the page's values.
  EXPECT_FALSE(Has("field 1008 \"C:\\\\changed\""));
  EXPECT_TRUE(Has("end 109 2"));
  EXPECT_TRUE(Has("end 109 1"));
  EXPECT_TRUE(Has("end 1050 1"));
  // Welcome's own Cancel ends at once, without Confirm Quit.
  orvik_testing::RemoveTree(box.TranscriptPath());
  r = Run({"A:\\"}, "1050 click 2\nbox OK\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Has("end 1050 2"));
  EXPECT_EQ(box.Transcript().find("window 109"), std::string::npos);
}

TEST_F(WizardFlow, TenTriesForAMissingDirectoryEndTheWizard) {
  std::string answers = "1050 click 1\n105 click 1\n";
  for (int i = 0; i < 10; ++i) answers += "106 set 1009 \"c:\\nowhere" + std::to_string(i) + "\" click 1\n";
  answers += "box contains \"\" OK\nbox OK\n";
  RunResult r = Run({"A:\\"}, answers);
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  std::string t = box.Transcript();
  EXPECT_NE(t.find("box \"ORVIK Error 9229\""), std::string::npos) << t;
  EXPECT_TRUE(Has("field 1008 \"Procedure Files\""));
  // The typed path was turned into capitals and stored as typed otherwise.
  EXPECT_NE(t.find("C:\\\\NOWHERE8"), std::string::npos);
}

TEST_F(WizardFlow, ReadmeCopiedOnceWithPermissionMessageThenCatalogueNotice) {
  box.MakeProductFolders(false);
  // Empty catalogue: nothing to offer, so the wizard ends after notice 9240.
  WriteFile(staging + "/kelmar.lst", "");
  RunResult r = Run({"A:\\"},
                    "1050 click 1\n"
                    "105 click 1\n"
                    "box contains \"Unable to change permission of this c:\\orvik\\proc\\readme.txt file.\" OK\n"
                    "box OK\n"  // notice 9240
                    "box OK\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(ReadFile(box.OnC("C:\\orvik\\proc\\readme.txt")), "Sample procedures.\n");
  EXPECT_NE(box.Transcript().find("box \"ORVIK Notice 9240\""), std::string::npos);
}

TEST_F(WizardFlow, ReadmeThatCannotBeCopiedEndsTheWizard) {
  box.MakeProductFolders(false);
  orvik_testing::RemoveTree(staging + "/readme.txt");
  RunResult r = Run({"A:\\"}, "1050 click 1\n105 click 1\nbox OK\nbox OK\nbox OK\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(box.Transcript().find("window 101"), std::string::npos);
  EXPECT_FALSE(orvik_testing::Exists(box.OnC("C:\\orvik\\proc\\readme.txt")));
}

TEST_F(WizardFlow, CleanupProgramRemovesTheStagingFolder) {
  WriteFile(box.OnC("C:\\windows\\temp\\ov_clean.exe"), ReadFile(orvik_testing::ProgramPath("ov_clean")));
  orvik_testing::ChangeMode(box.OnC("C:\\windows\\temp\\ov_clean.exe"), 0755);
  RunResult r = Run({"A:\\"}, "1050 click 2\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Has("exec \"C:\\\\windows\\\\temp\\\\\\\\ov_clean.exe C:\\\\windows\\\\temp\\\\~ovprocedureinstall\" 33"))
      << box.Transcript();
  EXPECT_FALSE(orvik_testing::Exists(staging)) << r.err;
}

TEST_F(WizardFlow, DebugSwitchOnlyAtTheEnd) {
  RunResult r = Run({"A:\\", "-d"},
                    "box contains \"orvik.lst is: C:\\windows\\temp\\~ovprocedureinstall\\orvik.lst   "
                    "||command line is: A:\\ -d    ||srcdir is: A:\\\" OK\n"
                    "1050 click 2\nbox OK\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Has("exec \"C:\\\\windows\\\\temp\\\\\\\\ov_clean.exe C:\\\\windows\\\\temp\\\\~ovprocedureinstall\" 2"));

  // A source folder that merely contains "-d" is kept whole, without diagnostics.
  orvik_testing::RemoveTree(box.TranscriptPath());
  r = Run({"D:\\set-data\\"}, "1050 click 2\nbox OK\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(box.Transcript().find("orvik.lst is:"), std::string::npos);
}

}  // namespace
