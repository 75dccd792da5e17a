#include "tests/e2e_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "testing/index_records.h"
#include "tests/bootstrap_support.h"
#include "testing/host_platform.h"

namespace e2e {

namespace fs = std::filesystem;
using orvik_testing::ReadFile;
using orvik_testing::RunResult;

namespace {

RunResult Mkmedia(const orvik_testing::Sandbox& box, const std::vector<std::string>& args) {
  return orvik_testing::RunProgram(orvik_testing::ProgramPath("mkmedia"), args, {}, box.root);
}

std::uint64_t FolderBytes(const std::string& dir) {
  std::uint64_t total = 0;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) total += e.file_size();
  return total;
}

std::set<std::string> Listing(const std::string& dir) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec)) names.insert(e.path().filename().string());
  return names;
}

void ExpectSameFile(const std::string& installed, const std::string& source) {
  ASSERT_TRUE(fs::is_regular_file(installed)) << installed;
  EXPECT_TRUE(ReadFile(installed) == ReadFile(source)) << installed << " differs from " << source;
}

}  // namespace

SampleMedia::SampleMedia(const orvik_testing::Sandbox& box) : box_(box) {
  source = box.root + "/source";
  orvik_testing::MakeDirs(source);
  for (const char* f : {"kelmar.lst", "readme.txt"})
    orvik_testing::WriteFile(source + "/" + f, ReadFile(orvik_testing::SourceDir() + "/sample/" + f));
  RunResult r = Mkmedia(box, {"--generate-payloads", source});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
}

std::string SampleMedia::MakeCd(const std::string& out) {
  RunResult r = Mkmedia(box_, {source, out});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  return out;
}

std::vector<std::string> SampleMedia::MakeTwoDisks(const std::string& out) {
  // Sizes from a CD: the first disk gets the programs and 60% of the payload.
  std::string cd = MakeCd(box_.root + "/cd-for-sizes");
  std::uint64_t payload = FolderBytes(cd + "/proc_data");
  std::uint64_t staged = FolderBytes(cd) - payload;
  orvik_testing::RemoveTree(cd);
  RunResult r = Mkmedia(box_, {source, out, "--disk-size", std::to_string(staged + payload * 6 / 10)});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(Listing(out), (std::set<std::string>{"Disk1", "Disk2"}));
  return {out + "/Disk1", out + "/Disk2"};
}

std::vector<std::string> SampleMedia::MakeDisks(const std::string& out, std::uint64_t diskSize) {
  RunResult r = Mkmedia(box_, {source, out, "--disk-size", std::to_string(diskSize)});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  std::vector<std::string> disks;
  for (int n = 1; fs::is_directory(out + "/Disk" + std::to_string(n)); ++n) {
    disks.push_back(out + "/Disk" + std::to_string(n));
    EXPECT_LE(FolderBytes(disks.back()), diskSize) << disks.back();
  }
  EXPECT_EQ(Listing(out).size(), disks.size());
  return disks;
}

std::string ProcDirBytes(const std::vector<Entry>& entries) {
  std::string bytes;
  for (const Entry& e : entries) bytes += orvik_testing::Entry(e.kind, std::to_string(e.number) + ".pro", e.names);
  return bytes;
}

void ExpectInstalled(const orvik_testing::Sandbox& box, const std::string& source, const Installed& expected) {
  const std::string orvik = box.OnC(R"(C:\orvik)");
  const std::string proc = orvik + "/proc", pic = orvik + "/pic";
  EXPECT_TRUE(ReadFile(proc + "/proc.dir") == ProcDirBytes(expected.entries))
      << "proc.dir is\n" << ReadFile(proc + "/proc.dir") << "expected\n" << ProcDirBytes(expected.entries);

  std::set<std::string> inProc = {"proc.dir", "readme.txt"};
  for (const Entry& e : expected.entries) {
    std::string numbered = std::to_string(e.number) + ".pro";
    inProc.insert(numbered);
    ExpectSameFile(proc + "/" + numbered, source + "/" + e.procFile);
  }
  ExpectSameFile(proc + "/readme.txt", source + "/readme.txt");
  EXPECT_EQ(Listing(proc), inProc) << "no scratch folder and nothing else in the procedure folder";

  std::set<std::string> inPic, inOrvik = {"proc", "pic"};
  for (const std::string& f : expected.pictures) {
    inPic.insert(f);
    ExpectSameFile(pic + "/" + f, source + "/" + f);
  }
  for (const std::string& f : expected.programs) {
    inOrvik.insert(f);
    ExpectSameFile(orvik + "/" + f, source + "/" + f);
  }
  for (const std::string& f : expected.dataFiles) {
    inOrvik.insert(f);
    ExpectSameFile(orvik + "/" + f, source + "/" + f);
  }
  EXPECT_EQ(Listing(pic), inPic);
  EXPECT_EQ(Listing(orvik), inOrvik);
}

void MakeTargetFolders(const orvik_testing::Sandbox& box) {
  for (const char* dir : {R"(C:\orvik\proc)", R"(C:\orvik\pic)"}) orvik_testing::MakeDirs(box.OnC(dir));
}

std::vector<std::string> WindowIds(const std::string& transcript) {
  std::vector<std::string> ids;
  for (const std::string& line : LinesStartingWith(transcript, "window ")) ids.push_back(line.substr(7, line.find(' ', 7) - 7));
  return ids;
}

Installed DmmAndCounter() {
  return {{{'H', 1, {"FREQ_STEP"}, "FREQSTEP.PRO"},
           {'H', 2, {"RANGE_CHK"}, "RANGECHK.PRO"},
           {'H', 3, {"ACV_LIN"}, "ACVLIN.PRO"},
           {'H', 4, {"DCV_LIN"}, "DCVLIN.PRO"},
           {'E', 5, {"Counter 220", "Counter 220B", "Timer 221", "Timer 221B"}, "CNT220.PRO"},
           {'E', 6, {"DMM 45", "DMM 45A", "DMM 46"}, "DMM45.PRO"}},
          {"CNT220.BMP", "DMM45.BMP", "LEADS.BMP"},
          {"GATECAL.EXE"},
          {"CNT220.DAT", "DMM45.DAT", "FREQ.DAT", "RANGES.DAT"}};
}

}  // namespace e2e
