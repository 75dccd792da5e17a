// The procdir inspection program: list and check, host and DOS paths.
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dos_path.h"
#include "platform/hfile.h"
#include "tools/procdir/procdir_tool.h"

namespace {

std::string Pad(const std::string& text, std::size_t width) {
  std::string out = text;
  out.resize(width, ' ');
  return out;
}

std::string Record(char kind, bool first, bool last, const std::string& file, const std::string& name) {
  return std::string(" ") + kind + (first ? 'F' : ' ') + (last ? 'L' : ' ') + ' ' + Pad(file, 13) + Pad(name, 55) +
         "\r\n";
}

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/orvik_procdir_tool_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ::setenv("ORVIK_PREFIX", (dir_ + "/prefix").c_str(), 1);
    platform::ResetPlatformForTesting();
    proc_ = platform::PrefixDir() + "/drive_c/proc";
    std::filesystem::create_directories(proc_);
  }
  void TearDown() override {
    platform::ResetPlatformForTesting();
    ::unsetenv("ORVIK_PREFIX");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  void Write(const std::string& hostPath, const std::string& bytes) {
    std::ofstream(hostPath, std::ios::binary | std::ios::trunc) << bytes;
  }
  // A healthy folder: three entries, one free record, the files beside it.
  void Healthy() {
    Write(proc_ + "/proc.dir", Record('E', true, false, "1.pro", "Digital Meter") +
                                   Record('E', false, true, "1.pro", "DMM") +
                                   "X" + std::string(72, ' ') + "\r\n" + Record('H', true, true, "2.pro", "Sub") +
                                   Record(' ', true, true, "17.PRO", "Scope 2"));
    for (const char* file : {"1.pro", "2.pro", "17.pro"}) Write(proc_ + "/" + file, "x");
  }
  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return procdir_tool::Run(args, out_, err_);
  }

  std::string dir_, proc_;
  std::ostringstream out_, err_;
};

TEST_F(ToolTest, ListPrintsOneLinePerEntry) {
  Healthy();
  EXPECT_EQ(Run({"list", "C:\\proc\\proc.dir"}), 0);
  EXPECT_EQ(out_.str(),
            "    0     1  -E  1.pro         \"Digital Meter\" \"DMM\"\n"
            "    3     3  -H  2.pro         \"Sub\"\n"
            "    4     4  --  17.PRO        \"Scope 2\"\n");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(ToolTest, CheckOfAHealthyFolder) {
  Healthy();
  EXPECT_EQ(Run({"check", "C:\\proc\\proc.dir"}), 0);
  EXPECT_EQ(out_.str(), "C:\\proc\\proc.dir: healthy: 5 records, 3 entries, 1 free\n");
}

TEST_F(ToolTest, CheckFindsMissingFilesUnlessToldNotTo) {
  Healthy();
  std::filesystem::remove(proc_ + "/2.pro");
  EXPECT_EQ(Run({"check", "C:\\proc\\proc.dir"}), 1);
  EXPECT_EQ(out_.str(), "C:\\proc\\proc.dir: entry at record 3: file 2.pro is missing from C:\\proc\\\n");
  EXPECT_EQ(Run({"check", "--no-files", "C:\\proc\\proc.dir"}), 0);

  // A copy of the index checked against the folder it describes.
  std::filesystem::create_directories(dir_ + "/copy");
  std::filesystem::copy_file(proc_ + "/proc.dir", dir_ + "/copy/proc.dir");
  EXPECT_EQ(Run({"check", dir_ + "/copy/proc.dir"}), 1);
  EXPECT_EQ(Run({"check", "--folder", proc_, dir_ + "/copy/proc.dir"}), 1);
  EXPECT_NE(out_.str().find("file 2.pro is missing from C:\\proc\\"), std::string::npos) << out_.str();
  Write(proc_ + "/2.pro", "x");
  EXPECT_EQ(Run({"check", "--folder", "C:\\proc", dir_ + "/copy/proc.dir"}), 0) << out_.str();
}

TEST_F(ToolTest, CheckReportsEveryProblemAndExits1) {
  Write(proc_ + "/proc.dir", Record('E', true, false, "1.pro", "A") + Record('E', true, true, "2.pro", "a") + "junk");
  Write(proc_ + "/1.pro", "x");
  Write(proc_ + "/2.pro", "x");
  EXPECT_EQ(Run({"check", "C:\\proc\\proc.dir"}), 1);
  EXPECT_EQ(out_.str(),
            "C:\\proc\\proc.dir: size 154 is not a whole number of 75-byte records (4 bytes left over at the end)\n"
            "C:\\proc\\proc.dir: entry at record 0: ends without an 'L' record (record 1 starts another)\n"
            "C:\\proc\\proc.dir: name \"a\" is in the entries at records 0 and 1\n");
  // list shows what it can and names the problems on stderr.
  EXPECT_EQ(Run({"list", "C:\\proc\\proc.dir"}), 1);
  EXPECT_EQ(out_.str(),
            "    0     0  -E  1.pro         \"A\"\n"
            "    1     1  -E  2.pro         \"a\"\n");
  EXPECT_NE(err_.str().find("ends without an 'L' record"), std::string::npos);
}

// What the installer refuses, check reports: a file name that is not a plain
// name in the folder, and an index that is a link.
TEST_F(ToolTest, CheckReportsPathFileNamesAndALinkedIndex) {
  Write(proc_ + "/proc.dir", Record('E', true, true, "..\\x.pro", "A"));
  EXPECT_EQ(Run({"check", "C:\\proc\\proc.dir"}), 1);
  EXPECT_NE(out_.str().find("entry at record 0: file name \"..\\x.pro\" is not a plain file name"), std::string::npos)
      << out_.str();
  EXPECT_EQ(out_.str().find("missing"), std::string::npos) << out_.str();

  Write(dir_ + "/real.dir", Record('E', true, true, "1.pro", "A"));
  Write(proc_ + "/1.pro", "x");
  ASSERT_EQ(::unlink((proc_ + "/proc.dir").c_str()), 0);
  ASSERT_EQ(::symlink((dir_ + "/real.dir").c_str(), (proc_ + "/proc.dir").c_str()), 0);
  err_.str("");
  EXPECT_EQ(Run({"check", "C:\\proc\\proc.dir"}), 1);
  EXPECT_NE(err_.str().find("a symbolic link"), std::string::npos) << err_.str();
}

TEST_F(ToolTest, HostPathsAbsoluteAndRelative) {
  Healthy();
  EXPECT_EQ(Run({"check", proc_ + "/proc.dir"}), 0) << err_.str();
  EXPECT_EQ(procdir_tool::ArgumentToDosPath("C:\\x\\proc.dir"), "C:\\x\\proc.dir");
  EXPECT_EQ(procdir_tool::ArgumentToDosPath("\\\\srv\\share\\proc.dir"), "\\\\srv\\share\\proc.dir");
  EXPECT_EQ(procdir_tool::ArgumentToDosPath("/etc/../tmp/p.dir"), "Z:\\tmp\\p.dir");

  std::filesystem::path was = std::filesystem::current_path();
  std::filesystem::current_path(proc_);
  int status = Run({"list", "proc.dir"});
  std::filesystem::current_path(was);
  EXPECT_EQ(status, 0) << err_.str();
  EXPECT_NE(out_.str().find("17.PRO"), std::string::npos);
}

TEST_F(ToolTest, AnIndexBeingWrittenIsNotRead) {
  Healthy();
  platform::OFSTRUCT of;
  platform::HFILE writer =
      platform::OpenFile("C:\\proc\\proc.dir", &of, platform::OF_READWRITE | platform::OF_SHARE_DENY_WRITE);
  ASSERT_NE(writer, platform::HFILE_ERROR);
  EXPECT_EQ(Run({"check", "C:\\proc\\proc.dir"}), 2);
  EXPECT_EQ(err_.str(), "procdir: C:\\proc\\proc.dir: in use: an installer is writing it; try again later\n");
  platform::_lclose(writer);
  EXPECT_EQ(Run({"check", "C:\\proc\\proc.dir"}), 0);
}

TEST_F(ToolTest, UsageAndMissingIndex) {
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Run({"list"}), 2);
  EXPECT_EQ(Run({"check", "--no-files", "--folder", "C:\\proc", "C:\\proc\\proc.dir"}), 2);
  EXPECT_EQ(Run({"remove", "C:\\proc\\proc.dir"}), 2);
  EXPECT_NE(err_.str().find("usage: procdir list"), std::string::npos);
  EXPECT_EQ(Run({"check", "C:\\proc\\none.dir"}), 2);
  EXPECT_EQ(err_.str(), "procdir: C:\\proc\\none.dir: not found\n");
  EXPECT_EQ(Run({"check", "--folder", "C:\\nowhere", "C:\\proc\\proc.dir"}), 2);
}

TEST_F(ToolTest, TheProgramExitsWithTheStatus) {
  Healthy();
  std::string command = std::string(PROCDIR_PROGRAM) + " check " + proc_ + "/proc.dir";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char line[256] = {};
  ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
  int status = ::pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(std::string(line).find("healthy: 5 records"), std::string::npos) << line;

  std::filesystem::remove(proc_ + "/17.pro");
  status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
