// Processes: WinExec's command line, child environment and current
// directory, the viewer, the transcript, time and ExitProcess.
#include "platform/process.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <thread>
#include <vector>

#include "testing/prefix_test.h"
#include "platform/transcript.h"

namespace platform {
namespace {

// Writes its argument count, arguments, ORVIK_SCRIPT_LINE, working folder,
// starter and prefix to out.txt beside itself, renamed into place when
// complete.
const char kChild[] =
    "#!/bin/sh\n"
    "out=\"$(dirname \"$0\")/out.txt\"\n"
    "{ echo \"argc=$#\"; for a in \"$@\"; do echo \"arg=[$a]\"; done;\n"
    "  echo \"line=$ORVIK_SCRIPT_LINE\"; echo \"cwd=$(pwd -P)\";\n"
    "  echo \"starter=$ORVIK_PARENT_PID\"; echo \"prefix=$ORVIK_PREFIX\"; } > \"$out.tmp\"\n"
    "mv \"$out.tmp\" \"$out\"\n";

class ProcessTest : public orvik_testing::PrefixTest {
 protected:
  void SetUp() override {
    PrefixTest::SetUp();
    ::unsetenv("ORVIK_VIEWER");
    transcript_ = root_ + "/transcript.txt";
  }
  void TearDown() override {
    ::unsetenv("ORVIK_VIEWER");
    ::unsetenv("ORVIK_TRANSCRIPT");
    PrefixTest::TearDown();
  }
  std::string MakeChild(const std::string& hostDir) {
    std::string path = hostDir + "/child.sh";
    orvik_testing::WriteFile(path, kChild);
    EXPECT_EQ(::chmod(path.c_str(), 0755), 0);
    return path;
  }
  // Waits for the child's report (a few seconds at most).
  std::string WaitForOutput(const std::string& hostDir) {
    std::string out = hostDir + "/out.txt";
    for (int i = 0; i < 500; ++i) {
      struct stat st;
      if (::stat(out.c_str(), &st) == 0) return orvik_testing::ReadFile(out);
      ::usleep(10000);
    }
    ADD_FAILURE() << "no output from the child in " << hostDir;
    return "";
  }
  std::string transcript_;
};

TEST_F(ProcessTest, RestOfTheLineIsExactlyOneArgument) {
  MakeChild(driveC_);
  EXPECT_EQ(WinExec("C:\\CHILD.SH A:\\  -d \"quoted part\"", SW_SHOW), 33u);
  EXPECT_EQ(WaitForOutput(driveC_),
            "argc=1\narg=[A:\\  -d \"quoted part\"]\nline=\ncwd=" + driveC_ + "\nstarter=" +
                std::to_string(::getpid()) + "\nprefix=" + prefix_ + "\n");
}

TEST_F(ProcessTest, NoRestMeansNoArgument) {
  MakeChild(driveC_);
  EXPECT_EQ(WinExec("C:\\child.sh", SW_SHOW), 33u);
  EXPECT_EQ(WaitForOutput(driveC_).substr(0, 7), "argc=0\n");
  ::unlink((driveC_ + "/out.txt").c_str());
  EXPECT_EQ(WinExec("C:\\child.sh ", SW_SHOW), 33u);
  EXPECT_EQ(WaitForOutput(driveC_).substr(0, 7), "argc=0\n");
}

TEST_F(ProcessTest, QuotedProgramRunsToItsClosingQuote) {
  std::string dir = driveC_ + "/My Tools";
  ASSERT_EQ(::mkdir(dir.c_str(), 0777), 0);
  MakeChild(dir);
  EXPECT_EQ(WinExec("\"C:\\my tools\\child.sh\" x y", SW_SHOW), 33u);
  std::string out = WaitForOutput(dir);
  EXPECT_NE(out.find("argc=1\narg=[x y]\n"), std::string::npos) << out;
}

TEST_F(ProcessTest, ChildGetsEnvironmentAndCurrentDirectory) {
  MakeChild(driveC_);
  ASSERT_EQ(_chdir("C:\\Windows\\TEMP"), 0);
  SetChildEnvironment("ORVIK_SCRIPT_LINE", "17");
  EXPECT_EQ(WinExec("..\\..\\child.sh", SW_SHOW), 33u);
  std::string out = WaitForOutput(driveC_);
  SetChildEnvironment("ORVIK_SCRIPT_LINE", "");
  EXPECT_NE(out.find("line=17\n"), std::string::npos) << out;
  EXPECT_NE(out.find("cwd=" + driveC_ + "/windows/temp\n"), std::string::npos) << out;
}

TEST_F(ProcessTest, ChildGetsTheAbsolutePrefixWhenItWasGivenRelative) {
  MakeChild(driveC_);
  ASSERT_EQ(::chdir(root_.c_str()), 0);
  ::setenv("ORVIK_PREFIX", "prefix", 1);
  ResetPlatformForTesting();
  ASSERT_EQ(PrefixDir(), prefix_);
  ASSERT_EQ(_chdir("C:\\windows\\temp"), 0);
  EXPECT_EQ(WinExec("C:\\child.sh", SW_SHOW), 33u);
  std::string out = WaitForOutput(driveC_);
  EXPECT_NE(out.find("\nprefix=" + prefix_ + "\n"), std::string::npos) << out;
}

TEST_F(ProcessTest, MissingOrUnrunnableProgramsAreReported) {
  EXPECT_EQ(WinExec("C:\\missing.exe arg", SW_SHOW), 2u);
  EXPECT_EQ(WinExec("Q:\\setup.exe", SW_SHOW), 2u);
  EXPECT_EQ(WinExec("C:\\windows", SW_SHOW), 2u);
  EXPECT_EQ(WinExec("", SW_SHOW), 2u);
  orvik_testing::WriteFile(driveC_ + "/data.txt", "not a program");
  ASSERT_EQ(::chmod((driveC_ + "/data.txt").c_str(), 0644), 0);
  EXPECT_LE(WinExec("C:\\data.txt", SW_SHOW), 31u);
}

TEST_F(ProcessTest, EveryCallIsInTheTranscript) {
  ::setenv("ORVIK_TRANSCRIPT", transcript_.c_str(), 1);
  MakeChild(driveC_);
  EXPECT_EQ(WinExec("C:\\missing.exe \"a\"", SW_SHOW), 2u);
  EXPECT_EQ(WinExec("C:\\child.sh x", SW_SHOW), 33u);
  WaitForOutput(driveC_);
  EXPECT_EQ(orvik_testing::ReadFile(transcript_),
            "exec \"C:\\\\missing.exe \\\"a\\\"\" 2\n"
            "exec \"C:\\\\child.sh x\" 33\n");
}

TEST_F(ProcessTest, WriteExeStartsTheConfiguredViewer) {
  std::string viewer = work_ + "/viewer.sh";
  orvik_testing::WriteFile(viewer, "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"" + work_ +
                                     "/out.tmp\"\nmv \"" + work_ + "/out.tmp\" \"" + work_ + "/out.txt\"\n");
  ASSERT_EQ(::chmod(viewer.c_str(), 0755), 0);
  ::setenv("ORVIK_VIEWER", viewer.c_str(), 1);
  EXPECT_EQ(WinExec("Write.EXE \"C:\\windows\\temp\\~ovprocedureinstall\\readme.txt\"", SW_SHOW), 33u);
  EXPECT_EQ(WaitForOutput(work_), "1|C:\\windows\\temp\\~ovprocedureinstall\\readme.txt");
}

TEST_F(ProcessTest, WriteExeWithoutAViewerDoesNothing) {
  const char* display = std::getenv("DISPLAY");
  std::string saved = display ? display : "";
  ::unsetenv("DISPLAY");
  ::setenv("ORVIK_TRANSCRIPT", transcript_.c_str(), 1);
  EXPECT_EQ(WinExec("write.exe \"C:\\readme.txt\"", SW_SHOW), 33u);
  if (display) ::setenv("DISPLAY", saved.c_str(), 1);
  EXPECT_EQ(orvik_testing::ReadFile(transcript_), "exec \"write.exe \\\"C:\\\\readme.txt\\\"\" 33\n");
}

TEST(TranscriptTest, QuoteEscapes) {
  EXPECT_EQ(TranscriptQuote("plain"), "\"plain\"");
  EXPECT_EQ(TranscriptQuote("C:\\a \"b\"\n\r\t"), "\"C:\\\\a \\\"b\\\"\\n\\r\\t\"");
  EXPECT_EQ(TranscriptQuote(""), "\"\"");
}

TEST(TranscriptTest, DisabledWithoutAFile) {
  ::unsetenv("ORVIK_TRANSCRIPT");
  EXPECT_FALSE(TranscriptEnabled());
  TranscriptLine("nowhere");  // must not fail
  ::setenv("ORVIK_TRANSCRIPT", "", 1);
  EXPECT_FALSE(TranscriptEnabled());
  ::unsetenv("ORVIK_TRANSCRIPT");
}

TEST_F(ProcessTest, TranscriptLinesOfThreadsNeverMix) {
  ::setenv("ORVIK_TRANSCRIPT", transcript_.c_str(), 1);
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
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], 1);
    ::close(fds[0]);
    std::printf("buffered text");
    ExitProcess(3);
  }
  ::close(fds[1]);
  std::string text;
  char buf[64];
  ssize_t n;
  while ((n = ::read(fds[0], buf, sizeof buf)) > 0) text.append(buf, size_t(n));
  ::close(fds[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(text, "buffered text");
}

}  // namespace
}  // namespace platform
