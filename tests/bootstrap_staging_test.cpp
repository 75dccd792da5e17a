// kelmar_setup as setup.exe on a medium: the nine staged files, the
// installer's command line and working folder, the leftovers it replaces,
// its failure boxes word for word, and "-d".
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "tests/bootstrap_support.h"
#include "testing/host_platform.h"

namespace {

namespace fs = std::filesystem;
using bootstrap_test::LinesStartingWith;
using bootstrap_test::Quoted;
using orvik_testing::ReadFile;
using orvik_testing::RunResult;

const char* const kStaging = R"(C:\windows\temp\~ovprocedureinstall)";
const char* const kCaption = "ORVIK - Procedure Installation";

std::set<std::string> Listing(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

class BootstrapStaging : public ::testing::Test {
 protected:
  void SetUp() override {
    medium = box.root + "/medium";
    bootstrap_test::MakeStubMedium(medium, orvik_testing::ProgramPath("kelmar_setup"), box.root);
    box.MapDrive('a', medium);
    staging = box.OnC(kStaging);
    cleaner = box.OnC(R"(C:\windows\temp\ov_clean.exe)");
  }

  RunResult Run(const std::vector<std::string>& args, const std::string& answers,
                const std::string& program = "") {
    return orvik_testing::RunProgram(program.empty() ? box.OnDrive('a', "setup.exe") : program, args, box.ScriptEnv(answers),
                                   box.root);
  }

  std::string Box(const std::string& text) { return "box " + Quoted(kCaption) + " " + Quoted(text); }
  std::vector<std::string> Boxes() { return LinesStartingWith(box.Transcript(), "box "); }

  // The staging folder holds the eight files, byte for byte and writable,
  // and the clean-up program sits in the temporary folder itself.
  void ExpectStagedFrom(const std::string& source) {
    std::set<std::string> expected;
    for (const std::string& name : bootstrap_test::StagedNames()) {
      std::string target = name == "ov_clean.exe" ? cleaner : staging + "/" + name;
      if (name != "ov_clean.exe") expected.insert(name);
      ASSERT_TRUE(orvik_testing::Exists(target)) << name;
      EXPECT_TRUE(ReadFile(target) == ReadFile(source + "/" + name)) << name;
      EXPECT_TRUE(bootstrap_test::OwnerWritable(target)) << name;
    }
    EXPECT_EQ(Listing(staging), expected);
  }

  orvik_testing::Sandbox box;
  std::string medium, staging, cleaner;
};

TEST_F(BootstrapStaging, StagesTheNineFilesWritableAndStartsTheInstaller) {
  bootstrap_test::MakeReadOnly(medium);
  RunResult r = Run({}, "");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(orvik_testing::Lines(box.Transcript()),
            (std::vector<std::string>{"window 102 \"Setup - Creating Temporary Files\"",
                                      "exec " + Quoted(std::string(kStaging) + R"(\_kelmar.exe a:\)") + " 33",
                                      "end 102 1"}));
  ExpectStagedFrom(medium);
  EXPECT_EQ(Listing(box.OnC(R"(C:\windows\temp)")), (std::set<std::string>{"~ovprocedureinstall", "ov_clean.exe"}));
  // The installer got the source folder as its one argument, in the staging folder.
  EXPECT_EQ(ReadFile(box.root + "/installer_args"), "a:\\|");
  EXPECT_EQ(ReadFile(box.root + "/installer_cwd"), fs::canonical(staging).string() + "\n");
}

TEST_F(BootstrapStaging, SourceFolderIsWhereSetupLies) {
  std::string set1 = box.root + "/d/SET1";
  bootstrap_test::MakeStubMedium(set1, orvik_testing::ProgramPath("kelmar_setup"), box.root, "Setup.exe");
  box.MapDrive('d', box.root + "/d");
  RunResult r = Run({}, "", box.OnDrive('d', "SET1/Setup.exe"));
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(LinesStartingWith(box.Transcript(), "exec "),
            (std::vector<std::string>{"exec " + Quoted(std::string(kStaging) + R"(\_kelmar.exe d:\set1\)") + " 33"}));
  EXPECT_EQ(ReadFile(box.root + "/installer_args"), "d:\\set1\\|");
  ExpectStagedFrom(set1);
}

TEST_F(BootstrapStaging, LeftoversOfAnEarlierRunAreReplaced) {
  orvik_testing::MakeDirs(staging + "/old/deeper");
  orvik_testing::WriteFile(staging + "/old/deeper/stale.lst", "stale");
  orvik_testing::WriteFile(staging + "/kelmar.lst", "an older catalogue");
  orvik_testing::ChangeMode(staging + "/old/deeper/stale.lst", 0444);
  orvik_testing::ChangeMode(staging + "/kelmar.lst", 0444);
  orvik_testing::WriteFile(cleaner, "an older clean-up program");
  orvik_testing::ChangeMode(cleaner, 0444);
  RunResult r = Run({}, "");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Boxes().empty()) << box.Transcript();
  ExpectStagedFrom(medium);
}

TEST_F(BootstrapStaging, MissingReadmeTwoBoxesAndNoInstaller) {
  fs::remove(medium + "/readme.txt");
  RunResult r = Run({}, "box contains \"Unable to find the readme.txt file.\" OK\n"
                        "box contains \"Failure copying required file readme.txt\" OK\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         Box("Unable to find the readme.txt file."),
                         Box("Failure copying required file readme.txt to " + std::string(kStaging) + R"(\readme.txt.)")}));
  EXPECT_TRUE(LinesStartingWith(box.Transcript(), "exec ").empty());
  EXPECT_FALSE(orvik_testing::Exists(staging));
  EXPECT_FALSE(orvik_testing::Exists(cleaner)) << "the last step is skipped after a failure";
  EXPECT_FALSE(orvik_testing::Exists(box.root + "/installer_args"));
}

TEST_F(BootstrapStaging, EachMissingFileStopsTheStagingWithItsBox) {
  for (const std::string& name : bootstrap_test::StagedNames()) {
    if (name == "readme.txt") continue;  // two boxes, above
    SCOPED_TRACE(name);
    std::string keep = ReadFile(medium + "/" + name);
    fs::remove(medium + "/" + name);
    orvik_testing::RemoveTree(box.TranscriptPath());
    std::string target = name == "ov_clean.exe" ? R"(C:\windows\temp\ov_clean.exe)" : std::string(kStaging) + "\\" + name;
    std::string text = "Failure copying required file " + name + " to " + target + (name == "text.dll" ? ". " : ".");
    RunResult r = Run({}, "box OK\n");
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(Boxes(), (std::vector<std::string>{Box(text)}));
    EXPECT_TRUE(LinesStartingWith(box.Transcript(), "exec ").empty());
    EXPECT_FALSE(orvik_testing::Exists(staging));
    EXPECT_FALSE(orvik_testing::Exists(cleaner));
    orvik_testing::WriteFile(medium + "/" + name, keep);
    orvik_testing::ChangeMode(medium + "/" + name, 0755);
  }
}

TEST_F(BootstrapStaging, DebugSwitchShowsFourBoxesAndIsPassedOn) {
  std::string command = std::string(kStaging) + R"(\_kelmar.exe a:\ -d)";
  RunResult r = Run({"-d"}, "box OK\nbox OK\nbox OK\nbox OK\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(Boxes(), (std::vector<std::string>{Box("Temporary Directory: " + std::string(kStaging)),
                                               Box("Approaching WinExec area.  bfail is: FALSE"),
                                               Box("Entering winexec area."), Box("WinExec Command: " + command)}));
  EXPECT_EQ(LinesStartingWith(box.Transcript(), "exec "), (std::vector<std::string>{"exec " + Quoted(command) + " 33"}));
  EXPECT_EQ(ReadFile(box.root + "/installer_args"), "a:\\ -d|");

  // "-d" anywhere in the command line counts.
  orvik_testing::RemoveTree(box.TranscriptPath());
  r = Run({"/q", "x-dx"}, "box OK\nbox OK\nbox OK\nbox OK\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(Boxes().size(), 4u);
  EXPECT_EQ(ReadFile(box.root + "/installer_args"), "a:\\ -d|");
}

TEST_F(BootstrapStaging, DebugSwitchAfterAFailure) {
  fs::remove(medium + "/zlib.dll");
  RunResult r = Run({"-d"}, "box OK\nbox OK\nbox OK\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         Box("Temporary Directory: " + std::string(kStaging)),
                         Box("Failure copying required file zlib.dll to " + std::string(kStaging) + R"(\zlib.dll.)"),
                         Box("Approaching WinExec area.  bfail is: TRUE")}));
  EXPECT_FALSE(orvik_testing::Exists(staging));
}

TEST_F(BootstrapStaging, InstallerThatCannotStartIsReportedAndUnstaged) {
  orvik_testing::RemoveTree(medium + "/_kelmar.exe");
  orvik_testing::WriteFile(medium + "/_kelmar.exe", "not a program\n");
  std::string command = std::string(kStaging) + R"(\_kelmar.exe a:\)";
  RunResult r = Run({}, "box OK\n");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(Boxes(), (std::vector<std::string>{Box("Failure executing: " + command)}));
  std::vector<std::string> exec = LinesStartingWith(box.Transcript(), "exec ");
  ASSERT_EQ(exec.size(), 1u);
  EXPECT_EQ(exec[0].rfind("exec " + Quoted(command) + " ", 0), 0u);
  EXPECT_NE(exec[0], "exec " + Quoted(command) + " 33");
  EXPECT_FALSE(orvik_testing::Exists(staging));
  EXPECT_TRUE(orvik_testing::Exists(cleaner));
}

TEST_F(BootstrapStaging, ProgramNotNamedSetupExeStagesNothing) {
  orvik_testing::WriteFile(medium + "/install.exe", ReadFile(medium + "/setup.exe"));
  orvik_testing::ChangeMode(medium + "/install.exe", 0755);
  RunResult r = Run({}, "box OK\n", box.OnDrive('a', "install.exe"));
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(Boxes(), (std::vector<std::string>{Box("Failure identifying module file name. (2)")}));
  EXPECT_FALSE(orvik_testing::Exists(staging));
  EXPECT_FALSE(orvik_testing::Exists(cleaner));
}

}  // namespace
