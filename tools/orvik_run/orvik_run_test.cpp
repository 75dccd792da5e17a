// orvik_run: maps drives and disk sets, passes arguments, waits for what the
// program leaves running and exits with the status of the last that failed.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "platform/disk_changer.h"
#include "testing/prefix_test.h"

namespace {

using orvik_testing::ReadFile;
using orvik_testing::WriteFile;

const std::string kProgram = std::string(ORVIK_BIN_DIR) + "/orvik_run";

class OrvikRunTest : public orvik_testing::PrefixTest {
 protected:
  int Run(const std::vector<std::string>& args) {
    pid_t pid = ::fork();
    if (pid == 0) {
      std::vector<char*> argv{const_cast<char*>(kProgram.c_str())};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(kProgram.c_str(), argv.data());
      ::_exit(126);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Script(const std::string& host, const std::string& body) {
    WriteFile(host, "#!/bin/sh\n" + body);
    ASSERT_EQ(::chmod(host.c_str(), 0755), 0);
  }
  std::string DriveTarget(char letter) {
    char target[4096] = {};
    ssize_t n = ::readlink((prefix_ + "/dosdevices/" + std::string(1, letter) + ":").c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<size_t>(n)) : "";
  }
  // A chain: `boot` ends with `bootStatus` after leaving `late` running,
  // which ends with `lateStatus` once `boot` is gone.
  int Chain(int bootStatus, int lateStatus) {
    Script(work_ + "/late.sh", "while kill -0 $PPID_OF_BOOT 2>/dev/null; do sleep 0.01; done\nexit " +
                                   std::to_string(lateStatus) + "\n");
    Script(work_ + "/boot.sh", "PPID_OF_BOOT=$$ \"" + work_ + "/late.sh\" &\nexit " + std::to_string(bootStatus) + "\n");
    return Run({work_ + "/boot.sh"});
  }
};

TEST_F(OrvikRunTest, MapsTheDriveAndPassesArgumentsAndStatus) {
  Script(work_ + "/SETUP.EXE", "printf '%s|' \"$@\" > \"" + work_ + "/args.txt\"\nexit 7\n");
  EXPECT_EQ(Run({"--drive", "A:=" + work_, "a:\\setup.exe", "-d", "two words"}), 7);
  EXPECT_EQ(ReadFile(work_ + "/args.txt"), "-d|two words|");
  char target[4096] = {};
  ASSERT_GT(::readlink((prefix_ + "/dosdevices/a:").c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(std::string(target), work_);
}

TEST_F(OrvikRunTest, WaitsForWhatTheProgramLeavesRunning) {
  // A bootstrap that starts a slower program in the background and ends.
  Script(work_ + "/late.sh", "sleep 0.5\necho done > \"" + work_ + "/late.txt\"\n");
  Script(work_ + "/boot.sh", "\"" + work_ + "/late.sh\" &\nexit 0\n");
  EXPECT_EQ(Run({work_ + "/boot.sh"}), 0);
  EXPECT_EQ(ReadFile(work_ + "/late.txt"), "done\n");
}

TEST_F(OrvikRunTest, ExitsWithTheLastFailureOfTheChain) {
  EXPECT_EQ(Chain(0, 86), 86);  // the bootstrap ends well, the installer it started does not
  EXPECT_EQ(Chain(5, 3), 3);
  EXPECT_EQ(Chain(4, 0), 4);
  EXPECT_EQ(Chain(0, 0), 0);
}

TEST_F(OrvikRunTest, DiskSetPutsDiskOneInAndLoadsTheOthersOnRequest) {
  const std::string set = work_ + "/set";
  for (const char* disk : {"", "/Disk1", "/disk2"}) ASSERT_EQ(::mkdir((set + disk).c_str(), 0777), 0);
  Script(work_ + "/show.sh", "echo \"$ORVIK_MEDIA_A\" > \"" + work_ + "/media.txt\"\n");
  EXPECT_EQ(Run({"--media", "a:=" + set, work_ + "/show.sh"}), 0);
  EXPECT_EQ(DriveTarget('a'), set + "/Disk1");
  EXPECT_EQ(ReadFile(work_ + "/media.txt"), set + "\n");

  // What a program on that drive does when the operator confirms a prompt.
  ::setenv(platform::DiskSetVariable('a').c_str(), set.c_str(), 1);
  EXPECT_TRUE(platform::LoadDisk('A', "Disk2"));  // found in any letter case
  EXPECT_EQ(DriveTarget('a'), set + "/disk2");
  EXPECT_FALSE(platform::LoadDisk('a', "Disk3"));
  EXPECT_FALSE(platform::LoadDisk('a', ".."));
  EXPECT_EQ(DriveTarget('a'), set + "/disk2");
  EXPECT_FALSE(platform::LoadDisk('b', "Disk1"));  // no set in drive B:
  ::unsetenv(platform::DiskSetVariable('a').c_str());

  EXPECT_EQ(Run({"--media", "a:=" + work_, work_ + "/show.sh"}), 2);  // no Disk1 there
  EXPECT_EQ(Run({"--media", "a:=" + work_ + "/none", work_ + "/show.sh"}), 2);
}

TEST_F(OrvikRunTest, UnmappedOrMissingProgramsFail) {
  EXPECT_EQ(Run({"Q:\\setup.exe"}), 127);
  EXPECT_EQ(Run({work_ + "/none"}), 127);
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Run({"--drive", "A=" + work_, "x"}), 2);
}

}  // namespace
