// The whole system from two numbered disks: the installer asks for the
// second disk, the operator swaps it into drive A: and confirms, and every
// procedure of the set is installed and registered.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "testing/host_platform.h"
#include "testing/interactive_runner.h"
#include "tests/e2e_support.h"

namespace {

using orvik_testing::RunResult;

// Every procedure of the sample (Select All): sub-procedures first in the
// order they are reached from the list, then the procedures in list order.
e2e::Installed WholeSet() {
  return {{{'H', 1, {"RANGE_CHK"}, "RANGECHK.PRO"},
           {'H', 2, {"ACI_COIL"}, "ACICOIL.PRO"},
           {'H', 3, {"FREQ_STEP"}, "FREQSTEP.PRO"},
           {'H', 4, {"ACV_LIN"}, "ACVLIN.PRO"},
           {'H', 5, {"DCV_LIN"}, "DCVLIN.PRO"},
           {'H', 6, {"RES_4W"}, "RES4W.PRO"},
           {'H', 7, {"DCI_LIN"}, "DCILIN.PRO"},
           {'H', 8, {"SCOPE_TB"}, "SCOPETB.PRO"},
           {'H', 9, {"SCOPE_BW"}, "SCOPEBW.PRO"},
           {'E', 10, {"Bench Supply 60", "Bench Supply 60D"}, "PSU60.PRO"},
           {'E', 11, {"Clamp Meter 33", "Clamp Meter 33T"}, "CLAMP33.PRO"},
           {'E', 12, {"Counter 220", "Counter 220B", "Timer 221", "Timer 221B"}, "CNT220.PRO"},
           {'E', 13, {"Counter 330"}, "CNT330.PRO"},
           {'E', 14, {"DMM 45", "DMM 45A", "DMM 46"}, "DMM45.PRO"},
           {'E', 15, {"DMM 52", "DMM 52 Plus"}, "DMM52.PRO"},
           {'E', 16, {"Insulation Tester 5", "Insulation Tester 5K"}, "INS5.PRO"},
           {'E', 17, {"Multifunction 8", "Multifunction 8X", "Multifunction 8XT"}, "MF8.PRO"},
           {'E', 18, {"Pressure Gauge 3"}, "PG3.PRO"},
           {'E', 19, {"Process Meter 10", "Process Meter 10S"}, "PM10.PRO"},
           {'E', 20, {"Scope 1200", "Scope 1200A", "Scope 1202", "Scope 1204", "Scope 1204A", "Scope 1204X"}, "SCP1200.PRO"},
           {'E', 21, {"Thermometer 7"}, "THERM7.PRO"}},
          {"CLAMP33.BMP", "CNT220.BMP", "CNT330.BMP", "COIL50.BMP", "DMM45.BMP", "DMM52.BMP", "INS5.BMP", "LEADS.BMP",
           "MF8.BMP", "PSU60.BMP", "RES4W.BMP", "SCP1200.BMP", "THERM7.BMP"},
          {"GATECAL.EXE", "HVSAFE.EXE", "LOADSET.EXE", "PROBECHK.EXE"},
          {"CNT220.DAT", "DMM45.DAT", "FREQ.DAT", "PG3.DAT", "PM10.DAT", "RANGES.DAT", "SCP1200.DAT", "TC_TABLE.DAT"}};
}

TEST(EndToEndDisks, TwoDisksWithASwap) {
  orvik_testing::Sandbox box;
  e2e::SampleMedia media(box);
  std::vector<std::string> disks = media.MakeTwoDisks(box.root + "/floppies");
  ASSERT_EQ(disks.size(), 2u);
  box.MapDrive('a', disks[0]);
  e2e::MakeTargetFolders(box);

  bool askedWithDisk1In = false;
  std::vector<orvik_testing::Turn> turns = {
      {"window 1050 ", nullptr, "click 1\n"},
      {"window 105 ", nullptr, "click 1\n"},
      {"box ", nullptr, "OK\n"},                            // readme.txt permission
      {"window 108 ", nullptr, "click 1004\n"},             // Select All...
      {"box ", nullptr, "OK\nclick 1\n"},                   // ...confirmed; Next
      {"window 1048 \"Procedure Install - Insert Disk\"", nullptr, "click 1\n"},  // OK, disk 1 still in
      {"window 1048 \"Procedure Install - Insert Disk\"",                      // asked again
       [&] {
         askedWithDisk1In = orvik_testing::Exists(disks[0] + "/Disk1");
         box.MapDrive('a', disks[1]);
       },
       "click 1\n"},
      {"window 107 ", nullptr, "click 2\n"}};
  RunResult r = orvik_testing::RunConsole(box.OnDrive('a', "setup.exe"), {}, orvik_testing::ConsoleEnv(box), box.root,
                                        box.TranscriptPath(), turns);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  EXPECT_TRUE(askedWithDisk1In);
  std::string t = box.Transcript();
  EXPECT_EQ(e2e::WindowIds(t),
            (std::vector<std::string>{"102", "1050", "105", "108", "1046", "1048", "1048", "1049", "107"}))
      << t;
  EXPECT_EQ(e2e::LinesStartingWith(t, "end 1048 "), (std::vector<std::string>{"end 1048 1", "end 1048 1"}));
  e2e::ExpectInstalled(box, media.source, WholeSet());
  // The clean-up program ran from the source folder (disk 2 by then) and
  // removed the staging folder.
  EXPECT_FALSE(orvik_testing::Exists(box.OnC(e2e::kStaging)));
  std::vector<std::string> exec = e2e::LinesStartingWith(t, "exec ");
  ASSERT_EQ(exec.size(), 2u);
  EXPECT_EQ(exec[1], "exec " + e2e::Quoted(R"(C:\windows\temp\\ov_clean.exe )" + std::string(e2e::kStaging)) + " 33");
}

TEST(EndToEndDisks, FloppiesOfOnePointFourFourMegabytes) {
#ifdef ORVIK_INSTRUMENTED
  GTEST_SKIP() << "programs built with sanitizers do not fit the first 1.44 MB disk";
#endif
  SKIP_UNLESS_POSIX("the Windows programs, with the C++ run-time linked in, do not fit the first 1.44 MB disk");
  orvik_testing::Sandbox box;
  e2e::SampleMedia media(box);
  // Pictures of a common size that do not compress, so that the set spans
  // several floppies.
  std::mt19937 noise(1457664);
  for (const char* picture : {"DMM45.BMP", "CNT220.BMP", "SCP1200.BMP", "CLAMP33.BMP"}) {
    std::string bytes(600000, '\0');
    for (char& b : bytes) b = static_cast<char>(noise());
    orvik_testing::WriteFile(media.source + "/" + picture, bytes);
  }
  std::vector<std::string> disks = media.MakeDisks(box.root + "/floppies", 1457664);
  ASSERT_GE(disks.size(), 3u);
  box.MapDrive('a', disks[0]);
  e2e::MakeTargetFolders(box);

  // Each prompt gets the next disk; what the prompts said is checked after.
  std::vector<orvik_testing::Turn> turns = {{"window 1050 ", nullptr, "click 1\n"},
                                          {"window 105 ", nullptr, "click 1\n"},
                                          {"box ", nullptr, "OK\n"},
                                          {"window 108 ", nullptr, "click 1004\n"},
                                          {"box ", nullptr, "OK\nclick 1\n"}};
  for (std::size_t next = 1; next < disks.size(); ++next)
    turns.push_back({"window 1048 ", [&box, &disks, next] { box.MapDrive('a', disks[next]); }, "click 1\n"});
  turns.push_back({"window 107 ", nullptr, "click 2\n"});
  RunResult r = orvik_testing::RunConsole(box.OnDrive('a', "setup.exe"), {}, orvik_testing::ConsoleEnv(box), box.root,
                                        box.TranscriptPath(), turns);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  std::string t = box.Transcript();
  std::vector<std::string> windows = {"102", "1050", "105", "108", "1046"};
  windows.insert(windows.end(), disks.size() - 1, "1048");
  windows.insert(windows.end(), {"1049", "107"});
  EXPECT_EQ(e2e::WindowIds(t), windows) << t;
  // The prompts named the disks in turn, as the console showed them.
  std::size_t at = 0;
  for (std::size_t n = 2; n <= disks.size(); ++n) {
    at = r.out.find("Please insert Disk" + std::to_string(n), at);
    EXPECT_NE(at, std::string::npos) << "no prompt for disk " << n << "\n" << r.out;
  }
  e2e::ExpectInstalled(box, media.source, WholeSet());
  EXPECT_FALSE(orvik_testing::Exists(box.OnC(e2e::kStaging)));
}

TEST(EndToEndDisks, CancelAtTheSecondDiskStopsBeforeTheIndex) {
  orvik_testing::Sandbox box;
  e2e::SampleMedia media(box);
  std::vector<std::string> disks = media.MakeTwoDisks(box.root + "/floppies");
  ASSERT_EQ(disks.size(), 2u);
  box.MapDrive('a', disks[0]);
  e2e::MakeTargetFolders(box);
  std::vector<orvik_testing::Turn> turns = {{"window 1050 ", nullptr, "click 1\n"},
                                          {"window 105 ", nullptr, "click 1\n"},
                                          {"box ", nullptr, "OK\n"},
                                          {"window 108 ", nullptr, "click 1004\n"},
                                          {"box ", nullptr, "OK\nclick 1\n"},
                                          {"window 1048 ", nullptr, "click 2\n"},  // Cancel
                                          {"box ", nullptr, "OK\n"},               // the transfer was stopped
                                          {"window 107 ", nullptr, "click 2\n"}};
  RunResult r = orvik_testing::RunConsole(box.OnDrive('a', "setup.exe"), {}, orvik_testing::ConsoleEnv(box), box.root,
                                        box.TranscriptPath(), turns);
  ASSERT_EQ(r.exitStatus, 0) << r.err << box.Transcript();
  std::string t = box.Transcript();
  EXPECT_EQ(e2e::WindowIds(t), (std::vector<std::string>{"102", "1050", "105", "108", "1046", "1048", "107"})) << t;
  // The index was made empty by the selection step and never written; no
  // procedure file was placed and the scratch folder is gone.
  const std::string proc = box.OnC(R"(C:\orvik\proc)");
  std::set<std::string> inProc;
  for (const auto& e : std::filesystem::directory_iterator(proc)) inProc.insert(e.path().filename().string());
  EXPECT_EQ(inProc, (std::set<std::string>{"proc.dir", "readme.txt"}));
  EXPECT_EQ(std::filesystem::file_size(proc + "/proc.dir"), 0u);
  // What the first disk carried for the other folders stays, intact; nothing
  // of the second disk arrived.
  std::set<std::string> onDisk1;
  for (const auto& e : std::filesystem::directory_iterator(disks[0] + "/proc_data"))
    onDisk1.insert(e.path().filename().string());
  int arrived = 0;
  for (const char* folder : {R"(C:\orvik)", R"(C:\orvik\pic)"}) {
    for (const auto& e : std::filesystem::directory_iterator(box.OnC(folder))) {
      std::string name = e.path().filename().string();
      if (e.is_directory()) continue;
      ++arrived;
      EXPECT_TRUE(onDisk1.count(name)) << name << " came from the second disk";
      EXPECT_TRUE(orvik_testing::ReadFile(e.path().string()) == orvik_testing::ReadFile(media.source + "/" + name)) << name;
    }
  }
  EXPECT_GT(arrived, 0);
  EXPECT_FALSE(orvik_testing::Exists(box.OnC(e2e::kStaging)));
}

}  // namespace
