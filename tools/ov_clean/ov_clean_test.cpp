// ov_clean: removes a staging folder once its parent has ended, and refuses
// every other folder.
#include <functional>
#include <string>
#include <vector>

#include "platform/dos_path.h"
#include "testing/host_platform.h"
#include "testing/prefix_test.h"
#include "testing/program_runner.h"
#include "tools/ov_clean/staging_removal.h"

namespace {

using orvik_testing::Exists;
using orvik_testing::ReadFile;
using orvik_testing::WriteFile;

const std::string kProgram = orvik_testing::ProgramPath("ov_clean");

class OvCleanTest : public orvik_testing::PrefixTest {
 protected:
  void SetUp() override {
    PrefixTest::SetUp();
    stage_ = driveC_ + "/windows/temp/~OVProcedureInstall";
    outside_ = work_ + "/keep.txt";
    WriteFile(outside_, "keep");
  }
  // A staging folder with read-only files and folders, a nested folder and,
  // where the host makes links (not Windows), links that lead out of it.
  void FillStage() {
    WriteFile(stage_ + "/_kelmar.exe", "x");
    WriteFile(stage_ + "/ro.txt", "x");
    orvik_testing::ChangeMode(stage_ + "/ro.txt", 0444);
    WriteFile(stage_ + "/sub/ro.dat", "x");
    orvik_testing::ChangeMode(stage_ + "/sub/ro.dat", 0444);
    orvik_testing::ChangeMode(stage_ + "/sub", 0555);
    if (orvik_testing::kPosixHost) {
      ASSERT_TRUE(orvik_testing::MakeSymlink(work_, stage_ + "/dirlink"));
      ASSERT_TRUE(orvik_testing::MakeSymlink(outside_, stage_ + "/filelink"));
    }
  }
  int Run(const std::vector<std::string>& args) {
    return orvik_testing::RunProgram(kProgram, args, {}, "").exitStatus;
  }
  // Starts ov_clean as the installer does as it ends; `whileParentRuns` is
  // called before the installer ends. The exit status of ov_clean.
  int RunAtInstallerEnd(const std::string& argument, const std::function<void()>& whileParentRuns = {}) {
    std::string dosProgram = platform::DosPath(kProgram);
    EXPECT_FALSE(dosProgram.empty());
    orvik_testing::ChildProgram installer(LEAVING_INSTALLER, {dosProgram + " " + argument});
    EXPECT_EQ(installer.ReadLine(), "started");
    if (whileParentRuns) whileParentRuns();
    int status = installer.EndAndWaitForLeftProgram();
    EXPECT_EQ(installer.Wait(), 0);
    return status;
  }
  std::string stage_, outside_;
};

TEST_F(OvCleanTest, RemovesTheStagingFolderAfterItsParentEnds) {
  FillStage();
  int status = RunAtInstallerEnd("c:\\WINDOWS\\temp\\~ovprocedureinstall", [&] {
    // Time for an ov_clean that does not wait to show it.
    orvik_testing::SleepMilliseconds(350);
    EXPECT_TRUE(Exists(stage_ + "/_kelmar.exe")) << "removed while the installer still ran";
  });
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(Exists(stage_));
  // The links were removed, never followed.
  EXPECT_EQ(ReadFile(outside_), "keep");
  EXPECT_TRUE(Exists(work_));
}

// Refusals come at once, before any wait for the parent.
TEST_F(OvCleanTest, RefusesAnyOtherFolderAndLeavesItIntact) {
  std::string other = driveC_ + "/windows/temp/important";
  WriteFile(other + "/data", "x");
  EXPECT_EQ(Run({"C:\\windows\\temp\\important"}), 2);
  EXPECT_EQ(Run({"C:\\windows\\temp\\~ovprocedureinstallx"}), 2);
  EXPECT_EQ(Run({"C:\\windows\\temp\\important\\~ovprocedureinstall\\.."}), 2);
  EXPECT_EQ(Run({"C:\\"}), 2);
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(ReadFile(other + "/data"), "x");
}

TEST_F(OvCleanTest, MissingStagingFolderIsNotAFailure) {
  EXPECT_EQ(RunAtInstallerEnd("C:\\windows\\temp\\~ovprocedureinstall\\"), 0);
}

TEST_F(OvCleanTest, RelativeStagingFolderFromTheCurrentDirectory) {
  FillStage();
  ASSERT_EQ(platform::_chdir("C:\\windows\\temp"), 0);
  EXPECT_EQ(RunAtInstallerEnd("~OVPROCEDUREINSTALL"), 0);
  EXPECT_FALSE(Exists(stage_));
  EXPECT_EQ(ReadFile(outside_), "keep");
}

TEST(StagingFolderName, LastComponentOnlyAndCaseIgnored) {
  EXPECT_TRUE(ov_clean::IsStagingFolder("C:\\windows\\temp\\~ovprocedureinstall"));
  EXPECT_TRUE(ov_clean::IsStagingFolder("C:\\windows\\temp\\~OVPROCEDUREINSTALL\\\\"));
  EXPECT_TRUE(ov_clean::IsStagingFolder("c:/tmp/~OvProcedureInstall/"));
  EXPECT_TRUE(ov_clean::IsStagingFolder("~ovprocedureinstall"));
  EXPECT_FALSE(ov_clean::IsStagingFolder("C:\\~ovprocedureinstall\\sub"));
  EXPECT_FALSE(ov_clean::IsStagingFolder("C:\\windows\\temp"));
  EXPECT_FALSE(ov_clean::IsStagingFolder(""));
}

TEST_F(OvCleanTest, RemovalMakesReadOnlyEntriesWritableAndKeepsLinkTargets) {
  FillStage();
  orvik_testing::ChangeMode(outside_, 0444);
  EXPECT_TRUE(ov_clean::RemoveStagingFolder("C:\\windows\\temp\\~ovprocedureinstall\\"));
  EXPECT_FALSE(Exists(stage_));
  EXPECT_FALSE(orvik_testing::OwnerWritable(outside_));
  EXPECT_TRUE(ov_clean::RemoveStagingFolder("C:\\windows\\temp\\~ovprocedureinstall"));
}

TEST_F(OvCleanTest, StagingFolderThatIsALinkLosesOnlyTheLink) {
  SKIP_UNLESS_POSIX("a staging folder that is a symbolic link");
  ASSERT_TRUE(orvik_testing::MakeSymlink(work_, stage_));
  EXPECT_TRUE(ov_clean::RemoveStagingFolder("C:\\windows\\temp\\~ovprocedureinstall"));
  EXPECT_FALSE(Exists(stage_));
  EXPECT_EQ(ReadFile(outside_), "keep");
}

}  // namespace
