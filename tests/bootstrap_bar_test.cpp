// The bootstrap's progress bar, seen through a probe frontend that notes the
// bar's position whenever a box comes up: with "-d" the boxes frame the
// staging, and a file missing at each step shows the value the bar had
// reached after the step before. A failed step still moves the bar on.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/bootstrap_support.h"

namespace {

namespace fs = std::filesystem;
using bootstrap_test::LinesStartingWith;
using bootstrap_test::Quoted;

const std::string kStaging = R"(C:\windows\temp\~ovprocedureinstall)";

class BootstrapBar : public ::testing::Test {
 protected:
  void SetUp() override {
    medium = box.root + "/medium";
    bootstrap_test::MakeStubMedium(medium, BAR_PROBE_PATH, box.root);
    box.MapDrive('a', medium);
  }

  std::vector<std::string> RunBars(const std::vector<std::string>& args) {
    orvik_testing::RemoveTree(box.TranscriptPath());
    orvik_testing::RunResult r = orvik_testing::RunProgram(box.OnDrive('a', "setup.exe"), args, box.ScriptEnv(""), box.root);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    return LinesStartingWith(box.Transcript(), "bar ");
  }

  static std::string Bar(int position, const std::string& text) {
    return "bar " + std::to_string(position) + " " + Quoted(text);
  }

  orvik_testing::Sandbox box;
  std::string medium;
};

TEST_F(BootstrapBar, FromTenToAHundredAroundASuccessfulStaging) {
  std::string command = kStaging + R"(\_kelmar.exe a:\ -d)";
  EXPECT_EQ(RunBars({"-d"}), (std::vector<std::string>{Bar(10, "Temporary Directory: " + kStaging),
                                                      Bar(100, "Approaching WinExec area.  bfail is: FALSE"),
                                                      Bar(100, "Entering winexec area."),
                                                      Bar(100, "WinExec Command: " + command)}));
}

TEST_F(BootstrapBar, EachStepLeavesItsValue) {
  struct Step {
    std::string file;
    int barBefore;  // the value after the step before
  };
  const Step steps[] = {{"text.dll", 20},   {"zlib.dll", 25},   {"ovtext.mdb", 30},
                        {"_diskmap.lst", 40}, {"orvik.lst", 50}, {"kelmar.lst", 60},
                        {"readme.txt", 70}, {"_kelmar.exe", 80}, {"ov_clean.exe", 90}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.file);
    std::string keep = orvik_testing::ReadFile(medium + "/" + step.file);
    fs::remove(medium + "/" + step.file);
    std::vector<std::string> bars = RunBars({"-d"});
    ASSERT_GE(bars.size(), 3u);
    EXPECT_EQ(bars.front(), Bar(10, "Temporary Directory: " + kStaging));
    // Every failure box of the step, at the value before it.
    for (std::size_t i = 1; i + 1 < bars.size(); ++i)
      EXPECT_EQ(bars[i].rfind("bar " + std::to_string(step.barBefore) + " ", 0), 0u) << bars[i];
    EXPECT_EQ(bars.size(), step.file == "readme.txt" ? 4u : 3u);
    // The remaining steps are skipped but the bar still reaches 100.
    EXPECT_EQ(bars.back(), Bar(100, "Approaching WinExec area.  bfail is: TRUE"));
    orvik_testing::WriteFile(medium + "/" + step.file, keep);
    orvik_testing::ChangeMode(medium + "/" + step.file, 0755);
  }
}

TEST_F(BootstrapBar, StaysAtTenWhenTheStagingFolderCannotBeMade) {
  // A file where the staging folder belongs: it can neither be removed as a
  // folder nor be made into one.
  orvik_testing::WriteFile(box.OnC(kStaging), "in the way");
  std::vector<std::string> bars = RunBars({"-d"});
  ASSERT_GE(bars.size(), 3u);
  EXPECT_EQ(std::count(bars.begin(), bars.end(), Bar(10, "Failure creating folder in the temporary folder.")), 1);
  EXPECT_EQ(std::count(bars.begin(), bars.end(), Bar(10, "Approaching WinExec area.  bfail is: TRUE")), 1);
  for (const std::string& line : bars) EXPECT_EQ(line.rfind("bar 10 ", 0), 0u) << line;
  EXPECT_TRUE(LinesStartingWith(box.Transcript(), "exec ").empty());
}

}  // namespace
