// orvik_run: maps drives, passes arguments, exits with the program's status
// and waits for what the program leaves running.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "platform/test_prefix.h"

namespace {

using platform::testing::ReadHostFile;
using platform::testing::WriteHostFile;

const std::string kProgram = std::string(ORVIK_BIN_DIR) + "/orvik_run";

class OrvikRunTest : public platform::testing::PrefixTest {
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
    WriteHostFile(host, "#!/bin/sh\n" + body);
    ASSERT_EQ(::chmod(host.c_str(), 0755), 0);
  }
};

TEST_F(OrvikRunTest, MapsTheDriveAndPassesArgumentsAndStatus) {
  Script(work_ + "/SETUP.EXE", "printf '%s|' \"$@\" > \"" + work_ + "/args.txt\"\nexit 7\n");
  EXPECT_EQ(Run({"--drive", "A:=" + work_, "a:\\setup.exe", "-d", "two words"}), 7);
  EXPECT_EQ(ReadHostFile(work_ + "/args.txt"), "-d|two words|");
  char target[4096] = {};
  ASSERT_GT(::readlink((prefix_ + "/dosdevices/a:").c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(std::string(target), work_);
}

TEST_F(OrvikRunTest, WaitsForWhatTheProgramLeavesRunning) {
  // A bootstrap that starts a slower program in the background and ends.
  Script(work_ + "/late.sh", "sleep 0.5\necho done > \"" + work_ + "/late.txt\"\n");
  Script(work_ + "/boot.sh", "\"" + work_ + "/late.sh\" &\nexit 0\n");
  EXPECT_EQ(Run({work_ + "/boot.sh"}), 0);
  EXPECT_EQ(ReadHostFile(work_ + "/late.txt"), "done\n");
}

TEST_F(OrvikRunTest, UnmappedOrMissingProgramsFail) {
  EXPECT_EQ(Run({"Q:\\setup.exe"}), 127);
  EXPECT_EQ(Run({work_ + "/none"}), 127);
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Run({"--drive", "A=" + work_, "x"}), 2);
}

}  // namespace
