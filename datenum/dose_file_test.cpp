// Locating dosdose.dat and reading and writing it through get_dose/put_dose.
#include "datenum/dose_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "datenum/dose_format.h"
#include "datenum/dose_location.h"
#include "testing/host_files.h"
#include "testing/sandbox.h"
#include "testing/recording_frontend.h"
#include "ui/msgbox.h"
#include "platform/dos_path.h"
#include "platform/fault_injector.h"
#include "platform/flush.h"

namespace datenum {
namespace {

constexpr unsigned kStopStyle = ui::MB_ICONSTOP | ui::MB_TASKMODAL | ui::MB_OK;


constexpr const char* kIni = "C:\\windows\\orvik.ini";

// 23 lines of a register file with MEM2 `mem2`.
std::string DoseText(const std::string& mem2 = "05-Mar-01 14:30") {
  std::string text = orvik_testing::JoinLines({"12.5", "1", mem2});
  for (int i = 1; i <= kMExchanged; ++i) text += std::to_string(i * 10) + "\n";
  return text;
}

class DoseFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDoseLocationForTesting();
    recorder_ = &orvik_testing::InstallRecorder();
  }
  void TearDown() override { ResetDoseLocationForTesting(); }

  void WriteIni(const std::string& startup) {
    orvik_testing::WriteFile(prefix_.OnC("C:\\windows\\orvik.ini"), "[Startup]\n" + startup);
  }
  std::string Locate(const std::string& ini = kIni) {
    std::string path;
    return LocateDoseFile(ini, &path) ? path : "<failed>";
  }
  std::vector<orvik_testing::ShownBox> Boxes() const { return recorder_->Boxes(); }
  void ExpectOneBox(const std::string& text) {
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Error");
    EXPECT_EQ(Boxes()[0].text, text);
    EXPECT_EQ(Boxes()[0].style, kStopStyle);
  }

  orvik_testing::Sandbox prefix_{orvik_testing::Sandbox::kThisProcess};
  orvik_testing::RecordingFrontend* recorder_ = nullptr;
};

// ---- location ----

TEST_F(DoseFileTest, UserDataDirWithTrailingBackslash) {
  WriteIni("procdir=C:\\orvik\\proc\nuser_data_dir=C:\\orvik\\data\\\nuser_cwd=C:\\cwd\n");
  EXPECT_EQ(Locate(), "C:\\orvik\\data\\dosdose.dat");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(DoseFileTest, UserDataDirWithTrailingSlashOrNone) {
  WriteIni("procdir=p\nuser_data_dir=D:/data/\n");
  EXPECT_EQ(Locate(), "D:/data\\dosdose.dat");
  ResetDoseLocationForTesting();
  WriteIni("procdir=p\nuser_data_dir=D:\\data\n");
  EXPECT_EQ(Locate(), "D:\\data\\dosdose.dat");
  ResetDoseLocationForTesting();
  // Only one separator goes.
  WriteIni("procdir=p\nuser_data_dir=D:\\data\\\\\n");
  EXPECT_EQ(Locate(), "D:\\data\\\\dosdose.dat");
}

TEST_F(DoseFileTest, FallsBackToUserCwd) {
  WriteIni("procdir=p\nuser_data_dir=\nuser_cwd=C:\\work\\\n");
  EXPECT_EQ(Locate(), "C:\\work\\dosdose.dat");
  ResetDoseLocationForTesting();
  WriteIni("procdir=p\nuser_cwd=C:\\work2\n");
  EXPECT_EQ(Locate(), "C:\\work2\\dosdose.dat");
}

TEST_F(DoseFileTest, BothEmptyMeansTheCurrentDirectory) {
  WriteIni("procdir=p\nuser_data_dir=\nuser_cwd=\n");
  EXPECT_EQ(Locate(), "dosdose.dat");

  // ... and the file is then read from wherever the current directory is.
  orvik_testing::WriteFile(prefix_.OnC("C:\\here\\dosdose.dat"), DoseText("in here"));
  ASSERT_EQ(platform::_chdir("C:\\here"), 0);
  Registers r;
  ASSERT_EQ(get_dose(kIni, r), 1);
  EXPECT_EQ(r.MEM2, "in here");
}

TEST_F(DoseFileTest, RootOfTheDriveIsAFolderNotAnEmptyKey) {
  WriteIni("procdir=p\nuser_data_dir=\\\nuser_cwd=C:\\work\n");
  EXPECT_EQ(Locate(), "\\dosdose.dat");
  ResetDoseLocationForTesting();
  WriteIni("procdir=p\nuser_data_dir=C:\\\n");
  EXPECT_EQ(Locate(), "C:\\dosdose.dat");
}

TEST_F(DoseFileTest, PathIsKeptForTheRestOfTheRun) {
  WriteIni("procdir=p\nuser_data_dir=C:\\first\n");
  EXPECT_EQ(Locate(), "C:\\first\\dosdose.dat");
  WriteIni("procdir=p\nuser_data_dir=C:\\second\n");
  EXPECT_EQ(Locate(), "C:\\first\\dosdose.dat");
  // Even an initialisation file that has gone since is not asked again.
  std::filesystem::remove(prefix_.OnC("C:\\windows\\orvik.ini"));
  EXPECT_EQ(Locate(), "C:\\first\\dosdose.dat");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(DoseFileTest, BareIniNameIsTheOneInTheWindowsFolder) {
  WriteIni("procdir=p\nuser_data_dir=C:\\d\n");
  EXPECT_EQ(Locate("orvik.ini"), "C:\\d\\dosdose.dat");
  ResetDoseLocationForTesting();
  // A file of that name in the current directory is not what the profile
  // reader reads, so it does not make the name valid.
  std::filesystem::remove(prefix_.OnC("C:\\windows\\orvik.ini"));
  orvik_testing::WriteFile(prefix_.OnC("C:\\cur\\orvik.ini"), "[Startup]\nprocdir=p\n");
  ASSERT_EQ(platform::_chdir("C:\\cur"), 0);
  EXPECT_EQ(Locate("orvik.ini"), "<failed>");
}

TEST_F(DoseFileTest, InitialisationFileWithoutProcdirIsInvalid) {
  WriteIni("user_data_dir=C:\\data\n");
  Registers r;
  r.MEM = 5;
  EXPECT_EQ(get_dose(kIni, r), 0);
  ExpectOneBox("\"C:\\windows\\orvik.ini\" is not a valid ORVIK initialization file.");
  EXPECT_EQ(r.MEM, 5.0);
}

TEST_F(DoseFileTest, InvalidInitialisationFiles) {
  struct Case {
    const char* ini;
    std::string contents;
  };
  const Case cases[] = {
      {"C:\\windows\\missing.ini", ""},
      {kIni, "[Startup]\nprocdir=\n"},
      {kIni, "[Other]\nprocdir=C:\\proc\n"},
  };
  for (const Case& c : cases) {
    ResetDoseLocationForTesting();
    recorder_ = &orvik_testing::InstallRecorder();
    if (!c.contents.empty()) orvik_testing::WriteFile(prefix_.OnC("C:\\windows\\orvik.ini"), c.contents);
    EXPECT_FALSE(IsValidIniFile(c.ini)) << c.ini << " " << c.contents;
    EXPECT_EQ(put_dose(c.ini, Registers{}), 0);
    ExpectOneBox("\"" + std::string(c.ini) + "\" is not a valid ORVIK initialization file.");
  }
  EXPECT_FALSE(IsValidIniFile(""));
  EXPECT_FALSE(IsValidIniFile("C:\\windows"));
}

TEST_F(DoseFileTest, SectionAndKeyNamesIgnoreCase) {
  orvik_testing::WriteFile(prefix_.OnC("C:\\windows\\orvik.ini"), "[startup]\nPROCDIR=p\nUser_Data_Dir=C:\\x\n");
  EXPECT_EQ(Locate(), "C:\\x\\dosdose.dat");
}

// ---- get_dose ----

class GetPutTest : public DoseFileTest {
 protected:
  void SetUp() override {
    DoseFileTest::SetUp();
    WriteIni("procdir=C:\\orvik\\proc\nuser_data_dir=C:\\orvik\\data\\\n");
    host_ = prefix_.OnC("C:\\orvik\\data\\dosdose.dat");
    std::filesystem::create_directories(prefix_.OnC("C:\\orvik\\data"));
  }
  std::string host_;
  const std::string path_ = "C:\\orvik\\data\\dosdose.dat";
};

TEST_F(GetPutTest, ReadsAllRegisters) {
  orvik_testing::WriteFile(host_, DoseText("05-Mar-01 14:30   "));
  Registers r;
  ASSERT_EQ(get_dose(kIni, r), 1);
  EXPECT_EQ(r.MEM, 12.5);
  EXPECT_EQ(r.MEM1, 1.0);
  EXPECT_EQ(r.MEM2, "05-Mar-01 14:30   ");
  for (int i = 0; i < kMExchanged; ++i) EXPECT_EQ(r.M[i], (i + 1) * 10.0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(GetPutTest, MissingFile) {
  Registers r;
  EXPECT_EQ(get_dose(kIni, r), 0);
  ExpectOneBox("Cannot open \"C:\\orvik\\data\\dosdose.dat\" for reading.");
}

TEST_F(GetPutTest, FileNameMatchesWithoutRegardToCase) {
  orvik_testing::WriteFile(prefix_.OnC("C:\\orvik\\data\\DOSDOSE.DAT"), DoseText("upper"));
  Registers r;
  ASSERT_EQ(get_dose(kIni, r), 1);
  EXPECT_EQ(r.MEM2, "upper");
}

TEST_F(GetPutTest, ShortFilesNameTheFirstMissingRegister) {
  struct Case {
    int lines;
    std::string message;
  };
  const Case cases[] = {
      {0, "Cannot get MEM from \"C:\\orvik\\data\\dosdose.dat\"."},
      {1, "Cannot get MEM1 from \"C:\\orvik\\data\\dosdose.dat\"."},
      {2, "Cannot get MEM2 from \"C:\\orvik\\data\\dosdose.dat\"."},
      {3, "Cannot get M[1] from \"C:\\orvik\\data\\dosdose.dat\"."},
      {10, "Cannot get M[8] from \"C:\\orvik\\data\\dosdose.dat\"."},
      {22, "Cannot get M[20] from \"C:\\orvik\\data\\dosdose.dat\"."},
  };
  std::string full = DoseText();
  for (const Case& c : cases) {
    recorder_ = &orvik_testing::InstallRecorder();
    std::size_t end = 0;
    for (int i = 0; i < c.lines; ++i) end = full.find('\n', end) + 1;
    orvik_testing::WriteFile(host_, full.substr(0, end));
    Registers r;
    r.MEM2 = "untouched";
    EXPECT_EQ(get_dose(kIni, r), 0) << c.lines;
    ExpectOneBox(c.message);
    EXPECT_EQ(r.MEM2, "untouched");
  }
}

// ---- put_dose ----

TEST_F(GetPutTest, LongFileLosesLinesAfterTheTwentyThird) {
  orvik_testing::WriteFile(host_, DoseText() + "extra 24\nextra 25\n");
  Registers r;
  ASSERT_EQ(get_dose(kIni, r), 1);
  ASSERT_EQ(put_dose(kIni, r), 1);
  EXPECT_EQ(orvik_testing::ReadFile(host_), DoseText());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(GetPutTest, CreatesTheFileWhenMissing) {
  Registers r;
  r.MEM = 1;
  r.MEM2 = "x";
  ASSERT_EQ(put_dose(kIni, r), 1);
  EXPECT_EQ(orvik_testing::ReadFile(host_), orvik_testing::JoinLines({"1", "0", "x"}) + orvik_testing::JoinLines(std::vector<std::string>(20, "0")));
  EXPECT_FALSE(std::filesystem::exists(host_ + ".new"));
}

TEST_F(GetPutTest, PrecisionRoundTrip) {
  Registers r;
  r.MEM = 983802600;             // calendar seconds survive exactly
  r.MEM1 = 1234567890.123456789;  // beyond 12 digits: cut to 12
  r.MEM2 = "  05-Mar-01 14:30  ";
  r.M[0] = 0.1;
  r.M[1] = -1.0 / 3.0;
  r.M[2] = 6.02214076e23;
  r.M[19] = 999999999999.0;  // twelve nines: exact
  ASSERT_EQ(put_dose(kIni, r), 1);
  Registers back;
  ASSERT_EQ(get_dose(kIni, back), 1);
  EXPECT_EQ(back.MEM, 983802600.0);
  EXPECT_EQ(back.MEM1, 1234567890.12);
  EXPECT_EQ(back.MEM2, "  05-Mar-01 14:30  ");
  EXPECT_EQ(back.M[0], 0.1);
  EXPECT_EQ(back.M[1], -0.333333333333);
  EXPECT_EQ(back.M[2], 6.02214076e23);
  EXPECT_EQ(back.M[19], 999999999999.0);
  // A second pass changes nothing more.
  std::string once = orvik_testing::ReadFile(host_);
  ASSERT_EQ(put_dose(kIni, back), 1);
  EXPECT_EQ(orvik_testing::ReadFile(host_), once);
}

TEST_F(GetPutTest, CannotCreateInAMissingFolder) {
  WriteIni("procdir=p\nuser_data_dir=C:\\nowhere\\deeper\n");
  ResetDoseLocationForTesting();
  EXPECT_EQ(put_dose(kIni, Registers{}), 0);
  ExpectOneBox("Cannot open \"C:\\nowhere\\deeper\\dosdose.dat\" for writing.");
}

TEST_F(GetPutTest, ReadOnlyFileIsNotReplaced) {
  orvik_testing::WriteFile(host_, DoseText());
  orvik_testing::ChangeMode(host_, 0444);
  Registers r;
  ASSERT_EQ(get_dose(kIni, r), 1);
  r.MEM = 1;
  EXPECT_EQ(put_dose(kIni, r), 0);
  ExpectOneBox("Cannot open \"C:\\orvik\\data\\dosdose.dat\" for writing.");
  EXPECT_EQ(orvik_testing::ReadFile(host_), DoseText());
}

TEST_F(GetPutTest, AFolderInTheWayIsNotReplaced) {
  std::filesystem::create_directories(host_ + "/inside");
  EXPECT_EQ(put_dose(kIni, Registers{}), 0);
  ExpectOneBox("Cannot open \"C:\\orvik\\data\\dosdose.dat\" for writing.");
  EXPECT_TRUE(std::filesystem::is_directory(host_ + "/inside"));
}

TEST_F(GetPutTest, FailedOrShortWriteLeavesTheOldFileWhole) {
  orvik_testing::WriteFile(host_, DoseText());
  Registers r;
  r.MEM = 42;
  for (bool shortWrite : {false, true}) {
    SCOPED_TRACE(shortWrite ? "short write" : "failed write");
    platform::FaultInjector faults;
    if (shortWrite)
      faults.FilterWrites([](platform::HFILE, platform::UINT count) { return count / 2; });
    else
      faults.FailAt(platform::HostCallKind::kWrite, 1, 112);  // the disk is full
    EXPECT_EQ(put_dose(kIni, r), 0);
    ASSERT_EQ(Boxes().size(), shortWrite ? 2u : 1u);
    EXPECT_EQ(Boxes().back().text, "Cannot write \"C:\\orvik\\data\\dosdose.dat\".");
    EXPECT_EQ(orvik_testing::ReadFile(host_), DoseText());
    EXPECT_FALSE(std::filesystem::exists(host_ + ".new"));
  }
}

TEST_F(GetPutTest, NewRegistersReachTheDiskBeforeTheyReplaceTheOld) {
  orvik_testing::WriteFile(host_, DoseText());
  Registers r;
  ASSERT_EQ(get_dose(kIni, r), 1);
  r.MEM = 42;
  std::vector<std::string> atFlush;
  bool fail = false;
  platform::ScopedFlushHook watch([&](platform::FlushScope, const std::string&) {
    atFlush.push_back(orvik_testing::ReadFile(host_));
    return fail ? platform::FALSE : platform::TRUE;
  });
  ASSERT_EQ(put_dose(kIni, r), 1);
  const std::string replaced = orvik_testing::ReadFile(host_);
  EXPECT_NE(replaced, DoseText());
  // A flush that fails keeps the file as it was.
  fail = true;
  r.MEM = 43;
  EXPECT_EQ(put_dose(kIni, r), 0);
  EXPECT_EQ(atFlush, (std::vector<std::string>{DoseText(), replaced}));
  ExpectOneBox("Cannot write \"C:\\orvik\\data\\dosdose.dat\".");
  EXPECT_EQ(orvik_testing::ReadFile(host_), replaced);
  EXPECT_FALSE(std::filesystem::exists(host_ + ".new"));
}

TEST_F(GetPutTest, PutUsesThePathKeptFromGet) {
  orvik_testing::WriteFile(host_, DoseText());
  Registers r;
  ASSERT_EQ(get_dose(kIni, r), 1);
  WriteIni("procdir=p\nuser_data_dir=C:\\elsewhere\n");
  r.MEM = 7;
  ASSERT_EQ(put_dose(kIni, r), 1);
  EXPECT_EQ(orvik_testing::ReadFile(host_).substr(0, 2), "7\n");
  EXPECT_FALSE(std::filesystem::exists(prefix_.OnC("C:\\elsewhere")));
}

TEST_F(GetPutTest, FileOnAnUnmappedDrive) {
  WriteIni("procdir=p\nuser_data_dir=Q:\\data\n");
  ResetDoseLocationForTesting();
  Registers r;
  EXPECT_EQ(get_dose(kIni, r), 0);
  EXPECT_EQ(put_dose(kIni, r), 0);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].text, "Cannot open \"Q:\\data\\dosdose.dat\" for reading.");
  EXPECT_EQ(Boxes()[1].text, "Cannot open \"Q:\\data\\dosdose.dat\" for writing.");
}

}  // namespace
}  // namespace datenum
