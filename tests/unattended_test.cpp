// Unattended installs from the sample medium through orvik_run: the README's
// answer file on a first installation and a re-installation, the same file
// on a disk set with the disk changer, the installer's failure as orvik_run's
// exit status, and a recorded console session replayed from its answer file.
#include <gtest/gtest.h>

#include "tests/e2e_support.h"
#include "testing/interactive_runner.h"

namespace {

using orvik_testing::ReadFile;
using orvik_testing::RunResult;

const char* const kConfirmOverwrite = "window 102 \"ORVIK - Procedure Installation - Confirm Overwrite\"";

std::string SampleAnswers() { return ReadFile(orvik_testing::SourceDir() + "/sample/answers.txt"); }

class Unattended : public ::testing::Test {
 protected:
  void SetUp() override { e2e::MakeTargetFolders(box); }

  // orvik_run with `options` starting A:\setup.exe on the answer file.
  RunResult Deploy(const std::vector<std::string>& options, const std::string& answers) {
    orvik_testing::RemoveTree(box.TranscriptPath());
    std::vector<std::string> args = options;
    args.push_back("A:\\setup.exe");
    return orvik_testing::RunProgram(orvik_testing::BinDir() + "/orvik_run", args, box.ScriptEnv(answers), box.root);
  }

  orvik_testing::Sandbox box;
  e2e::SampleMedia media{box};
};

TEST_F(Unattended, ReadmeAnswerFileInstallsAndReinstallsFromTheCd) {
  const std::string answers = SampleAnswers();
  EXPECT_NE(ReadFile(orvik_testing::SourceDir() + "/README.md").find(answers), std::string::npos)
      << "the README shows sample/answers.txt as it is";
  const std::string cd = media.MakeCd(box.root + "/medium");

  RunResult r = Deploy({"--drive", "a:=" + cd}, answers);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_EQ(e2e::LinesStartingWith(box.Transcript(), "box ").size(), 1u) << box.Transcript();
  EXPECT_FALSE(box.TranscriptHas(kConfirmOverwrite));
  e2e::ExpectInstalled(box, media.source, e2e::DmmAndCounter());

  // The re-installation replaces what is there, damaged or not.
  orvik_testing::WriteFile(box.OnC(R"(C:\orvik\proc\4.pro)"), "damaged");
  orvik_testing::WriteFile(box.OnC(R"(C:\orvik\pic\LEADS.BMP)"), "damaged");
  r = Deploy({"--drive", "a:=" + cd}, answers);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(e2e::LinesStartingWith(box.Transcript(), "box ").empty()) << box.Transcript();
  EXPECT_EQ(box.TranscriptCount(kConfirmOverwrite), 2);
  e2e::ExpectInstalled(box, media.source, e2e::DmmAndCounter());
  EXPECT_FALSE(orvik_testing::Exists(box.OnC(e2e::kStaging)));
}

TEST_F(Unattended, DiskSetInstallsWithTheDiskChanger) {
  std::vector<std::string> disks = media.MakeTwoDisks(box.root + "/floppies");
  ASSERT_EQ(disks.size(), 2u);
  RunResult r = Deploy({"--media", "a:=" + box.root + "/floppies"}, SampleAnswers());
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  // Disk 2 was asked for once and was there as soon as OK was pressed.
  EXPECT_EQ(e2e::LinesStartingWith(box.Transcript(), "end 1048 "), (std::vector<std::string>{"end 1048 1"}));
  e2e::ExpectInstalled(box, media.source, e2e::DmmAndCounter());
  EXPECT_FALSE(orvik_testing::Exists(box.OnC(e2e::kStaging)));
}

TEST_F(Unattended, TheInstallersFailureIsTheExitStatus) {
  const std::string cd = media.MakeCd(box.root + "/medium");
  // The bootstrap stages and starts the installer and ends well; the
  // installer then meets a window the answer file does not expect.
  RunResult r = Deploy({"--drive", "a:=" + cd}, "1050 click 1\n105 click 2\n");
  EXPECT_EQ(r.exitStatus, 86) << r.err << box.Transcript();
  EXPECT_EQ(e2e::LinesStartingWith(box.Transcript(), "exec ").size(), 1u) << box.Transcript();
  EXPECT_NE(r.err.find("no answer left: window 109"), std::string::npos) << r.err;
}

TEST_F(Unattended, RecordedConsoleSessionReplaysOnAnotherWorkstation) {
  const std::string cd = media.MakeCd(box.root + "/medium");
  box.MapDrive('a', cd);
  const std::string record = box.root + "/recorded.txt";
  auto env = orvik_testing::ConsoleEnv(box);
  env["ORVIK_RECORD"] = record;
  std::vector<orvik_testing::Turn> turns = {{"window 1050 ", nullptr, "n\n"},
                                          {"window 105 ", nullptr, "n\n"},
                                          {"box ", nullptr, "o\n"},
                                          {"window 108 ", nullptr, "toggle 1014 Thermometer 7\nclick 1\n"},
                                          {"window 107 ", nullptr, "q\n"}};
  RunResult r = orvik_testing::RunConsole(cd + "/setup.exe", {}, env, box.root, box.TranscriptPath(), turns);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  const e2e::Installed thermometer = {{{'E', 1, {"Thermometer 7"}, "THERM7.PRO"}}, {"THERM7.BMP"}, {}, {"TC_TABLE.DAT"}};
  e2e::ExpectInstalled(box, media.source, thermometer);
  const std::vector<std::string> windows = e2e::WindowIds(box.Transcript());

  orvik_testing::Sandbox other;
  e2e::MakeTargetFolders(other);
  r = orvik_testing::RunProgram(orvik_testing::BinDir() + "/orvik_run", {"--drive", "a:=" + cd, "A:\\setup.exe"},
                              other.ScriptEnv(ReadFile(record)), other.root);
  ASSERT_EQ(r.exitStatus, 0) << r.err << ReadFile(record) << other.Transcript();
  EXPECT_EQ(e2e::WindowIds(other.Transcript()), windows);
  e2e::ExpectInstalled(other, media.source, thermometer);
}

}  // namespace
