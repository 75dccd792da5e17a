// The procdir inspection program: list and check, host and DOS paths.
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dos_path.h"
#include "platform/hfile.h"
#include "testing/host_files.h"
#include "testing/host_platform.h"
#include "testing/program_runner.h"
#include "testing/sandbox.h"
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
    box_ = std::make_unique<orvik_testing::Sandbox>(orvik_testing::Sandbox::kThisProcess);
    dir_ = box_->root;
    proc_ = box_->OnC("C:\\proc");
    orvik_testing::MakeDirs(proc_);
  }
  void TearDown() override { box_.reset(); }
  void Write(const std::string& hostPath, const std::string& bytes) { orvik_testing::WriteFile(hostPath, bytes); }
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

  std::unique_ptr<orvik_testing::Sandbox> box_;
  std::string dir_, proc_;  // the test's folder, the host folder of C:\\proc
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
  orvik_testing::RemoveTree(proc_ + "/2.pro");
  EXPECT_EQ(Run({"check", "C:\\proc\\proc.dir"}), 1);
  EXPECT_EQ(out_.str(), "C:\\proc\\proc.dir: entry at record 3: file 2.pro is missing from C:\\proc\\\n");
  EXPECT_EQ(Run({"check", "--no-files", "C:\\proc\\proc.dir"}), 0);

  // A copy of the index checked against the folder it describes.
  Write(dir_ + "/copy/proc.dir", orvik_testing::ReadFile(proc_ + "/proc.dir"));
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
TEST_F(ToolTest, CheckReportsPathFileNames) {
  Write(proc_ + "/proc.dir", Record('E', true, true, "..\\x.pro", "A"));
  EXPECT_EQ(Run({"check", "C:\\proc\\proc.dir"}), 1);
  EXPECT_NE(out_.str().find("entry at record 0: file name \"..\\x.pro\" is not a plain file name"), std::string::npos)
      << out_.str();
  EXPECT_EQ(out_.str().find("missing"), std::string::npos) << out_.str();
}

TEST_F(ToolTest, CheckReportsALinkedIndex) {
  SKIP_UNLESS_POSIX("an index that is a symbolic link");
  Write(dir_ + "/real.dir", Record('E', true, true, "1.pro", "A"));
  Write(proc_ + "/1.pro", "x");
  ASSERT_TRUE(orvik_testing::MakeSymlink(dir_ + "/real.dir", proc_ + "/proc.dir"));
  EXPECT_EQ(Run({"check", "C:\\proc\\proc.dir"}), 1);
  EXPECT_NE(err_.str().find("a symbolic link"), std::string::npos) << err_.str();
}

TEST_F(ToolTest, HostPathsAbsoluteAndRelative) {
  Healthy();
  EXPECT_EQ(Run({"check", proc_ + "/proc.dir"}), 0) << err_.str();
  EXPECT_EQ(procdir_tool::ArgumentToDosPath("C:\\x\\proc.dir"), "C:\\x\\proc.dir");
  EXPECT_EQ(procdir_tool::ArgumentToDosPath("\\\\srv\\share\\proc.dir"), "\\\\srv\\share\\proc.dir");

  std::string was = orvik_testing::CurrentFolder();
  ASSERT_TRUE(orvik_testing::ChangeFolder(proc_));
  int status = Run({"list", "proc.dir"});
  orvik_testing::ChangeFolder(was);
  EXPECT_EQ(status, 0) << err_.str();
  EXPECT_NE(out_.str().find("17.PRO"), std::string::npos);
}

TEST_F(ToolTest, HostPathsOutsideThePrefixAreOnDriveZ) {
  SKIP_UNLESS_POSIX("the prefix's drive Z: onto the host's root");
  EXPECT_EQ(procdir_tool::ArgumentToDosPath("/etc/../tmp/p.dir"), "Z:\\tmp\\p.dir");
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
  std::vector<std::string> args = {"check", proc_ + "/proc.dir"};
  orvik_testing::RunResult run = orvik_testing::RunProgram(PROCDIR_PROGRAM, args, {}, "");
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("healthy: 5 records"), std::string::npos) << run.out;

  orvik_testing::RemoveTree(proc_ + "/17.pro");
  EXPECT_EQ(orvik_testing::RunProgram(PROCDIR_PROGRAM, args, {}, "").exitStatus, 1);
}

}  // namespace
