// build/bin/datenum run as a child process in a throw-away prefix, its boxes
// answered from an answer file: exit status and the file byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "testing/host_files.h"
#include "testing/host_platform.h"
#include "testing/program_runner.h"
#include "testing/sandbox.h"

namespace {

// M[1]..M[20] as the tests write them.
std::string MLines() {
  std::string text;
  for (int i = 1; i <= 20; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "%.12g\n", i * 1.5);
    text += line;
  }
  return text;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orvik_testing::WriteFile(prefix_.OnC("C:\\orvik\\orvik.ini"),
                      "[Startup]\r\nprocdir=C:\\orvik\\proc\r\nuser_data_dir=C:\\orvik\\data\\\r\n"
                      "user_cwd=C:\\orvik\r\n");
    dose_ = prefix_.OnC("C:\\orvik\\data\\dosdose.dat");
  }

  // Runs datenum with `args` under TZ `tz`, its boxes answered by `answers`;
  // returns the exit status.
  int Run(const std::vector<std::string>& args, const std::string& answers, const std::string& tz = "UTC0") {
    std::map<std::string, std::string> env = prefix_.ScriptEnv(answers);
    env["TZ"] = tz;
    return orvik_testing::RunProgram(orvik_testing::ProgramPath("datenum"), args, env, "").exitStatus;
  }
  std::string Transcript() const { return prefix_.Transcript(); }

  orvik_testing::Sandbox prefix_;
  std::string dose_;
};

TEST_F(ProgramTest, ConvertsAndWritesMem1One) {
  orvik_testing::WriteFile(dose_, orvik_testing::JoinLines({"0", "0", "05-Mar-01 14:30"}) + MLines() + "24\n25\n");
  EXPECT_EQ(Run({"C:\\orvik\\orvik.ini"}, ""), 0) << Transcript();
  EXPECT_EQ(orvik_testing::ReadFile(dose_), orvik_testing::JoinLines({"983802600", "1", "05-Mar-01 14:30"}) + MLines());
  EXPECT_EQ(Transcript().find("box "), std::string::npos);
}

TEST_F(ProgramTest, LocalTimeZoneDecides) {
  orvik_testing::WriteFile(dose_, orvik_testing::JoinLines({"0", "0", "05-Mar-01 14:30"}) + MLines());
  EXPECT_EQ(Run({"C:\\orvik\\orvik.ini"}, "", "EST5"), 0) << Transcript();
  EXPECT_EQ(orvik_testing::ReadFile(dose_), orvik_testing::JoinLines({"983820600", "1", "05-Mar-01 14:30"}) + MLines());
}

TEST_F(ProgramTest, CommaEndsThePathAndTheRestIsIgnored) {
  orvik_testing::WriteFile(dose_, orvik_testing::JoinLines({"0", "0", "01-Jan-70 00:00"}) + MLines());
  EXPECT_EQ(Run({"c:\\ORVIK\\orvik.ini,C:\\nothing.ini", "more"}, ""), 0) << Transcript();
  EXPECT_EQ(orvik_testing::ReadFile(dose_), orvik_testing::JoinLines({"0", "1", "01-Jan-70 00:00"}) + MLines());
}

TEST_F(ProgramTest, ConversionErrorIsAnsweredAndReported) {
  orvik_testing::WriteFile(dose_, orvik_testing::JoinLines({"55.5", "1", "05-Mar-01 24:00"}) + MLines());
  EXPECT_EQ(Run({"C:\\orvik\\orvik.ini"}, "box contains \"Hours must be 0 to 23.\" OK\n"), 0)
      << Transcript();
  EXPECT_EQ(orvik_testing::ReadFile(dose_), orvik_testing::JoinLines({"55.5", "-1", "05-Mar-01 24:00"}) + MLines());
  EXPECT_NE(Transcript().find("box \"DATENUM Error\" \"Hours must be 0 to 23.\""), std::string::npos)
      << Transcript();
}

TEST_F(ProgramTest, NoInitialisationFileName) {
  EXPECT_EQ(Run({}, "box contains \"initialization file name required\" OK\n"), 1) << Transcript();
  EXPECT_NE(Transcript().find("box \"DATENUM:  Error\" \"ORVIK initialization file name required!\""),
            std::string::npos)
      << Transcript();
}

TEST_F(ProgramTest, MissingRegisterFile) {
  EXPECT_EQ(Run({"C:\\orvik\\orvik.ini"},
                "box contains \"Cannot open \" OK\nbox contains \"<get_dose>\" OK\n"),
            1)
      << Transcript();
  std::string t = Transcript();
  EXPECT_NE(t.find("box \"Error\" \"Cannot open \\\"C:\\\\orvik\\\\data\\\\dosdose.dat\\\" for reading.\""),
            std::string::npos)
      << t;
  EXPECT_FALSE(orvik_testing::Exists(dose_));
}

TEST_F(ProgramTest, UnansweredBoxEndsWithStatus86) {
  orvik_testing::WriteFile(dose_, orvik_testing::JoinLines({"0", "0", "05-Mar-01 12"}) + MLines());
  EXPECT_EQ(Run({"C:\\orvik\\orvik.ini"}, ""), 86);
}

}  // namespace
