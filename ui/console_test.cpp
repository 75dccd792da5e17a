// The sample program as a child process: the console frontend driven through
// standard input gives the same transcript as an answer file, end of input
// ends it with 86, and a program started with WinExec continues the answer
// file.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>

#include "testing/program_runner.h"
#include "testing/ui_test.h"
#include "testing/wait_until.h"

namespace ui {
namespace {

using orvik_testing::ReadFile;
using orvik_testing::Lines;
using orvik_testing::RunResult;
using V = std::vector<std::string>;

struct ChildRun {
  int status = -1;  // exit status
  std::string out, err;
};

class SampleTest : public orvik_testing::UiTest {
 protected:
  // Runs ui_sample with `args` and the test's environment plus `env`,
  // feeding `input` to its standard input (with `delayMs`, that long after
  // its first window has come); waits for it and for the program it starts.
  ChildRun Sample(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                  const std::string& input, int delayMs = 0) {
    std::chrono::steady_clock::time_point feedAt;
    bool windowUp = delayMs == 0;
    RunResult result = orvik_testing::RunChild(
        UI_SAMPLE_PATH, args, env, "",
        [&](int fd) {
          if (!windowUp && ReadFile(transcript_).find("window ") != std::string::npos) {
            windowUp = true;
            feedAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs);
          }
          if (!windowUp || std::chrono::steady_clock::now() < feedAt) return false;
          orvik_testing::WriteAll(fd, input);
          return true;
        },
        120);
    EXPECT_EQ(result.err.find("[test runner: timed out"), std::string::npos) << "ui_sample did not end";
    return {result.exitStatus, orvik_testing::ProgramText(result.out), orvik_testing::ProgramText(result.err)};
  }

  std::map<std::string, std::string> Console() { return {{"ORVIK_UI", "console"}}; }

  // Runs ui_sample on the console with a terminal as its standard input:
  // each line of `typed` is typed once the output holds its `after` text.
  // Returns the output.
  std::string AtTerminal(const std::vector<std::pair<std::string, std::string>>& typed) {
    RunResult result = orvik_testing::RunAtTerminal(UI_SAMPLE_PATH, {}, Console(), typed);
    EXPECT_EQ(result.err.find("[test runner: timed out"), std::string::npos) << "ui_sample did not end";
    return result.out;
  }
};

const char* kScriptAnswers =
    "100 set 1001 \"D:\\New Folder\" toggle 1004 BETA toggle 1004 #4 click 1006\n"
    "100 click 1007\n"
    "box Yes\n"
    "100 click 1008\n"
    "200 set 2001 \"hello world\" click 1\n"
    "100 click 1\n";

const char* kConsoleInput =
    "set 1001 D:\\New Folder\n"
    "toggle 1004 BETA\n"
    "frobnicate\n"
    "toggle 1004 #4\n"
    "click 1006\n"
    "k\n"
    "maybe\n"
    "y\n"
    "show\n"
    "n\n"
    "set 2001 \"hello world\"\n"
    "click 1\n"
    "o\n";

TEST_F(SampleTest, ConsoleGivesTheSameTranscriptAsTheAnswerFile) {
  Answers(kScriptAnswers);
  ChildRun script = Sample({}, {}, "");
  ASSERT_EQ(script.status, 0) << script.err;
  std::string scriptTranscript = ReadFile(transcript_);
  orvik_testing::RemoveTree(transcript_);

  ChildRun console = Sample({}, Console(), kConsoleInput);
  ASSERT_EQ(console.status, 0) << console.err << console.out;
  EXPECT_EQ(ReadFile(transcript_), scriptTranscript);
  V lines = Lines(scriptTranscript);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.front(), "window 100 \"Sample Settings\"");
  EXPECT_EQ(lines.back(), "end 100 1");
  const char* result = "result 1 folder=D:\\New Folder count=3 answer=6 nested=1 work=0\n";
  EXPECT_NE(script.out.find(result), std::string::npos) << script.out;
  EXPECT_NE(console.out.find(result), std::string::npos) << console.out;

  // What the operator saw.
  const std::string& out = console.out;
  for (const char* expected : {
           "== Sample Settings [dialog 100] ==\n",
           "  Folder [1001]: C:\\ORVIK\\\n",
           "  Buttons: [1007] Ask (k)   [1008] Nested (N)   [1009] Work (W)   [1] OK (O)   [2] Cancel (C)\n",
           "> set 1001 D:\\New Folder\n  Folder [1001]: D:\\New Folder\n",
           "> toggle 1004 BETA\n  Chosen [1003] (read-only): BETA\n    [x] #2 BETA\n> ",
           "> frobnicate\n  unknown command frobnicate\n> ",
           "> click 1006\n  (*) [1006] Green\n> ",
           "\n-- Sample Question --\n  Keep the settings?\n  Answer: Yes (Y), No (N)\n> maybe\n",
           "  the box offers Yes or No, not \"maybe\"\n> y\n",
           "== Sample Nested [dialog 200] ==\n  Note [2001]: \n",
           // Back from the nested window, the page is shown whole.
           "> click 1\n\n== Sample Settings [dialog 100] ==\n  Enter the settings below.\n"
           "  Folder [1001]: D:\\New Folder\n",
           "  Chosen [1003] (read-only): hello world\n",
       }) {
    EXPECT_NE(out.find(expected), std::string::npos) << "missing: " << expected << "\nin:\n" << out;
  }
}

TEST_F(SampleTest, HelpExplainsTheCommandsOnce) {
  ChildRun run = Sample({}, Console(), "help\nclick 1\n");
  ASSERT_EQ(run.status, 0) << run.err;
  size_t help = run.out.find("> help\n");
  ASSERT_NE(help, std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  toggle <id> <item>", help), std::string::npos) << run.out;
  // The one-line list comes with the window only, not again for help.
  EXPECT_EQ(run.out.find("Commands:", help), std::string::npos) << run.out;
}

TEST_F(SampleTest, EnterAndButtonTextsPressButtons) {
  // Ask, Enter for the box's Yes, Nested, its OK by text, Enter for OK.
  const std::string record = dir_ + "/recorded.txt";
  auto env = Console();
  env["ORVIK_RECORD"] = record;
  ChildRun run = Sample({}, env, "k\n\nn\nok\n\n");
  ASSERT_EQ(run.status, 0) << run.err << run.out;
  EXPECT_NE(run.out.find("result 1 folder=C:\\ORVIK\\ count=3 answer=6 nested=1 work=0\n"), std::string::npos)
      << run.out;
  // The recording names the buttons pressed.
  V recorded;
  for (const std::string& line : Lines(ReadFile(record)))
    if (line.rfind("#", 0) != 0) recorded.push_back(line);
  EXPECT_EQ(recorded, (V{"100 click 1007", "? box contains \"Keep the settings?\" Yes", "100 click 1008",
                         "? 200 click 1", "100 click 1"}));
}

TEST_F(SampleTest, ModelessBarShowsItsEndBeforeItGoes) {
  ChildRun run = Sample({"bar"}, Console(), "");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("  Starting  100%\nbar done\n"), std::string::npos) << run.out;
}

// Waits until the transcript has `count` lines (a started program runs on
// after its starter has ended).
V WaitForTranscriptLines(const std::string& path, size_t count) {
  V lines;
  orvik_testing::WaitUntil([&] {
    lines = Lines(ReadFile(path));
    return lines.size() >= count;
  });
  return lines;
}

V AnswerLines(const V& transcript) {
  V answers;
  for (const std::string& line : transcript)
    if (line.rfind("answer ", 0) == 0 || line.rfind("end ", 0) == 0) answers.push_back(line);
  return answers;
}

TEST_F(SampleTest, RecordedConsoleSessionReplaysToTheSameTranscript) {
  const std::string record = dir_ + "/recorded.txt";
  std::ofstream(record) << "an earlier recording\n";
  auto env = Console();
  env["ORVIK_RECORD"] = record;
  ChildRun console = Sample({}, env, kConsoleInput);
  ASSERT_EQ(console.status, 0) << console.err;
  std::string consoleTranscript = ReadFile(transcript_);
  V recorded;
  for (const std::string& line : Lines(ReadFile(record)))
    if (line.rfind("#", 0) != 0) recorded.push_back(line);
  EXPECT_EQ(recorded, (V{"100 set 1001 \"D:\\New Folder\"", "100 toggle 1004 \"BETA\"",
                         "100 toggle 1004 \"Delta Two\"", "100 click 1006", "100 click 1007",
                         "? box contains \"Keep the settings?\" Yes", "100 click 1008",
                         "? 200 set 2001 \"hello world\"", "? 200 click 1", "100 click 1"}));

  orvik_testing::RemoveTree(transcript_);
  ChildRun replay = Sample({}, {{"ORVIK_SCRIPT", record}}, "");
  ASSERT_EQ(replay.status, 0) << replay.err;
  EXPECT_EQ(ReadFile(transcript_), consoleTranscript);
}

TEST_F(SampleTest, RecordingGoesOnInTheStartedProgram) {
  const std::string record = dir_ + "/recorded.txt";
  auto env = Console();
  env["ORVIK_RECORD"] = record;
  ChildRun run = Sample({"chain"}, env, "set 2001 parent\nclick 1\nset 2001 child\nclick 1\n");
  ASSERT_EQ(run.status, 0) << run.err;
  V session = AnswerLines(WaitForTranscriptLines(transcript_, 11));
  ASSERT_EQ(session.size(), 6u) << ReadFile(transcript_);

  orvik_testing::RemoveTree(transcript_);
  run = Sample({"chain"}, {{"ORVIK_SCRIPT", record}}, "");
  ASSERT_EQ(run.status, 0) << run.err << ReadFile(record);
  EXPECT_EQ(AnswerLines(WaitForTranscriptLines(transcript_, 11)), session) << ReadFile(record);
}

TEST_F(SampleTest, EndOfInputEndsTheProgramWith86) {
  ChildRun run = Sample({}, Console(), "set 1001 X\n");
  EXPECT_EQ(run.status, 86);
  EXPECT_NE(run.err.find("end of input: no answer for window 100 \"Sample Settings\""), std::string::npos) << run.err;
  V lines = Transcript();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "error \"end of input: no answer for window 100 \\\"Sample Settings\\\"\"");
}

TEST_F(SampleTest, EndOfInputAtABox) {
  ChildRun run = Sample({}, Console(), "k");  // a last line without its line end counts
  EXPECT_EQ(run.status, 86);
  EXPECT_NE(run.err.find("end of input: no answer for box \"Sample Question\""), std::string::npos) << run.err;
}

TEST_F(SampleTest, TimersFireWhileTheConsoleWaits) {
  ChildRun run = Sample({"ticks"}, Console(), "click 1\n", 300);
  ASSERT_EQ(run.status, 0) << run.err;
  int ticks = -1;
  size_t at = run.out.find("result 1 ticks=");
  ASSERT_NE(at, std::string::npos) << run.out;
  ticks = std::atoi(run.out.c_str() + at + 15);
  EXPECT_GE(ticks, 10);
}

TEST_F(SampleTest, SelfClosingWindowLeavesPipedInputToTheNextWindow) {
  ChildRun run = Sample({}, Console(), "w\no\n");
  ASSERT_EQ(run.status, 0) << run.err << run.out;
  EXPECT_NE(run.out.find("work=1"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("== Sample Working [dialog 300] ==\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Step 10  100%\n"), std::string::npos) << run.out;
  V lines = Transcript();
  V tail(lines.end() - 5, lines.end());
  EXPECT_EQ(tail, (V{"answer click 1009", "window 300 \"Sample Working\"", "end 300 1", "answer click 1",
                     "end 100 1"}));
}

TEST_F(SampleTest, WindowThatClosesItselfShowsNoCommandList) {
  SKIP_UNLESS_POSIX("a terminal as standard input");
  std::string out = AtTerminal({{"> ", "w\n"}, {"Step 10  100%\n", "o\n"}});
  size_t work = out.find("== Sample Working [dialog 300] ==\n");
  ASSERT_NE(work, std::string::npos) << out;
  EXPECT_NE(out.find("result 1 "), std::string::npos) << out;
  EXPECT_EQ(out.find("Commands:", work), std::string::npos) << out;
}

TEST_F(SampleTest, BigListIsShownOnceAndChangesOnlyAsChanges) {
  ChildRun run = Sample({"big", "20000"}, Console(), "toggle 1004 #20000\ntoggle 1004 PROC7\nclick 1\n");
  ASSERT_EQ(run.status, 0) << run.err;
  size_t first = run.out.find("    [ ] #19999 PROC19999\n");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(run.out.find("    [ ] #19999 PROC19999\n", first + 1), std::string::npos);
  EXPECT_NE(run.out.find("> toggle 1004 #20000\n  Chosen [1003] (read-only): PROC20000\n    [x] #20000 PROC20000\n> "),
            std::string::npos);
  EXPECT_NE(run.out.find("    [x] #7 PROC7\n> click 1\n"), std::string::npos);
}

TEST_F(SampleTest, ChildStartedWithWinExecContinuesTheAnswerFile) {
  Answers(
      "# parent\n"
      "200 set 2001 parent click 1\n"
      "\n"
      "200 set 2001 child click 1\n");
  ChildRun run = Sample({"chain"}, {}, "");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("chain 1 note=parent\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("exec 33\n"), std::string::npos) << run.out;
  // The child runs on its own; wait for its end line.
  V lines = WaitForTranscriptLines(transcript_, 11);
  ASSERT_EQ(lines.size(), 11u) << ReadFile(transcript_);
  // The parent writes its exec line when the child has started, so the
  // child's first lines may come before it.
  V exec, windows;
  for (const std::string& line : lines) (line.rfind("exec ", 0) == 0 ? exec : windows).push_back(line);
  ASSERT_EQ(exec.size(), 1u);
  EXPECT_EQ(exec[0].rfind("exec \"\\\"", 0), 0u) << exec[0];
  EXPECT_EQ(exec[0].substr(exec[0].size() - 11), "\" child\" 33") << exec[0];
  EXPECT_EQ(windows, (V{"window 200 \"Sample Nested\"", "field 2001 \"\"", "answer set 2001 \"parent\"",
                        "answer click 1", "end 200 1", "window 200 \"Sample Nested\"", "field 2001 \"\"",
                        "answer set 2001 \"child\"", "answer click 1", "end 200 1"}));
}

TEST_F(SampleTest, StartedProgramPassesOverOptionalLinesLeftByItsStarter) {
  Answers("? 100 click 1\n200 set 2001 parent click 1\n? 100 click 1\n? box OK\n200 set 2001 child click 1\n");
  ChildRun run = Sample({"chain"}, {}, "");
  ASSERT_EQ(run.status, 0) << run.err;
  V lines = WaitForTranscriptLines(transcript_, 11);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "answer set 2001 \"child\""), 1) << ReadFile(transcript_);
}

TEST_F(SampleTest, PipedConsoleInputLeavesTheChildItsOwnLines) {
  // The parent reads only up to each line end, so the lines after its own
  // reach the program it starts.
  ChildRun run = Sample({"chain"}, Console(), "set 2001 parent\nclick 1\nset 2001 child\nclick 1\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("chain 1 note=parent\n"), std::string::npos) << run.out;
  V lines = WaitForTranscriptLines(transcript_, 11);
  int childAnswers = 0;
  for (const std::string& line : lines) childAnswers += line == "answer set 2001 \"child\"";
  EXPECT_EQ(childAnswers, 1) << ReadFile(transcript_);
}

TEST_F(SampleTest, UnknownFrontendEndsWith86) {
  ChildRun run = Sample({}, {{"ORVIK_UI", "graphic"}}, "");
  EXPECT_EQ(run.status, 86);
  EXPECT_NE(run.err.find("ORVIK_UI \"graphic\" names no operator frontend"), std::string::npos) << run.err;
}

TEST_F(SampleTest, NativeDialogsAreOnlyInTheWindowsBuild) {
  SKIP_UNLESS_POSIX("the Windows build has the native dialogs");
  ChildRun run = Sample({}, {{"ORVIK_UI", "gui"}}, "");
  EXPECT_EQ(run.status, 86);
  EXPECT_NE(run.err.find("ORVIK_UI \"gui\": this build has no native dialogs"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace ui
