// The install step driven through the installer with answer files: a CD and
// a two-disk set, the Insert Disk page, Cancel on either window, the layout
// error that ends the installer, and a read-only target.
#include <zlib.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/host_platform.h"
#include "testing/program_runner.h"

using orvik_testing::ReadFile;
using orvik_testing::RunResult;
using orvik_testing::WriteFile;

namespace {

// "Meter" needs a picture, a user program and a data file; "Scope" a picture.
const char* kCatalogue =
    "instrument==========\n"
    "Meter\n"
    "procfile\n"
    "METER.PRO\n"
    "files\n"
    "METER.BMP\n"
    "TOOL.EXE\n"
    "datafiles\n"
    "METER.DAT\n"
    "calibrator\n"
    "R520\n"
    "end\n"
    "instrument==========\n"
    "Scope\n"
    "procfile\n"
    "SCOPE.PRO\n"
    "files\n"
    "SCOPE.BMP\n"
    "datafiles\n"
    "calibrator\n"
    "R520\n"
    "end\n";

// Disk 1 holds Meter without its tool; disk 2 the tool and Scope.
const char* kDiskMap =
    "[Disk1]\r\nMETER.PRO=12000\r\nMETER.BMP=30000\r\nMETER.DAT=500\r\n"
    "[Disk2]\r\nTOOL.EXE=40000\r\nSCOPE.PRO=8000\r\nSCOPE.BMP=1000\r\n";

const char* kToSelection = "1050 click 1\n105 click 1\n";
const char* kQuitFromFinish = "107 click 2\nbox OK\n";

std::string Gzip(const std::string& text) {
  uLongf size = compressBound(text.size()) + 64;
  std::string out(size, '\0');
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

class TransferFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    staging = box.MakeStaging(kCatalogue, kDiskMap);
    WriteFile(staging + "/orvik.lst", "[Disk1]\r\nF1=STALE,P\r\n");  // as staged from the medium
    box.MakeProductFolders(true);
  }

  // A medium folder with its proc_data files, compressed, and a marker.
  std::string Medium(const std::string& name, const std::string& marker,
                     const std::vector<std::string>& files) {
    std::string dir = box.root + "/" + name;
    orvik_testing::MakeDirs(dir + "/proc_data");
    WriteFile(dir + "/" + marker, "");
    for (const std::string& f : files) WriteFile(dir + "/proc_data/" + f, Gzip(Contents(f)));
    return dir;
  }
  static std::string Contents(const std::string& file) { return "contents of " + file + "\r\n"; }

  RunResult Run(const std::string& answers, const std::string& args = "A:\\") {
    return box.RunInstaller(staging, {args}, answers);
  }
  std::string OnC(const std::string& dos) const { return box.OnC(dos); }
  bool Has(const std::string& line) { return box.TranscriptHas(line); }
  int Count(const std::string& prefix) { return box.TranscriptCount(prefix); }

  orvik_testing::Sandbox box;
  std::string staging;
};

TEST_F(TransferFlow, CdInstallsEveryFileAndRegistersTheProcedures) {
  box.MapDrive('a', Medium("cd", "DiskCD",
                           {"METER.PRO", "METER.BMP", "TOOL.EXE", "METER.DAT", "SCOPE.PRO", "SCOPE.BMP"}));
  RunResult r = Run(std::string(kToSelection) + "108 toggle 1014 Meter toggle 1014 Scope click 1\n" +
                    kQuitFromFinish);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_EQ(ReadFile(staging + "/orvik.lst"),
            "[Disk1]\r\nF1=METER.PRO,P\r\nF2=METER.BMP,B\r\nF3=METER.DAT,A\r\nF4=next disk\r\n\r\n"
            "[Disk2]\r\nF1=SCOPE.PRO,P\r\nF2=TOOL.EXE,M\r\nF3=SCOPE.BMP,B\r\nF4=last disk\r\n\r\n");
  EXPECT_TRUE(Has("window 1046 \"Copying Files...\""));
  EXPECT_TRUE(Has("end 1046 2"));
  EXPECT_EQ(Count("window 1048 "), 0);
  EXPECT_EQ(Count("window 1047 "), 0);
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\pic\\METER.BMP")), Contents("METER.BMP"));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\pic\\SCOPE.BMP")), Contents("SCOPE.BMP"));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\TOOL.EXE")), Contents("TOOL.EXE"));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\METER.DAT")), Contents("METER.DAT"));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\proc\\1.pro")), Contents("METER.PRO"));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\proc\\2.pro")), Contents("SCOPE.PRO"));
  EXPECT_FALSE(orvik_testing::Exists(OnC("C:\\orvik\\proc\\_temp")));
  EXPECT_TRUE(Has("window 107 \"ORVIK Procedure Installation - Finish\""));
}

TEST_F(TransferFlow, FoldersCorrectedWithoutTheirBackslashReceiveTheFiles) {
  orvik_testing::MakeDirs(OnC("C:\\orvik\\tools"));
  box.MapDrive('a', Medium("cd", "DiskCD", {"METER.PRO", "METER.BMP", "TOOL.EXE", "METER.DAT"}));
  // Page 105 names missing folders; page 106 corrects each one without a
  // trailing backslash.
  RunResult r = Run(std::string("1050 click 1\n"
                                "105 set 1008 C:\\orvik\\no1 set 1009 C:\\orvik\\no2 set 1010 C:\\orvik\\no3 click 1\n"
                                "106 set 1009 C:\\orvik\\proc click 1\n"
                                "106 set 1009 C:\\orvik\\pic click 1\n"
                                "106 set 1009 C:\\orvik\\tools click 1\n"
                                "108 toggle 1014 Meter click 1\n") +
                    kQuitFromFinish);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\proc\\1.pro")), Contents("METER.PRO"));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\proc\\proc.dir")).size(), 75u);
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\pic\\METER.BMP")), Contents("METER.BMP"));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\tools\\TOOL.EXE")), Contents("TOOL.EXE"));
  EXPECT_EQ(Count("box "), 1) << "only the clean-up notice: " << box.Transcript();
  EXPECT_FALSE(orvik_testing::Exists(OnC("C:\\orvik\\PROC_temp")));
  EXPECT_FALSE(orvik_testing::Exists(OnC("C:\\orvik\\proc\\_temp")));
}

TEST_F(TransferFlow, CancelOnTheInsertDiskPageStopsWithoutTouchingTheIndex) {
  box.MapDrive('a', Medium("disk1", "Disk1", {"METER.PRO", "METER.BMP", "METER.DAT"}));
  RunResult r = Run(std::string(kToSelection) + "108 toggle 1014 Meter click 1\n" +
                    "1048 click 2\n"
                    "box contains \"The transfer was stopped.\" OK\n" +
                    kQuitFromFinish);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(Has("window 1048 \"Procedure Install - Insert Disk\""));
  EXPECT_TRUE(Has("end 1048 2"));
  // Files of disk 1 outside the procedure folder stay; nothing is registered.
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\pic\\METER.BMP")), Contents("METER.BMP"));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\METER.DAT")), Contents("METER.DAT"));
  EXPECT_FALSE(orvik_testing::Exists(OnC("C:\\orvik\\TOOL.EXE")));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\proc\\proc.dir")), "");
  EXPECT_FALSE(orvik_testing::Exists(OnC("C:\\orvik\\proc\\1.pro")));
  EXPECT_FALSE(orvik_testing::Exists(OnC("C:\\orvik\\proc\\_temp")));
  EXPECT_EQ(Count("window 1049 "), 0);
  EXPECT_TRUE(Has("window 107 \"ORVIK Procedure Installation - Finish\""));
}

TEST_F(TransferFlow, WrongDiskBringsThePromptBack) {
  box.MapDrive('a', Medium("disk2", "Disk2", {"TOOL.EXE", "SCOPE.PRO", "SCOPE.BMP"}));
  RunResult r = Run(std::string(kToSelection) + "108 toggle 1014 Meter click 1\n" +
                    "1048 click 1\n1048 click 2\n"
                    "box contains \"The transfer was stopped.\" OK\n" +
                    kQuitFromFinish);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_EQ(Count("window 1048 "), 2);
  EXPECT_FALSE(orvik_testing::Exists(OnC("C:\\orvik\\TOOL.EXE")));  // disk 2 is never reached
}

TEST_F(TransferFlow, CancelOnTheProgressWindowAnsweredNo) {
  std::string dir = Medium("cd", "DiskCD", {"METER.PRO", "METER.BMP", "TOOL.EXE", "METER.DAT"});
  // A large procedure keeps the worker busy while the window takes Cancel.
  std::string big;
  for (unsigned long long i = 0; big.size() < 40u * 1000 * 1000; ++i) big += "line " + std::to_string(i * 7919 % 100003) + "\r\n";
  WriteFile(dir + "/proc_data/METER.PRO", Gzip(big));
  // Declared at its size, so that only Cancel can stop it.
  std::string diskMap = kDiskMap;
  diskMap.replace(diskMap.find("METER.PRO=12000"), 15, "METER.PRO=" + std::to_string(big.size()));
  WriteFile(staging + "/_diskmap.lst", diskMap);
  box.MapDrive('a', dir);
  RunResult r = Run(std::string(kToSelection) + "108 toggle 1014 Meter click 1\n" +
                    "1046 click 2\n"
                    "box contains \"Copying has been interrupted\" No\n"
                    "box contains \"The transfer was stopped.\" OK\n" +
                    kQuitFromFinish);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(Has("answer click 2"));
  EXPECT_TRUE(Has("end 1046 2"));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\proc\\proc.dir")), "");
  EXPECT_FALSE(orvik_testing::Exists(OnC("C:\\orvik\\pic\\METER.BMP")));
  EXPECT_FALSE(orvik_testing::Exists(OnC("C:\\orvik\\proc\\_temp")));
}

TEST_F(TransferFlow, FileOnNoDiskEndsTheInstallerAfter9249) {
  WriteFile(staging + "/_diskmap.lst", "[Disk1]\r\nMETER.PRO=1\r\nMETER.BMP=1\r\nMETER.DAT=1\r\n");
  box.MapDrive('a', Medium("cd", "DiskCD", {"METER.PRO", "METER.BMP", "METER.DAT"}));
  RunResult r = Run(std::string(kToSelection) + "108 toggle 1014 Meter click 1\n" +
                    "box contains \"cannot be laid out\" OK\n");
  EXPECT_EQ(r.exitStatus, 3) << r.err << box.Transcript();
  EXPECT_TRUE(Has("box \"ORVIK Error 9249\" \"The transfer list cannot be laid out: a file of the selection is "
                  "on no disk of the distribution media, or the file counts do not add up.\\n\\nThe "
                  "distribution media may be incomplete. The installation stops.\""));
  EXPECT_EQ(Count("window 1046 "), 0);
  EXPECT_EQ(Count("window 107 "), 0);
  EXPECT_EQ(Count("exec "), 0);  // no clean-up program
}

TEST_F(TransferFlow, ReadOnlyTargetIsSkippedAndTheRestInstalled) {
  box.MapDrive('a', Medium("cd", "DiskCD", {"METER.PRO", "METER.BMP", "TOOL.EXE", "METER.DAT"}));
  WriteFile(OnC("C:\\orvik\\TOOL.EXE"), "the installed tool");
  orvik_testing::ChangeMode(OnC("C:\\orvik\\TOOL.EXE"), 0444);
  // Wine run as root lets read-only files be written: there the file is in use too.
  orvik_testing::FileInUse inUse(OnC("C:\\orvik\\TOOL.EXE"));
  RunResult r = Run(std::string(kToSelection) + "108 toggle 1014 Meter click 1\n" +
                    "box contains \"c:\\orvik\\TOOL.EXE cannot be opened for writing\" OK\n" + kQuitFromFinish);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\TOOL.EXE")), "the installed tool");
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\METER.DAT")), Contents("METER.DAT"));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\proc\\1.pro")), Contents("METER.PRO"));
}

TEST_F(TransferFlow, DebugSwitchShowsWhereTheListIsWritten) {
  box.MapDrive('a', Medium("cd", "DiskCD", {"METER.PRO", "METER.BMP", "TOOL.EXE", "METER.DAT"}));
  RunResult r = Run(std::string("box contains \"orvik.lst is:\" OK\n") + kToSelection +
                        "108 toggle 1014 Meter click 1\n"
                        "box contains \"orvik.lst location: \" OK\n" +
                        kQuitFromFinish,
                    "A:\\ -d");
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(Has("box \"ORVIK - Procedure Installation\" \"orvik.lst location: "
                  "C:\\\\windows\\\\temp\\\\~ovprocedureinstall\\\\orvik.lst\""));
  EXPECT_EQ(ReadFile(OnC("C:\\orvik\\proc\\1.pro")), Contents("METER.PRO"));
}

}  // namespace
