// ov_clean: removes a staging folder once its parent has ended, and refuses
// every other folder.
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <vector>

#include "platform/files.h"
#include "platform/process.h"
#include "testing/prefix_test.h"
#include "tools/ov_clean/staging_removal.h"

namespace {

using orvik_testing::ReadFile;
using orvik_testing::WriteFile;

const std::string kProgram = std::string(ORVIK_BIN_DIR) + "/ov_clean";

bool Exists(const std::string& host) {
  struct stat st;
  return ::lstat(host.c_str(), &st) == 0;
}

class OvCleanTest : public orvik_testing::PrefixTest {
 protected:
  void SetUp() override {
    PrefixTest::SetUp();
    stage_ = driveC_ + "/windows/temp/~OVProcedureInstall";
    outside_ = work_ + "/keep.txt";
    WriteFile(outside_, "keep");
  }
  // A staging folder with read-only files and folders, a nested folder and
  // links that lead out of it.
  void FillStage() {
    ASSERT_EQ(::mkdir(stage_.c_str(), 0777), 0);
    WriteFile(stage_ + "/_kelmar.exe", "x");
    WriteFile(stage_ + "/ro.txt", "x");
    ASSERT_EQ(::chmod((stage_ + "/ro.txt").c_str(), 0444), 0);
    ASSERT_EQ(::mkdir((stage_ + "/sub").c_str(), 0777), 0);
    WriteFile(stage_ + "/sub/ro.dat", "x");
    ASSERT_EQ(::chmod((stage_ + "/sub/ro.dat").c_str(), 0444), 0);
    ASSERT_EQ(::chmod((stage_ + "/sub").c_str(), 0555), 0);
    ASSERT_EQ(::symlink(work_.c_str(), (stage_ + "/dirlink").c_str()), 0);
    ASSERT_EQ(::symlink(outside_.c_str(), (stage_ + "/filelink").c_str()), 0);
  }
  int Run(const std::vector<std::string>& args) {
    pid_t pid = ::fork();
    if (pid == 0) {
      std::vector<char*> argv{const_cast<char*>(kProgram.c_str())};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 2);
      ::execv(kProgram.c_str(), argv.data());
      ::_exit(127);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Runs ov_clean from a parent that ends at once, adopting ov_clean to see
  // its exit status.
  int RunOrphaned(const std::vector<std::string>& args) {
    EXPECT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    pid_t parent = ::fork();
    if (parent == 0) {
      ::setenv("ORVIK_PARENT_PID", std::to_string(::getpid()).c_str(), 1);
      if (::fork() == 0) {
        std::vector<char*> argv{const_cast<char*>(kProgram.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(kProgram.c_str(), argv.data());
        ::_exit(127);
      }
      ::_exit(0);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(parent, &status, 0), parent);
    pid_t cleaner = ::waitpid(-1, &status, 0);
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    EXPECT_GT(cleaner, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string stage_, outside_;
};

TEST_F(OvCleanTest, RemovesTheStagingFolderAfterItsParentEnds) {
  FillStage();
  // We adopt ov_clean when its parent ends, to see its exit status.
  ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  std::string dosProgram = platform::DosPath(kProgram);
  ASSERT_FALSE(dosProgram.empty());
  pid_t parent = ::fork();
  if (parent == 0) {
    // The installer: starts ov_clean as it ends, as it does at exit.
    platform::UINT started = platform::WinExec((dosProgram + " c:\\WINDOWS\\temp\\~ovprocedureinstall").c_str(),
                                     platform::SW_SHOW);
    platform::Sleep(700);
    ::_exit(started > 31 ? 0 : 1);
  }
  ::usleep(350000);
  EXPECT_TRUE(Exists(stage_ + "/_kelmar.exe")) << "removed while the installer still ran";
  int status = 0;
  ASSERT_EQ(::waitpid(parent, &status, 0), parent);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "ov_clean did not start";
  pid_t cleaner = ::waitpid(-1, &status, 0);
  ASSERT_GT(cleaner, 0);
  ::prctl(PR_SET_CHILD_SUBREAPER, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(Exists(stage_));
  // The links were removed, never followed.
  EXPECT_EQ(ReadFile(outside_), "keep");
  EXPECT_TRUE(Exists(work_));
}

// Refusals come at once, before any wait for the parent.
TEST_F(OvCleanTest, RefusesAnyOtherFolderAndLeavesItIntact) {
  std::string other = driveC_ + "/windows/temp/important";
  ASSERT_EQ(::mkdir(other.c_str(), 0777), 0);
  WriteFile(other + "/data", "x");
  EXPECT_EQ(Run({"C:\\windows\\temp\\important"}), 2);
  EXPECT_EQ(Run({"C:\\windows\\temp\\~ovprocedureinstallx"}), 2);
  EXPECT_EQ(Run({"C:\\windows\\temp\\important\\~ovprocedureinstall\\.."}), 2);
  EXPECT_EQ(Run({"C:\\"}), 2);
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(ReadFile(other + "/data"), "x");
}

TEST_F(OvCleanTest, MissingStagingFolderIsNotAFailure) {
  EXPECT_EQ(RunOrphaned({"C:\\windows\\temp\\~ovprocedureinstall\\"}), 0);
}

TEST_F(OvCleanTest, RelativeStagingFolderFromTheCurrentDirectory) {
  FillStage();
  ASSERT_EQ(platform::_chdir("C:\\windows\\temp"), 0);
  EXPECT_EQ(RunOrphaned({"~OVPROCEDUREINSTALL"}), 0);
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
  ASSERT_EQ(::chmod(outside_.c_str(), 0444), 0);
  EXPECT_TRUE(ov_clean::RemoveStagingFolder("C:\\windows\\temp\\~ovprocedureinstall\\"));
  EXPECT_FALSE(Exists(stage_));
  struct stat st;
  ASSERT_EQ(::stat(outside_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
  EXPECT_TRUE(ov_clean::RemoveStagingFolder("C:\\windows\\temp\\~ovprocedureinstall"));
}

TEST_F(OvCleanTest, StagingFolderThatIsALinkLosesOnlyTheLink) {
  ASSERT_EQ(::symlink(work_.c_str(), stage_.c_str()), 0);
  EXPECT_TRUE(ov_clean::RemoveStagingFolder("C:\\windows\\temp\\~ovprocedureinstall"));
  EXPECT_FALSE(Exists(stage_));
  EXPECT_EQ(ReadFile(outside_), "keep");
}

}  // namespace
