// The install step: the geometry query, the scratch folder, the Disk Space
// page, the copy, the index update, the clean-up and the Finish page codes.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "installer/transfer/copy_phase.h"
#include "installer/transfer/install_flow.h"
#include "installer/transfer/scratch_folder.h"
#include "testing/host_files.h"
#include "testing/host_platform.h"
#include "testing/transfer_test.h"
#include "installer/transfer/xfer_list_writer.h"
#include "platform/dos_path.h"
#include "platform/files.h"
#include "resources/kelmar_resources.h"
#include "ui/resource.h"

namespace xfertest {
namespace {

class InstallStepTest : public TransferTest {
 protected:
  void SetUp() override {
    TransferTest::SetUp();
    actions.writeXferList = [this](const transfer::InstallPaths&) {
      ++writes;
      tempDirAtWrite = orvik_testing::Exists(CHost("orvik/proc/_temp"));
      return std::uint32_t(4242);
    };
    actions.copyXferFiles = [this](const transfer::InstallPaths&) {
      ++copies;
      return copyResult;
    };
    actions.updateProcDir = [this](const transfer::InstallPaths&) {
      ++updates;
      return 1;
    };
    actions.runFinishPage = [this] {
      ++finishes;
      tempDirAtFinish = orvik_testing::Exists(CHost("orvik/proc/_temp"));
      return finishCode;
    };
  }
  transfer::InstallResult Run() { return transfer::RunInstallStep(paths, plan, progress, nullptr, actions); }

  transfer::InstallActions actions;
  int writes = 0, copies = 0, updates = 0, finishes = 0;
  int copyResult = 1, finishCode = 2;
  bool tempDirAtWrite = false, tempDirAtFinish = true;
};

TEST_F(InstallStepTest, KnownDriveCopiesUpdatesCleansUpAndFinishes) {
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  EXPECT_GE(plan.bytesPerSector, 512u);
  EXPECT_EQ(progress.requiredSize, 4242u);
  EXPECT_TRUE(tempDirAtWrite);
  EXPECT_FALSE(tempDirAtFinish);
  EXPECT_EQ(writes + copies + updates + finishes, 4);
  EXPECT_EQ(LineCount("window 1047"), 0);
  EXPECT_EQ(LineCount("box "), 0);
}

TEST_F(InstallStepTest, FinishPageCodesGiveTheNextStep) {
  finishCode = 1;
  EXPECT_EQ(Run(), transfer::InstallResult::DirectoriesAgain);
  finishCode = 2;
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  finishCode = 5;
  Answers({"box contains \"the Finish page ended unexpectedly\" OK"});
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "ORVIK Error 9248");
}

TEST_F(InstallStepTest, StoppedTransferSkipsTheIndexUpdateWith9247) {
  copyResult = 0;
  Answers({"box contains \"The transfer was stopped.\" OK"});
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  EXPECT_EQ(updates, 0);
  EXPECT_EQ(finishes, 1);
  EXPECT_FALSE(tempDirAtFinish);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "ORVIK - Procedure Installation");
}

TEST_F(InstallStepTest, EachRunWorksInAFolderOfItsOwnAndLeavesNothing) {
  std::vector<std::string> duringStep;
  std::string folder;
  actions.writeXferList = [&](const transfer::InstallPaths& run) {
    folder = run.tempDir;
    duringStep = HostNames(CHost("orvik/proc/_temp"));
    return std::uint32_t(0);
  };
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  const std::string own = std::to_string(::getpid());
  EXPECT_EQ(folder, "C:\\orvik\\proc\\_temp\\" + own);
  EXPECT_EQ(duringStep, (std::vector<std::string>{own, own + ".lck"}));
  EXPECT_FALSE(orvik_testing::Exists(CHost("orvik/proc/_temp")));
}

TEST_F(InstallStepTest, FoldersOfEndedRunsGoAndThoseOfLiveRunsStay) {
  const std::string parent = CHost("orvik/proc/_temp");
  SKIP_UNLESS_POSIX("a run that ended without clean-up is a copy of the test process (fork)");
  // A run that ended without clean-up: its lock went with its process.
  ASSERT_EQ(orvik_testing::RunInCopyOfThisProcess([&] {
              static transfer::ScratchFolder crashed;
              if (!crashed.Create(paths.tempDir)) return 1;
              orvik_testing::WriteFile(platform::HostPath(crashed.Path() + "\\sub\\HALF.PRo"), "half");
              return 0;
            }),
            0);
  ASSERT_EQ(HostNames(parent).size(), 2u);
  // A run still at work (the lock is held through its own open file).
  transfer::ScratchFolder live;
  ASSERT_TRUE(live.Create(paths.tempDir));
  orvik_testing::WriteFile(platform::HostPath(live.Path() + "\\A.PRo"), "a");
  // Leftovers without a lock file, a lone lock file and a link.
  orvik_testing::WriteFile(parent + "/77/B.PRo", "b");
  orvik_testing::WriteFile(parent + "/78.lck", "");
  orvik_testing::WriteFile(root_ + "/outside/KEEP.PRo", "keep");
  ASSERT_TRUE(orvik_testing::MakeSymlink(root_ + "/outside", parent + "/79"));

  std::vector<std::string> atWrite;
  actions.writeXferList = [&](const transfer::InstallPaths&) {
    atWrite = HostNames(parent);
    return std::uint32_t(0);
  };
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  const std::string mine = std::to_string(::getpid()) + "-1";
  const std::string liveName = live.Path().substr(live.Path().rfind('\\') + 1);
  EXPECT_EQ(atWrite, (std::vector<std::string>{liveName, mine, mine + ".lck", liveName + ".lck"}));
  EXPECT_EQ(HostNames(parent), (std::vector<std::string>{liveName, liveName + ".lck"}));
  EXPECT_EQ(orvik_testing::ReadFile(platform::HostPath(live.Path() + "\\A.PRo")), "a");
  EXPECT_EQ(orvik_testing::ReadFile(root_ + "/outside/KEEP.PRo"), "keep");
  live.Remove();
  EXPECT_FALSE(orvik_testing::Exists(parent));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(InstallStepTest, AFolderRemovedBeforeItIsLockedIsGivenUpForAnother) {
  // In the moment between making the folder and locking it, a run that
  // ends takes it for abandoned, removes it, and removes the parent too.
  int calls = 0;
  transfer::SetScratchFolderHookForTesting([&](const std::string& folder) {
    if (++calls > 1) return;
    transfer::RemoveAbandonedScratchFolders(paths.tempDir);
    EXPECT_FALSE(orvik_testing::Exists(platform::HostPath(folder)));
    EXPECT_EQ(platform::_rmdir(paths.tempDir.c_str()), 0);
  });
  std::string folder;
  actions.writeXferList = [&](const transfer::InstallPaths& run) {
    folder = run.tempDir;
    return std::uint32_t(0);
  };
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  transfer::SetScratchFolderHookForTesting(nullptr);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(folder, "C:\\orvik\\proc\\_temp\\" + std::to_string(::getpid()) + "-1");
  EXPECT_FALSE(orvik_testing::Exists(CHost("orvik/proc/_temp")));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(InstallStepTest, ScratchFolderThatCannotBeMadeEndsTheStepWith9245) {
  paths.procDir = "C:\\nowhere\\proc\\";
  paths.tempDir = "C:\\nowhere\\proc\\_temp";
  Answers({"box contains \"scratch folder\" OK"});
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  EXPECT_EQ(writes + copies + finishes, 0);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "ORVIK Error 9245");
}

TEST_F(InstallStepTest, UnknownGeometryShowsTheSpaceNeededInBytes) {
  SKIP_UNLESS_POSIX("a network share made in the POSIX prefix (MapShare)");
  // A procedure directory on a network path names no drive.
  std::filesystem::create_directories(root_ + "/share/proc");
  ASSERT_TRUE(platform::MapShare("srv", "cal", root_ + "/share"));
  paths.procDir = "\\\\srv\\cal\\proc\\";
  paths.tempDir = "\\\\srv\\cal\\proc\\_temp";
  Answers({"1047 click 1"});
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  EXPECT_EQ(plan.bytesPerSector, 1u);
  EXPECT_TRUE(HasLine("window 1047 \"ORVIK Procedure Install - Disk Space\""));
  EXPECT_TRUE(HasLine("field 1012 \"104242\""));
  EXPECT_EQ(copies, 1);
  EXPECT_FALSE(orvik_testing::Exists(root_ + "/share/proc/_temp"));
}

TEST_F(InstallStepTest, CancelInstallationOnTheSpacePageGoesBackToTheDirectories) {
  paths.procDir = "Q:\\proc\\";  // an unmapped drive
  paths.tempDir = "C:\\orvik\\proc\\_temp";
  Answers({"1047 click 2"});
  EXPECT_EQ(Run(), transfer::InstallResult::DirectoriesAgain);
  EXPECT_EQ(copies + updates + finishes, 0);
  EXPECT_FALSE(orvik_testing::Exists(CHost("orvik/proc/_temp")));
}

TEST_F(InstallStepTest, TypingIntoTheSpaceFieldChangesNothing) {
  paths.procDir = "Q:\\proc\\";
  paths.tempDir = "C:\\orvik\\proc\\_temp";
  Answers({"1047 set 1012 \"not a number\" click 1"});
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  EXPECT_EQ(copies, 1);
  EXPECT_EQ(progress.requiredSize, 4242u);
}

TEST_F(InstallStepTest, SpaceShownIsHeldAtTheTopOfTheCount) {
  paths.procDir = "Q:\\proc\\";
  paths.tempDir = "C:\\orvik\\proc\\_temp";
  actions.writeXferList = [](const transfer::InstallPaths&) { return std::uint32_t(0xFFFFFFF0u); };
  Answers({"1047 click 1"});
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  EXPECT_TRUE(HasLine("field 1012 \"4294967295\""));
}

TEST(TargetUnit, DriveGeometryOrOne) {
  EXPECT_EQ(transfer::TargetUnit(""), 1u);
  EXPECT_EQ(transfer::TargetUnit("\\\\srv\\share\\proc\\"), 1u);
}

using InstallStepDeathTest = InstallStepTest;

TEST_F(InstallStepDeathTest, SpacePageEndingOtherwiseEndsTheProcessAfter9246) {
  SKIP_UNLESS_POSIX("a death test on Windows runs in a new process with a sandbox of its own");
  GTEST_FLAG_SET(death_test_style, "fast");  // the child keeps this sandbox
  paths.procDir = "Q:\\proc\\";
  paths.tempDir = "C:\\orvik\\proc\\_temp";
  static ui::ResourceModule withoutSpacePage = resources::Kelmar();
  withoutSpacePage.dialogs.erase(1047);  // the page cannot run: DoModal gives -1
  ui::SetResources(&withoutSpacePage);
  Answers({"box contains \"Disk Space page ended unexpectedly\" OK"});
  EXPECT_EXIT(Run(), ::testing::ExitedWithCode(3), "");
  ui::SetResources(&resources::Kelmar());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "ORVIK Error 9246");
  EXPECT_EQ(copies, 0);
}

// The whole step with the real list, copy phase and clean-up.
TEST_F(InstallStepTest, InstallsAFloppySetEndToEnd) {
  WriteDiskMap("[Disk1]\nA.PRO=12000\nA.BMP=30000\n[Disk2]\nB.DAT=100\n");
  AddMarker("disk1", "Disk1");
  AddMarker("disk2", "Disk2");
  AddPayload("disk1", "A.PRO", "proc A");
  AddPayload("disk1", "A.BMP", "bitmap");
  AddPayload("disk2", "B.DAT", "data");
  Insert("disk1");
  transfer::XferLists lists;
  lists.procs = {"A.PRO"};
  lists.files = {"A.BMP"};
  lists.dataFiles = {"B.DAT"};
  actions.writeXferList = [&](const transfer::InstallPaths& run) { return transfer::WriteXferList(lists, run, plan, false); };
  actions.copyXferFiles = [&](const transfer::InstallPaths& run) {
    return transfer::CopyXferFiles(run, plan, progress, nullptr);
  };
  actions.updateProcDir = [&](const transfer::InstallPaths& run) {
    ++updates;
    EXPECT_EQ(orvik_testing::ReadFile(platform::HostPath(run.tempDir + "\\A.PRO")), "proc A");
    return 1;
  };
  const std::string disk2 = Medium("disk2");
  RecordingFrontend& ui = InstallRecorder();
  ui.OnDialog(1048, [&](ui::Dialog& page) {
    platform::MapDrive('d', disk2);
    page.OnCommand(ui::IDOK);
  });
  EXPECT_EQ(Run(), transfer::InstallResult::Exit);
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(ui.Runs(1048), 1);
  EXPECT_EQ(ui.Seen(1048, 1040), (std::vector<std::string>{"Please insert Disk2"}));
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/pic/A.BMP")), "bitmap");
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/data/B.DAT")), "data");
  EXPECT_FALSE(orvik_testing::Exists(CHost("orvik/proc/_temp")));
  EXPECT_TRUE(ui.Boxes().empty());
}

}  // namespace
}  // namespace xfertest
