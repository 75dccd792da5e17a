// The whole system from the sample CD: setup.exe stages the installer, the
// wizard installs and registers the chosen procedures, and the clean-up
// program removes the staging folder when the installer has ended.
#include <gtest/gtest.h>

#include <filesystem>

#include "testing/host_platform.h"
#include "testing/interactive_runner.h"
#include "tests/e2e_support.h"

namespace {

namespace fs = std::filesystem;
using e2e::Entry;
using e2e::LinesStartingWith;
using e2e::Quoted;
using orvik_testing::RunResult;

const char* const kCaption = "ORVIK - Procedure Installation";

e2e::Installed Dmm45() {
  return {{{'H', 1, {"RANGE_CHK"}, "RANGECHK.PRO"},
           {'H', 2, {"ACV_LIN"}, "ACVLIN.PRO"},
           {'H', 3, {"DCV_LIN"}, "DCVLIN.PRO"},
           {'E', 4, {"DMM 45", "DMM 45A", "DMM 46"}, "DMM45.PRO"}},
          {"DMM45.BMP", "LEADS.BMP"},
          {},
          {"DMM45.DAT", "RANGES.DAT"}};
}

class EndToEndCd : public ::testing::Test {
 protected:
  void SetUp() override {
    medium = media.MakeCd(box.root + "/medium");
    box.MapDrive('a', medium);
    e2e::MakeTargetFolders(box);
    staging = box.OnC(e2e::kStaging);
  }

  RunResult Setup(const std::vector<std::string>& args, const std::string& answers) {
    orvik_testing::RemoveTree(box.TranscriptPath());
    return orvik_testing::RunProgram(box.OnDrive('a', "setup.exe"), args, box.ScriptEnv(answers), box.root);
  }

  std::string Box(const std::string& text) { return "box " + Quoted(kCaption) + " " + Quoted(text); }

  // The bootstrap started the installer, the installer started the clean-up
  // program at its end, and that removed the staging folder; its own copy
  // in the temporary folder stays for the next run to replace.
  void ExpectCleanedUp(const std::string& source = "a:\\") {
    std::string t = box.Transcript();
    std::vector<std::string> exec = LinesStartingWith(t, "exec ");
    ASSERT_EQ(exec.size(), 2u) << t;
    EXPECT_EQ(exec[0].rfind("exec " + Quoted(std::string(e2e::kStaging) + "\\_kelmar.exe " + source), 0), 0u);
    EXPECT_EQ(exec[1], "exec " + Quoted(R"(C:\windows\temp\\ov_clean.exe )" + std::string(e2e::kStaging)) + " 33");
    EXPECT_FALSE(orvik_testing::Exists(staging));
    EXPECT_TRUE(orvik_testing::ReadFile(box.OnC(R"(C:\windows\temp\ov_clean.exe)")) ==
                orvik_testing::ReadFile(medium + "/ov_clean.exe"));
  }

  orvik_testing::Sandbox box;
  e2e::SampleMedia media{box};
  std::string medium, staging;
};

TEST_F(EndToEndCd, WholeWizardToTheFinishPage) {
  RunResult r = Setup({}, "1050 click 1\n"
                          "105 click 1\n"
                          "box contains \"Unable to change permission of this c:\\orvik\\proc\\readme.txt file.\" OK\n"
                          "108 toggle 1014 \"DMM 45\" toggle 1014 \"Counter 220\" click 1\n"
                          "107 click 2\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  std::string t = box.Transcript();
  EXPECT_EQ(e2e::WindowIds(t), (std::vector<std::string>{"102", "1050", "105", "108", "1046", "1049", "107"}));
  EXPECT_EQ(LinesStartingWith(t, "box ").size(), 1u) << t;
  e2e::ExpectInstalled(box, media.source, e2e::DmmAndCounter());
  ExpectCleanedUp();
}

TEST_F(EndToEndCd, CleanupProgramRemovesTheStagingFolderAfterTheInstaller) {
  // On the console: at the Finish page the installer still runs from its
  // staging folder; once it has ended, the folder is gone.
  bool stagedAtFinish = false;
  std::vector<orvik_testing::Turn> turns = {
      {"window 1050 ", nullptr, "click 1\n"},
      {"window 105 ", nullptr, "click 1\n"},
      {"box ", nullptr, "OK\n"},
      {"window 108 ", nullptr, "toggle 1014 \"Thermometer 7\"\nclick 1\n"},
      {"window 107 ",
       [&] {
         stagedAtFinish = orvik_testing::Exists(staging + "/_kelmar.exe") && orvik_testing::Exists(staging + "/orvik.lst");
       },
       "click 2\n"}};
  RunResult r = orvik_testing::RunConsole(box.OnDrive('a', "setup.exe"), {}, orvik_testing::ConsoleEnv(box), box.root,
                                        box.TranscriptPath(), turns);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(stagedAtFinish);
  ExpectCleanedUp();
  e2e::ExpectInstalled(box, media.source,
                       {{{'E', 1, {"Thermometer 7"}, "THERM7.PRO"}}, {"THERM7.BMP"}, {}, {"TC_TABLE.DAT"}});
  // The transfer list the installer wrote was in the staging folder: the
  // medium's own copy is untouched.
  EXPECT_EQ(fs::file_size(medium + "/orvik.lst"), 0u);
}

TEST_F(EndToEndCd, SecondInstallationOverwritesAfterConfirmation) {
  const std::string firstRun = "1050 click 1\n105 click 1\nbox OK\n108 toggle 1014 \"DMM 45\" click 1\n107 click 2\n";
  RunResult r = Setup({}, firstRun);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  e2e::ExpectInstalled(box, media.source, Dmm45());
  // Damage what was installed; the second installation must bring it back.
  orvik_testing::WriteFile(box.OnC(R"(C:\orvik\proc\4.pro)"), "damaged");
  orvik_testing::WriteFile(box.OnC(R"(C:\orvik\pic\LEADS.BMP)"), "damaged");
  orvik_testing::WriteFile(box.OnC(R"(C:\orvik\RANGES.DAT)"), "damaged");

  r = Setup({}, "1050 click 1\n"
                "105 click 1\n"
                "108 toggle 1014 \"DMM 45A\" click 1\n"
                "102 click 1\n"
                "107 click 2\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  std::string t = box.Transcript();
  EXPECT_EQ(e2e::WindowIds(t), (std::vector<std::string>{"102", "1050", "105", "108", "102", "1046", "1049", "107"}));
  EXPECT_NE(t.find("window 102 \"ORVIK - Procedure Installation - Confirm Overwrite\""), std::string::npos) << t;
  // readme.txt is there now: no permission message the second time.
  EXPECT_TRUE(LinesStartingWith(t, "box ").empty()) << t;
  // The entries were rewritten in place under the same file numbers.
  e2e::ExpectInstalled(box, media.source, Dmm45());
  ExpectCleanedUp();
}

TEST_F(EndToEndCd, SecondInstallationKeepingTheExistingFiles) {
  RunResult r = Setup({}, "1050 click 1\n105 click 1\nbox OK\n108 toggle 1014 \"DMM 45\" click 1\n107 click 2\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  std::string procDir = orvik_testing::ReadFile(box.OnC(R"(C:\orvik\proc\proc.dir)"));
  orvik_testing::WriteFile(box.OnC(R"(C:\orvik\proc\4.pro)"), "kept as it is");

  // Keep: the procedure is deselected, so Next finds nothing to install and
  // the wizard goes back to the target directories; the operator quits.
  r = Setup({}, "1050 click 1\n"
                "105 click 1\n"
                "108 toggle 1014 \"DMM 45\" click 1\n"
                "102 click 7\n"
                "box OK\n"
                "105 click 2\n"
                "109 click 1\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  std::string t = box.Transcript();
  EXPECT_EQ(e2e::WindowIds(t), (std::vector<std::string>{"102", "1050", "105", "108", "102", "105", "109"}));
  EXPECT_NE(t.find("box \"ORVIK Error 9220\""), std::string::npos) << t;
  EXPECT_EQ(orvik_testing::ReadFile(box.OnC(R"(C:\orvik\proc\proc.dir)")), procDir);
  EXPECT_EQ(orvik_testing::ReadFile(box.OnC(R"(C:\orvik\proc\4.pro)")), "kept as it is");
  ExpectCleanedUp();
}

TEST_F(EndToEndCd, RelativePrefixReachesTheInstallerAndTheCleanupProgram) {
  SKIP_UNLESS_POSIX("the prefix of drive C: is a POSIX host's");
  orvik_testing::RemoveTree(box.TranscriptPath());
  std::map<std::string, std::string> env = box.ScriptEnv("1050 click 2\n");
  env["ORVIK_PREFIX"] = "prefix";  // relative to the folder setup.exe starts in
  RunResult r = orvik_testing::RunProgram(medium + "/setup.exe", {}, env, box.root);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(box.TranscriptHas("end 1050 2")) << box.Transcript();
  ExpectCleanedUp();
}

TEST_F(EndToEndCd, MissingReadmeOnTheMedium) {
  fs::remove(medium + "/readme.txt");
  RunResult r = Setup({}, "box OK\nbox OK\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  std::string t = box.Transcript();
  EXPECT_EQ(LinesStartingWith(t, "box "),
            (std::vector<std::string>{
                Box("Unable to find the readme.txt file."),
                Box("Failure copying required file readme.txt to " + std::string(e2e::kStaging) + "\\readme.txt.")}));
  EXPECT_TRUE(LinesStartingWith(t, "exec ").empty()) << "the installer is not started";
  EXPECT_EQ(e2e::WindowIds(t), (std::vector<std::string>{"102"}));
  EXPECT_FALSE(orvik_testing::Exists(staging));
  EXPECT_FALSE(orvik_testing::Exists(box.OnC(R"(C:\orvik\proc\proc.dir)")));
}

TEST_F(EndToEndCd, DebugSwitchThroughBothPrograms) {
  const std::string staged = e2e::kStaging;
  RunResult r = Setup({"-d"},
                      "box contains \"Temporary Directory:\" OK\n"
                      "box contains \"bfail is: FALSE\" OK\n"
                      "box contains \"Entering winexec area.\" OK\n"
                      "box contains \"WinExec Command:\" OK\n"
                      "box contains \"orvik.lst is:\" OK\n"
                      "1050 click 1\n"
                      "105 click 1\n"
                      "box contains \"Unable to change permission\" OK\n"
                      "108 toggle 1014 \"Scope 1204\" click 1\n"
                      "box contains \"orvik.lst location:\" OK\n"
                      "107 click 2\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  std::string t = box.Transcript();
  EXPECT_EQ(LinesStartingWith(t, "box "),
            (std::vector<std::string>{
                Box("Temporary Directory: " + staged), Box("Approaching WinExec area.  bfail is: FALSE"),
                Box("Entering winexec area."), Box("WinExec Command: " + staged + "\\_kelmar.exe a:\\ -d"),
                Box("orvik.lst is: " + staged + "\\orvik.lst   ||command line is: a:\\ -d    ||srcdir is: a:\\"),
                Box("Unable to change permission of this c:\\orvik\\proc\\readme.txt file."),
                Box("orvik.lst location: " + staged + "\\orvik.lst")}));
  e2e::ExpectInstalled(box, media.source,
                       {{{'H', 1, {"SCOPE_TB"}, "SCOPETB.PRO"},
                         {'H', 2, {"SCOPE_BW"}, "SCOPEBW.PRO"},
                         {'E', 3, {"Scope 1200", "Scope 1200A", "Scope 1202", "Scope 1204", "Scope 1204A", "Scope 1204X"},
                          "SCP1200.PRO"}},
                        {"SCP1200.BMP"},
                        {"PROBECHK.EXE"},
                        {"SCP1200.DAT"}});
  ExpectCleanedUp("a:\\ -d");
}

}  // namespace
