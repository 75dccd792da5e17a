// mkmedia as a program: the sample medium as one CD and as numbered disks,
// byte for byte, and the refusals with one line per problem.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "testing/host_platform.h"
#include "testing/program_runner.h"
#include "tools/mkmedia/gzip_payload.h"

namespace {

namespace fs = std::filesystem;
using orvik_testing::kPosixHost;
using orvik_testing::ProgramPath;
using orvik_testing::ReadFile;
using orvik_testing::RunProgram;
using orvik_testing::RunResult;
using orvik_testing::WriteFile;

// The zlib library this test process has mapped, from /proc/self/maps (a
// POSIX host's; on Windows it is bin/zlib.dll).
std::string MappedZlib() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    std::size_t slash = line.find('/');
    if (slash == std::string::npos) continue;
    std::string path = line.substr(slash);
    if (fs::path(path).filename().string().rfind("libz.so", 0) == 0) return fs::canonical(path).string();
  }
  return "";
}

std::set<std::string> Listing(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

std::uint64_t FolderBytes(const std::string& dir) {
  std::uint64_t total = 0;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) total += e.file_size();
  return total;
}

// Sections of a disk map: section -> (name -> size), and the names in order.
struct DiskMap {
  std::map<std::string, std::map<std::string, std::string>> sections;
  std::vector<std::string> order;
};
DiskMap ParseDiskMap(const std::string& text) {
  DiskMap map;
  std::string section;
  for (std::string line : orvik_testing::Lines(text)) {
    EXPECT_TRUE(!line.empty() && line.back() == '\r') << "line without CR LF: " << line;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[') {
      section = line.substr(1, line.size() - 2);
      map.sections[section];
      continue;
    }
    std::size_t eq = line.find('=');
    map.sections[section][line.substr(0, eq)] = line.substr(eq + 1);
    map.order.push_back(line.substr(0, eq));
  }
  return map;
}

class MkmediaProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    source = box.root + "/source";
    orvik_testing::MakeDirs(source);
    for (const char* f : {"kelmar.lst", "readme.txt"})
      WriteFile(source + "/" + f, ReadFile(orvik_testing::SourceDir() + "/sample/" + f));
    rootEntries = Listing(box.root);
    RunResult r = Mkmedia({"--generate-payloads", source});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "46 payload files generated, 0 already there (" + source + ")\n");
  }

  // Its output with plain line ends (a Windows program writes CR LF).
  RunResult Mkmedia(const std::vector<std::string>& args) {
    RunResult r = RunProgram(ProgramPath("mkmedia"), args, {}, box.root);
    for (std::string* text : {&r.out, &r.err}) std::erase(*text, '\r');
    return r;
  }

  // The sandbox's entries: those it had before the test and `made`.
  std::set<std::string> RootWith(std::set<std::string> made) const {
    made.insert(rootEntries.begin(), rootEntries.end());
    return made;
  }

  // The first disk's lists byte for byte from the build and the source
  // folder, and its programs and libraries from the build without their
  // debug information (the Windows build's are stripped already: they are
  // taken byte for byte).
  void ExpectStagedFiles(const std::string& disk) {
    const std::string bin = orvik_testing::BinDir();
    std::map<std::string, std::string> from = {{"ovtext.mdb", bin + "/ovtext.mdb"},
                                               {"kelmar.lst", source + "/kelmar.lst"},
                                               {"readme.txt", source + "/readme.txt"}};
    for (const auto& [name, path] : from)
      EXPECT_TRUE(ReadFile(disk + "/" + name) == ReadFile(path)) << name << " differs from " << path;
    std::map<std::string, std::string> programs = {
        {"setup.exe", ProgramPath("kelmar_setup")}, {"_kelmar.exe", ProgramPath("kelmar")},
        {"ov_clean.exe", ProgramPath("ov_clean")}, {"text.dll", bin + "/text.dll"},
        {"zlib.dll", kPosixHost ? MappedZlib() : bin + "/zlib.dll"}};
    for (const auto& [name, path] : programs) {
      ASSERT_FALSE(path.empty()) << name;
      std::string staged = ReadFile(disk + "/" + name);
      EXPECT_EQ(staged.rfind(kPosixHost ? "\x7f" "ELF" : "MZ", 0), 0u) << name;
      if (kPosixHost)
        EXPECT_LE(staged.size(), fs::file_size(path)) << name;
      else
        EXPECT_TRUE(staged == ReadFile(path)) << name << " differs from " << path;
      EXPECT_EQ(staged.find(".debug_info"), std::string::npos) << name << " keeps its debug information";
    }
    for (const char* program : {"setup.exe", "_kelmar.exe", "ov_clean.exe"}) {
      if (!kPosixHost) break;  // no execute bits there
      EXPECT_NE(fs::status(disk + "/" + program).permissions() & fs::perms::owner_exec, fs::perms::none) << program;
    }
    EXPECT_TRUE(fs::is_regular_file(disk + "/orvik.lst"));
    EXPECT_EQ(fs::file_size(disk + "/orvik.lst"), 0u);
  }

  // Every payload file of the map lies compressed in its disk's proc_data,
  // decompresses to the source file and is listed with its size.
  void ExpectPayload(const DiskMap& map, const std::string& root, bool cd) {
    std::set<std::string> seen;
    for (const auto& [section, files] : map.sections) {
      std::string disk = cd ? root : root + "/" + section;
      std::set<std::string> expected;
      for (const auto& [name, size] : files) {
        expected.insert(name);
        EXPECT_TRUE(seen.insert(name).second) << name << " on two disks";
        std::string data;
        ASSERT_TRUE(mkmedia::GunzipBytes(ReadFile(disk + "/proc_data/" + name), &data)) << name;
        EXPECT_TRUE(data == ReadFile(source + "/" + name)) << name;
        EXPECT_EQ(size, std::to_string(data.size())) << name;
      }
      EXPECT_EQ(Listing(disk + "/proc_data"), expected) << section;
    }
    EXPECT_EQ(seen.size(), 46u);
  }

  orvik_testing::Sandbox box;
  std::string source;
  std::set<std::string> rootEntries;  // the sandbox's entries with the source folder
};

TEST_F(MkmediaProgram, SampleAsOneCd) {
  std::string out = box.root + "/cd";
  RunResult r = Mkmedia({source, out});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("DiskCD: 46 payload files, ", 0), 0u) << r.out;
  EXPECT_EQ(Listing(out), (std::set<std::string>{"DiskCD", "_diskmap.lst", "_kelmar.exe", "kelmar.lst", "orvik.lst",
                                                 "ov_clean.exe", "ovtext.mdb", "proc_data", "readme.txt", "setup.exe",
                                                 "text.dll", "zlib.dll"}));
  EXPECT_EQ(fs::file_size(out + "/DiskCD"), 0u);
  ExpectStagedFiles(out);
  DiskMap map = ParseDiskMap(ReadFile(out + "/_diskmap.lst"));
  ASSERT_EQ(map.sections.size(), 1u);
  ASSERT_EQ(map.sections.count("Disk1"), 1u);
  ExpectPayload(map, out, true);
  // Catalogue order: the first record's files, then the second's.
  ASSERT_GE(map.order.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(map.order.begin(), map.order.begin() + 6),
            (std::vector<std::string>{"DMM45.PRO", "DMM45.BMP", "LEADS.BMP", "DMM45.DAT", "DMM52.PRO", "DMM52.BMP"}));
  // No building folder is left beside it.
  EXPECT_EQ(Listing(box.root), RootWith({"cd"}));
}

TEST_F(MkmediaProgram, SampleOnNumberedDisks) {
  RunResult r = Mkmedia({source, box.root + "/cd"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  std::uint64_t staged = 0;
  for (const char* f : {"setup.exe", "_kelmar.exe", "ov_clean.exe", "text.dll", "zlib.dll", "ovtext.mdb",
                        "kelmar.lst", "readme.txt", "orvik.lst"})
    staged += fs::file_size(box.root + "/cd/" + f);
  std::uint64_t payload = FolderBytes(box.root + "/cd/proc_data");

  // Room for 60% and for 30% of the payload beside the programs.
  for (int percent : {60, 30}) {
    std::uint64_t capacity = staged + payload * percent / 100;
    std::string out = box.root + "/disks" + std::to_string(percent);
    r = Mkmedia({source, out, "--disk-size", std::to_string(capacity)});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    std::set<std::string> disks = Listing(out);
    std::size_t count = percent == 60 ? 2 : disks.size();
    ASSERT_EQ(disks.size(), count);
    ASSERT_GE(count, 2u);
    std::size_t headers = 0;
    for (const std::string& line : orvik_testing::Lines(r.out)) headers += line.rfind("Disk", 0) == 0;
    EXPECT_EQ(headers, count) << r.out;
    for (std::size_t n = 1; n <= count; ++n) {
      std::string name = "Disk" + std::to_string(n);
      std::string disk = out + "/" + name;
      ASSERT_TRUE(disks.count(name)) << name;
      EXPECT_LE(FolderBytes(disk), capacity) << name;
      EXPECT_TRUE(fs::is_regular_file(disk + "/" + name));
      if (n == 1) {
        ExpectStagedFiles(disk);
      } else {
        EXPECT_EQ(Listing(disk), (std::set<std::string>{name, "proc_data"}));
      }
    }
    EXPECT_FALSE(fs::exists(out + "/Disk1/DiskCD"));
    DiskMap map = ParseDiskMap(ReadFile(out + "/Disk1/_diskmap.lst"));
    EXPECT_EQ(map.sections.size(), count);
    ExpectPayload(map, out, false);
  }
}

TEST_F(MkmediaProgram, RefusesABadSetWithOneLinePerProblem) {
  std::string bad = box.root + "/bad";
  orvik_testing::MakeDirs(bad);
  WriteFile(bad + "/kelmar.lst",
            "instrument==========\nDMM 45\nprocfile\nDMM45.PRO\nsub\nNO_SUCH_SUB\nfiles\nA,B.BMP\ndatafiles\n"
            "calibrator\nR520\nend\n"
            "instrument==========\nDMM 46\nprocfile\nDMM46.PRO\n");
  WriteFile(bad + "/DMM45.PRO", "procedure");
  std::string out = box.root + "/never";
  RunResult r = Mkmedia({bad, out});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "kelmar.lst:13: the record of \"DMM 46\" has no \"end\" line\n"
            "kelmar.lst:1: the sub-procedure \"NO_SUCH_SUB\" of \"DMM 45\" has no record\n" +
                bad + "/readme.txt cannot be read\n"
                      "kelmar.lst:1: \"A,B.BMP\" is not a plain file name that the media lists can carry\n"
                      "kelmar.lst:13: the file \"DMM46.PRO\" is not in " +
                bad + "\n");
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(Listing(box.root), RootWith({"bad"}));
}

TEST_F(MkmediaProgram, OutputFolderMustBeNewOrEmpty) {
  std::string out = box.root + "/used";
  orvik_testing::MakeDirs(out);
  WriteFile(out + "/keep.txt", "earlier work");
  RunResult r = Mkmedia({source, out});
  EXPECT_EQ(r.exitStatus, 1);
  // Named in its normal form (the host's separators).
  EXPECT_EQ(r.err, fs::path(out).lexically_normal().string() + " exists and is not an empty folder\n");
  EXPECT_EQ(Listing(out), (std::set<std::string>{"keep.txt"}));
  EXPECT_EQ(ReadFile(out + "/keep.txt"), "earlier work");

  fs::remove(out + "/keep.txt");
  r = Mkmedia({source, out});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(fs::exists(out + "/DiskCD"));
  // Parents are made as needed.
  r = Mkmedia({source, box.root + "/a/b/medium"});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(fs::exists(box.root + "/a/b/medium/setup.exe"));
}

TEST_F(MkmediaProgram, DisksTooSmallForTheProgramsGetTheSizeThatWorks) {
  RunResult r = Mkmedia({source, box.root + "/tiny", "--disk-size", "1000"});
  EXPECT_EQ(r.exitStatus, 1);
  std::vector<std::string> lines = orvik_testing::Lines(r.err);
  ASSERT_EQ(lines.size(), 2u) << r.err;
  EXPECT_EQ(lines[0].rfind("the first disk's programs and lists take ", 0), 0u) << r.err;
  EXPECT_NE(lines[0].find(" bytes, more than a disk of 1000 bytes"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(box.root + "/tiny"));
  // The advised size works in one go.
  const std::string flag = "--disk-size ";
  std::size_t at = lines[1].rfind(flag);
  ASSERT_NE(at, std::string::npos) << lines[1];
  r = Mkmedia({source, box.root + "/fits", "--disk-size", lines[1].substr(at + flag.size())});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
}

TEST_F(MkmediaProgram, CheckWritesNothingAndListsEachDisk) {
  RunResult r = Mkmedia({"--check", source, "--disk-size", "40000000"});
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::vector<std::string> lines = orvik_testing::Lines(r.out);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("Disk1: ", 0), 0u) << r.out;
  EXPECT_NE(lines[0].find(" bytes left"), std::string::npos) << r.out;
  for (const char* staged : {"setup.exe", "_kelmar.exe", "ov_clean.exe", "_diskmap.lst: "})
    EXPECT_NE(lines[1].find(staged), std::string::npos) << lines[1];
  EXPECT_NE(r.out.find("  DMM45.PRO "), std::string::npos) << r.out;
  EXPECT_EQ(Listing(box.root), RootWith({}));

  // Warnings do not stop it; faults do.
  std::string lst = ReadFile(source + "/kelmar.lst");
  std::size_t code = lst.find("\nR520\n");
  ASSERT_NE(code, std::string::npos);
  WriteFile(source + "/kelmar.lst", lst.substr(0, code) + "\nr520\n" + lst.substr(code + 6));
  r = Mkmedia({"--check", source});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_NE(r.err.find("warning: the calibrator code \"r520\""), std::string::npos) << r.err;
  WriteFile(source + "/kelmar.lst", "\xEF\xBB\xBF" + lst.substr(lst.find("instrument==========")));
  r = Mkmedia({"--check", source});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("byte-order mark"), std::string::npos) << r.err;
}

TEST_F(MkmediaProgram, ProgramsThatCannotBeStrippedAreReported) {
  SKIP_UNLESS_POSIX("programs are stripped with binutils' objcopy there");
  // Without binutils on the PATH nothing strips the programs.
  RunResult r = RunProgram(orvik_testing::BinDir() + "/mkmedia", {source, box.root + "/cd"}, {{"PATH", "/nonexistent"}},
                           box.root);
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_NE(r.err.find("/kelmar cannot be stripped of its debug information: objcopy (binutils) cannot be run"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(box.root + "/cd"));
}

TEST_F(MkmediaProgram, UsageErrors) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {source}, {source, "a", "b"}, {"--bogus", source, "x"}, {"--generate-payloads"},
        {"--check", source, "x"}, {"--generate-payloads", source, "--windows", source}}) {
    RunResult r = Mkmedia(args);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err.rfind("usage: mkmedia <source folder> <output folder> [--disk-size <bytes>]\n", 0), 0u) << r.err;
  }
  RunResult noFolder = Mkmedia({source, box.root + "/x", "--windows"});
  EXPECT_EQ(noFolder.err, "--windows needs the folder of the Windows programs\n");
  // A folder without the Windows build names each program it lacks.
  RunResult noPrograms = Mkmedia({source, box.root + "/x", "--windows", box.root});
  EXPECT_EQ(noPrograms.exitStatus, 1);
  EXPECT_NE(noPrograms.err.find(box.root + "/kelmar_setup.exe is missing (for setup.exe)"), std::string::npos)
      << noPrograms.err;
  EXPECT_FALSE(fs::exists(box.root + "/x"));
  for (const char* size : {"0", "abc", "-5", "12k"}) {
    RunResult r = Mkmedia({source, box.root + "/x", "--disk-size", size});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "--disk-size needs a number of bytes above 0\n");
  }
  EXPECT_FALSE(fs::exists(box.root + "/x"));
}

TEST_F(MkmediaProgram, GeneratingAgainKeepsEveryFile) {
  std::string before = ReadFile(source + "/SCP1200.BMP");
  WriteFile(source + "/DMM45.DAT", "publisher's own table");
  RunResult r = Mkmedia({"--generate-payloads", source});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out, "0 payload files generated, 46 already there (" + source + ")\n");
  EXPECT_EQ(ReadFile(source + "/SCP1200.BMP"), before);
  EXPECT_EQ(ReadFile(source + "/DMM45.DAT"), "publisher's own table");
}

}  // namespace
