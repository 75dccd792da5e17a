// Processes: WinExec's command line, child environment and current
// directory, the viewer, the transcript, time and ExitProcess.
#include "platform/process.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/transcript.h"
#include "testing/host_platform.h"
#include "testing/prefix_test.h"
#include "testing/program_runner.h"
#include "testing/wait_until.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using orvik_testing::SetEnv;

class ProcessTest : public orvik_testing::PrefixTest {
 protected:
  void SetUp() override {
    PrefixTest::SetUp();
    SetEnv("ORVIK_VIEWER", "");
    transcript_ = root_ + "/transcript.txt";
  }
  void TearDown() override {
    SetEnv("ORVIK_VIEWER", "");
    SetEnv("ORVIK_TRANSCRIPT", "");
    PrefixTest::TearDown();
  }
  // Puts the child (exec_child, which reports what it got in out.txt beside
  // itself) into the host folder as child.exe.
  void MakeChild(const std::string& hostDir) {
    fs::copy_file(EXEC_CHILD, hostDir + "/child.exe", fs::copy_options::overwrite_existing);
  }
  // Waits for the child's report.
  std::string WaitForOutput(const std::string& hostDir) {
    std::string out = hostDir + "/out.txt";
    if (!orvik_testing::WaitUntil([&] { return orvik_testing::Exists(out); })) {
      ADD_FAILURE() << "no output from the child in " << hostDir;
      return "";
    }
    return orvik_testing::ReadFile(out);
  }
  // The value of a "name=value" line of a report.
  static std::string Field(const std::string& report, const std::string& name) {
    for (const std::string& line : orvik_testing::Lines(report))
      if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
    return "<none>";
  }
  // A host folder in one spelling: absolute, with the host's separators and
  // no trailing one, and on Windows in lower case, as its names are compared.
  static std::string Folder(const std::string& path) {
    std::string folder = fs::absolute(fs::path(path)).lexically_normal().make_preferred().string();
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    if (!orvik_testing::kPosixHost)
      for (char& c : folder) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folder;
  }
  // The child ran in `expected`.
  static void ExpectCwd(const std::string& report, const std::string& expected) {
    EXPECT_EQ(Folder(Field(report, "cwd")), Folder(expected)) << report;
  }
  std::string transcript_;
};

TEST_F(ProcessTest, ChildGetsItsStarterAndPrefix) {
  MakeChild(driveC_);
  EXPECT_EQ(WinExec("C:\\CHILD.EXE x", SW_SHOW), 33u);
  std::string out = WaitForOutput(driveC_);
  EXPECT_EQ(Field(out, "line"), "");
  ExpectCwd(out, driveC_);
  EXPECT_EQ(Field(out, "starter"), std::to_string(GetCurrentProcessId()));
  EXPECT_EQ(Field(out, "prefix"), prefix_);
}

TEST_F(ProcessTest, RestOfTheLineIsExactlyOneArgument) {
  SKIP_UNLESS_POSIX("Windows hands the child the command line, which the child's C run-time splits into words");
  MakeChild(driveC_);
  EXPECT_EQ(WinExec("C:\\CHILD.EXE A:\\  -d \"quoted part\"", SW_SHOW), 33u);
  EXPECT_EQ(WaitForOutput(driveC_),
            "argc=1\narg=[A:\\  -d \"quoted part\"]\nline=\ncwd=" + driveC_ + "\nstarter=" +
                std::to_string(GetCurrentProcessId()) + "\nprefix=" + prefix_ + "\n");
}

TEST_F(ProcessTest, NoRestMeansNoArgument) {
  MakeChild(driveC_);
  EXPECT_EQ(WinExec("C:\\child.exe", SW_SHOW), 33u);
  EXPECT_EQ(WaitForOutput(driveC_).substr(0, 7), "argc=0\n");
  fs::remove(driveC_ + "/out.txt");
  EXPECT_EQ(WinExec("C:\\child.exe ", SW_SHOW), 33u);
  EXPECT_EQ(WaitForOutput(driveC_).substr(0, 7), "argc=0\n");
}

TEST_F(ProcessTest, QuotedProgramRunsToItsClosingQuote) {
  std::string dir = driveC_ + "/My Tools";
  orvik_testing::MakeDirs(dir);
  MakeChild(dir);
  EXPECT_EQ(WinExec("\"C:\\my tools\\child.exe\" x y", SW_SHOW), 33u);
  std::string out = WaitForOutput(dir);
  SKIP_UNLESS_POSIX("Windows hands the child the command line, which the child's C run-time splits into words");
  EXPECT_NE(out.find("argc=1\narg=[x y]\n"), std::string::npos) << out;
}

TEST_F(ProcessTest, ChildGetsEnvironmentAndCurrentDirectory) {
  MakeChild(driveC_);
  ASSERT_EQ(_chdir("C:\\Windows\\TEMP"), 0);
  SetChildEnvironment("ORVIK_SCRIPT_LINE", "17");
  EXPECT_EQ(WinExec("..\\..\\child.exe", SW_SHOW), 33u);
  std::string out = WaitForOutput(driveC_);
  SetChildEnvironment("ORVIK_SCRIPT_LINE", "");
  EXPECT_EQ(Field(out, "line"), "17");
  ExpectCwd(out, driveC_ + "/windows/temp");
}

TEST_F(ProcessTest, ChildGetsTheAbsolutePrefixWhenItWasGivenRelative) {
  SKIP_UNLESS_POSIX("the prefix of drive C: is a POSIX host's");
  MakeChild(driveC_);
  ASSERT_TRUE(orvik_testing::ChangeFolder(root_));
  SetEnv("ORVIK_PREFIX", "prefix");
  ResetPlatformForTesting();
  ASSERT_EQ(PrefixDir(), prefix_);
  ASSERT_EQ(_chdir("C:\\windows\\temp"), 0);
  EXPECT_EQ(WinExec("C:\\child.exe", SW_SHOW), 33u);
  std::string out = WaitForOutput(driveC_);
  EXPECT_NE(out.find("\nprefix=" + prefix_ + "\n"), std::string::npos) << out;
}

TEST_F(ProcessTest, MissingOrUnrunnableProgramsAreReported) {
  EXPECT_EQ(WinExec("C:\\missing.exe arg", SW_SHOW), 2u);
  orvik_testing::WriteFile(driveC_ + "/data.txt", "not a program");
  EXPECT_LE(WinExec("C:\\data.txt", SW_SHOW), 31u);
  for (const char* command : {"Q:\\setup.exe", "C:\\windows", ""}) EXPECT_LE(WinExec(command, SW_SHOW), 31u) << command;
  SKIP_UNLESS_POSIX("the system's own WinExec gives other numbers for a missing drive, a folder, no name");
  EXPECT_EQ(WinExec("Q:\\setup.exe", SW_SHOW), 2u);
  EXPECT_EQ(WinExec("C:\\windows", SW_SHOW), 2u);
  EXPECT_EQ(WinExec("", SW_SHOW), 2u);
}

TEST_F(ProcessTest, EveryCallIsInTheTranscript) {
  SetEnv("ORVIK_TRANSCRIPT", transcript_);
  MakeChild(driveC_);
  EXPECT_EQ(WinExec("C:\\missing.exe \"a\"", SW_SHOW), 2u);
  EXPECT_EQ(WinExec("C:\\child.exe x", SW_SHOW), 33u);
  WaitForOutput(driveC_);
  EXPECT_EQ(orvik_testing::ReadFile(transcript_),
            "exec \"C:\\\\missing.exe \\\"a\\\"\" 2\n"
            "exec \"C:\\\\child.exe x\" 33\n");
}

TEST_F(ProcessTest, WriteExeStartsTheConfiguredViewer) {
  SKIP_UNLESS_POSIX("write.exe is the system's own program there");
  std::string viewer = work_ + "/viewer.sh";
  orvik_testing::WriteFile(viewer, "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"" + work_ +
                                     "/out.tmp\"\nmv \"" + work_ + "/out.tmp\" \"" + work_ + "/out.txt\"\n");
  orvik_testing::ChangeMode(viewer, 0755);
  SetEnv("ORVIK_VIEWER", viewer);
  EXPECT_EQ(WinExec("Write.EXE \"C:\\windows\\temp\\~ovprocedureinstall\\readme.txt\"", SW_SHOW), 33u);
  EXPECT_EQ(WaitForOutput(work_), "1|C:\\windows\\temp\\~ovprocedureinstall\\readme.txt");
}

TEST_F(ProcessTest, WriteExeWithoutAViewerDoesNothing) {
  SKIP_UNLESS_POSIX("write.exe is the system's own program there");
  const char* display = std::getenv("DISPLAY");
  std::string saved = display ? display : "";
  SetEnv("DISPLAY", "");
  SetEnv("ORVIK_TRANSCRIPT", transcript_);
  EXPECT_EQ(WinExec("write.exe \"C:\\readme.txt\"", SW_SHOW), 33u);
  if (display) SetEnv("DISPLAY", saved);
  EXPECT_EQ(orvik_testing::ReadFile(transcript_), "exec \"write.exe \\\"C:\\\\readme.txt\\\"\" 33\n");
}

TEST(TranscriptTest, QuoteEscapes) {
  EXPECT_EQ(TranscriptQuote("plain"), "\"plain\"");
  EXPECT_EQ(TranscriptQuote("C:\\a \"b\"\n\r\t"), "\"C:\\\\a \\\"b\\\"\\n\\r\\t\"");
  EXPECT_EQ(TranscriptQuote(""), "\"\"");
}

TEST(TranscriptTest, DisabledWithoutAFile) {
  SetEnv("ORVIK_TRANSCRIPT", "");
  EXPECT_FALSE(TranscriptEnabled());
  TranscriptLine("nowhere");  // must not fail
  static char empty[] = "ORVIK_TRANSCRIPT=";  // set and empty (Windows: removed)
  ::putenv(empty);
  EXPECT_FALSE(TranscriptEnabled());
  SetEnv("ORVIK_TRANSCRIPT", "");
}

TEST_F(ProcessTest, TranscriptLinesOfThreadsNeverMix) {
  SetEnv("ORVIK_TRANSCRIPT", transcript_);
  EXPECT_TRUE(TranscriptEnabled());
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 100; ++i) TranscriptLine("thread " + std::to_string(t) + " " + std::string(200, char('a' + t)));
    });
  }
  for (auto& th : threads) th.join();
  std::istringstream in(orvik_testing::ReadFile(transcript_));
  std::string line;
  int count = 0;
  while (std::getline(in, line)) {
    ++count;
    ASSERT_EQ(line.size(), 209u) << line;
    char c = line[7];
    EXPECT_EQ(line.substr(9), std::string(200, char('a' + (c - '0'))));
  }
  EXPECT_EQ(count, 400);
}

TEST(ProcessBasics, CommandLineIsArgumentsJoinedByBlanks) {
  char a0[] = "prog", a1[] = "A:\\", a2[] = "-d", a3[] = "";
  char* argv[] = {a0, a1, a2, a3, nullptr};
  EXPECT_EQ(CommandLineFromArgs(3, argv), "A:\\ -d");
  EXPECT_EQ(CommandLineFromArgs(4, argv), "A:\\ -d ");
  EXPECT_EQ(CommandLineFromArgs(1, argv), "");
}

TEST(ProcessBasics, SleepWaitsOnTheTickCount) {
  DWORD start = GetTickCount();
  Sleep(60);
  DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 60u);
}

TEST(ProcessBasics, ExitProcessFlushesAndEndsWithTheCode) {
  orvik_testing::RunResult run = orvik_testing::RunProgram(EXEC_CHILD, {"--exit-process"}, {}, "");
  EXPECT_EQ(run.exitStatus, 3) << run.err;
  EXPECT_EQ(run.out, "buffered text");
}

}  // namespace
}  // namespace platform
