// The program's run in-process: command line, boxes in their order with
// their captions, what is written back, exit statuses.
#include "datenum/datenum_run.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <ctime>
#include <string>
#include <vector>

#include "datenum/dose_location.h"
#include "testing/host_files.h"
#include "testing/host_platform.h"
#include "testing/sandbox.h"
#include "testing/recording_frontend.h"
#include "ui/msgbox.h"

namespace datenum {
namespace {

constexpr unsigned kStopStyle = ui::MB_ICONSTOP | ui::MB_TASKMODAL | ui::MB_OK;

using orvik_testing::ShownBox;

constexpr std::time_t kNow = 979560000;  // 2001-01-15 12:00 UTC
constexpr const char* kIni = "C:\\orvik\\orvik.ini";
constexpr const char* kPath = "C:\\orvik\\data\\dosdose.dat";

// The register file: MEM, MEM1, MEM2 and M[1]..M[20] = 1..20.
std::string DoseText(const std::string& mem, const std::string& mem1, const std::string& mem2) {
  std::string text = orvik_testing::JoinLines({mem, mem1, mem2});
  for (int i = 1; i <= kMExchanged; ++i) text += std::to_string(i) + "\n";
  return text;
}

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = getenv("TZ");
    hadTz_ = tz != nullptr;
    if (hadTz_) oldTz_ = tz;
    orvik_testing::SetEnv("TZ", "UTC0");
    tzset();
    ResetDoseLocationForTesting();
    recorder_ = &orvik_testing::InstallRecorder();
    orvik_testing::WriteFile(prefix_.OnC("C:\\orvik\\orvik.ini"),
                      "[Startup]\nprocdir=C:\\orvik\\proc\nuser_data_dir=C:\\orvik\\data\n");
    host_ = prefix_.OnC("C:\\orvik\\data\\dosdose.dat");
    recorder_->Watch(host_);
  }
  void TearDown() override {
    ResetDoseLocationForTesting();
    if (hadTz_) {
      orvik_testing::SetEnv("TZ", oldTz_);
    } else {
      orvik_testing::SetEnv("TZ", "");
    }
    tzset();
  }
  std::vector<orvik_testing::ShownBox> Boxes() const { return recorder_->Boxes(); }
  void ExpectBoxes(const std::vector<std::pair<std::string, std::string>>& expected) {
    ASSERT_EQ(Boxes().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(Boxes()[i].caption, expected[i].first) << i;
      EXPECT_EQ(Boxes()[i].text, expected[i].second) << i;
      EXPECT_EQ(Boxes()[i].style, kStopStyle) << i;
    }
  }

  orvik_testing::Sandbox prefix_{orvik_testing::Sandbox::kThisProcess};
  orvik_testing::RecordingFrontend* recorder_ = nullptr;
  std::string host_;
  bool hadTz_ = false;
  std::string oldTz_;
};

TEST(IniPathFromCommandLine, FirstWordUpToABlankOrComma) {
  EXPECT_EQ(IniPathFromCommandLine("C:\\orvik\\orvik.ini"), "C:\\orvik\\orvik.ini");
  EXPECT_EQ(IniPathFromCommandLine("C:\\orvik\\orvik.ini,more words"), "C:\\orvik\\orvik.ini");
  EXPECT_EQ(IniPathFromCommandLine("C:\\orvik\\orvik.ini more"), "C:\\orvik\\orvik.ini");
  EXPECT_EQ(IniPathFromCommandLine(" ,, C:\\a.ini,b"), "C:\\a.ini");
  EXPECT_EQ(IniPathFromCommandLine("C:\\Program Files\\orvik.ini"), "C:\\Program");
  EXPECT_EQ(IniPathFromCommandLine(""), "");
  EXPECT_EQ(IniPathFromCommandLine(" , ,"), "");
}

TEST_F(RunTest, ConvertsAndWritesMem1One) {
  orvik_testing::WriteFile(host_, DoseText("0", "0", "05-Mar-01 14:30"));
  EXPECT_EQ(RunDatenum(kIni, kNow), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(orvik_testing::ReadFile(host_), DoseText("983802600", "1", "05-Mar-01 14:30"));
}

TEST_F(RunTest, PathFollowedByACommaAndMoreWords) {
  orvik_testing::WriteFile(host_, DoseText("0", "0", "31-Dec-69 23:59:59"));
  EXPECT_EQ(RunDatenum(std::string(kIni) + ",extra words here", kNow), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(orvik_testing::ReadFile(host_), DoseText("3155759999", "1", "31-Dec-69 23:59:59"));
}

TEST_F(RunTest, ConversionErrorKeepsMemAndWritesMem1MinusOne) {
  orvik_testing::WriteFile(host_, DoseText("123.25", "1", "05-Mar-01 24:00") + "line 24\n");
  EXPECT_EQ(RunDatenum(kIni, kNow), 0);
  ExpectBoxes({{"DATENUM Error", "Hours must be 0 to 23."}});
  // While the box is up the registers are already written back as read.
  EXPECT_EQ(Boxes()[0].snapshot, DoseText("123.25", "1", "05-Mar-01 24:00"));
  EXPECT_EQ(orvik_testing::ReadFile(host_), DoseText("123.25", "-1", "05-Mar-01 24:00"));
}

TEST_F(RunTest, EachConversionErrorShowsItsText) {
  struct Case {
    const char* mem2;
    const char* text;
  };
  const Case cases[] = {
      {"05-Mar-01 14:30:00x", "Buffer size exceeded!  Maximum is 18 characters."},
      {"05-Mar-01", "Date-time string must be \"dd-mon-yy hh:mm[:ss]\""},
      {"29-Feb-01 10:00", "Date must be \"dd-mon-yy\""},
      {"05-Mar-01 12", "Time must be \"hh:mm[:ss]\" in 24hr format."},
      {"05-Mar-01 12:60", "Minutes must be 0 to 59."},
      {"05-Mar-01 12:00:62", "Seconds must be 0 to 61"},
  };
  for (const Case& c : cases) {
    ResetDoseLocationForTesting();
    recorder_ = &orvik_testing::InstallRecorder();
    orvik_testing::WriteFile(host_, DoseText("-7", "1", c.mem2));
    EXPECT_EQ(RunDatenum(kIni, kNow), 0) << c.mem2;
    ExpectBoxes({{"DATENUM Error", c.text}});
    EXPECT_EQ(orvik_testing::ReadFile(host_), DoseText("-7", "-1", c.mem2));
  }
}

TEST_F(RunTest, OverlongMem2IsAConversionErrorAndComesBackWhole) {
  const std::string mem2 = "05-Mar-01 14:30" + std::string(4985, 'x');
  orvik_testing::WriteFile(host_, DoseText("-7", "1", mem2) + "line 24\n");
  EXPECT_EQ(RunDatenum(kIni, kNow), 0);
  ExpectBoxes({{"DATENUM Error", "Buffer size exceeded!  Maximum is 18 characters."}});
  EXPECT_EQ(orvik_testing::ReadFile(host_), DoseText("-7", "-1", mem2));
}

TEST_F(RunTest, NoCommandLine) {
  EXPECT_EQ(RunDatenum("", kNow), 1);
  EXPECT_EQ(RunDatenum(" , ", kNow), 1);
  ExpectBoxes({{"DATENUM:  Error", "ORVIK initialization file name required!"},
               {"DATENUM:  Error", "ORVIK initialization file name required!"}});
}

TEST_F(RunTest, InvalidInitialisationFile) {
  std::string text = DoseText("1", "1", "05-Mar-01 14:30");
  orvik_testing::WriteFile(host_, text);
  EXPECT_EQ(RunDatenum("C:\\orvik\\other.ini", kNow), 1);
  ExpectBoxes({{"Error", "\"C:\\orvik\\other.ini\" is not a valid ORVIK initialization file."},
               {"DATENUM:  Error", "Function <get_dose> failed!"}});
  EXPECT_EQ(orvik_testing::ReadFile(host_), text);
}

TEST_F(RunTest, ShortRegisterFile) {
  std::string text = orvik_testing::JoinLines({"1", "2", "05-Mar-01 14:30", "4", "5", "6", "7", "8", "9", "10"});
  orvik_testing::WriteFile(host_, text);
  EXPECT_EQ(RunDatenum(kIni, kNow), 1);
  ExpectBoxes({{"Error", std::string("Cannot get M[8] from \"") + kPath + "\"."},
               {"DATENUM:  Error", "Function <get_dose> failed!"}});
  EXPECT_EQ(orvik_testing::ReadFile(host_), text);
}

TEST_F(RunTest, MissingRegisterFile) {
  EXPECT_EQ(RunDatenum(kIni, kNow), 1);
  ExpectBoxes({{"Error", std::string("Cannot open \"") + kPath + "\" for reading."},
               {"DATENUM:  Error", "Function <get_dose> failed!"}});
}

TEST_F(RunTest, ReadOnlyFileAfterAConversionError) {
  std::string text = DoseText("5", "1", "05-Mar-01 24:00");
  orvik_testing::WriteFile(host_, text);
  ASSERT_EQ(chmod(host_.c_str(), 0444), 0);
  EXPECT_EQ(RunDatenum(kIni, kNow), 1);
  std::string cannot = std::string("Cannot open \"") + kPath + "\" for writing.";
  ExpectBoxes({{"Error", cannot},
               {"DATENUM Error", "Function <put_dose> failed!"},
               {"Error", cannot},
               {"DATENUM:  Error", "Function <put_dose> failed!"}});
  EXPECT_EQ(orvik_testing::ReadFile(host_), text);
}

TEST_F(RunTest, ReadOnlyFileAfterASuccess) {
  std::string text = DoseText("5", "0", "05-Mar-01 14:30");
  orvik_testing::WriteFile(host_, text);
  ASSERT_EQ(chmod(host_.c_str(), 0444), 0);
  EXPECT_EQ(RunDatenum(kIni, kNow), 1);
  ExpectBoxes({{"Error", std::string("Cannot open \"") + kPath + "\" for writing."},
               {"DATENUM:  Error", "Function <put_dose> failed!"}});
  EXPECT_EQ(orvik_testing::ReadFile(host_), text);
}

TEST_F(RunTest, OtherRegistersComeBackAsRead) {
  std::string text = orvik_testing::JoinLines({"1e+20", "0.000123", "01-Jan-70 00:00"});
  for (int i = 1; i <= kMExchanged; ++i) text += std::to_string(i) + ".0625e-3\n";
  orvik_testing::WriteFile(host_, text);
  EXPECT_EQ(RunDatenum(kIni, kNow), 0);
  std::string expected = orvik_testing::JoinLines({"0", "1", "01-Jan-70 00:00"});
  for (int i = 1; i <= kMExchanged; ++i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.12g\n", (i + 0.0625) * 1e-3);
    expected += buf;
  }
  EXPECT_EQ(orvik_testing::ReadFile(host_), expected);
}

}  // namespace
}  // namespace datenum
