// Many workstations, one procedure folder: eight installers, each a real
// setup.exe in a prefix of its own (drive C:, staging folder, the sample CD
// on A:), all with orvik.ini pointing procdir and picdir at one shared drive
// N:, started together and each installing other procedures, some of them
// sharing pictures and sub-procedures. Every installer is answered on the
// console as its windows come, so a busy proc.dir is retried as often as it
// is reported busy, however long the others hold it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "tests/e2e_support.h"
#include "testing/interactive_runner.h"
#include "testing/host_platform.h"

namespace {

namespace fs = std::filesystem;
using orvik_testing::ReadFile;
using orvik_testing::RunResult;

// The procedures each installer selects (by their first names): together
// every procedure of the sample, so every sub-procedure too.
const std::vector<std::vector<std::string>> kSelections = {
    {"DMM 45"},          {"Multifunction 8"}, {"DMM 52"},     {"Counter 220"},
    {"Counter 330"},     {"Scope 1200"},      {"Clamp Meter 33", "Thermometer 7"},
    {"Insulation Tester 5", "Process Meter 10", "Bench Supply 60", "Pressure Gauge 3"}};

struct Record {
  std::vector<std::string> names;
  std::string procFile;
  std::vector<std::string> files;
};

// The records of a catalogue: names, procedure file, required files.
std::vector<Record> ReadCatalogue(const std::string& text) {
  std::vector<Record> records;
  enum { kOut, kNames, kProcFile, kIn, kSub, kFiles, kData, kConfig } state = kOut;
  Record rec;
  for (std::string line : orvik_testing::Lines(text)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "instrument==========" || line == "instrumentSub=======") {
      rec = Record{};
      state = kNames;
    } else if (state == kNames) {
      if (line == "procfile")
        state = kProcFile;
      else
        rec.names.push_back(line);
    } else if (state == kProcFile) {
      rec.procFile = line;
      state = kIn;
    } else if (state == kConfig || state == kIn) {
      if (line == "end") {
        records.push_back(rec);
        state = kOut;
      } else if (state == kIn) {
        state = line == "sub" ? kSub : line == "files" ? kFiles : line == "datafiles" ? kData
                : line == "configuration" ? kConfig : kIn;
      }
    } else if (state == kSub) {
      if (line == "files") state = kFiles;
    } else if (state == kFiles) {
      if (line == "datafiles")
        state = kData;
      else
        rec.files.push_back(line);
    } else if (state == kData) {
      if (line == "calibrator") state = kIn;
    }
  }
  return records;
}

// One installer's run, answered on the console window by window. The
// result's status is that of setup.exe, which ends once it has started the
// installer; `outcome` says how the installer's own run went: "finished" when
// the Finish page was answered, else the first line nobody expected.
RunResult Install(const orvik_testing::Sandbox& box, const std::string& medium,
                  const std::vector<std::string>& selection, std::string* outcome) {
  std::string toggles;
  for (const std::string& name : selection) toggles += "toggle 1014 " + e2e::Quoted(name) + "\n";
  const std::vector<std::pair<std::string, std::string>> answers = {
      {"window 1050 ", "click 1\n"},
      {"window 105 ", "click 1\n"},
      {"box \"ORVIK - Procedure Installation\" \"Unable to change permission", "OK\n"},
      {"box \"Sharing Violation\"", "Retry\n"},
      {"window 108 ", toggles + "click 1\n"},
      {"window 107 ", "click 2\n"}};
  // Windows that close by themselves: the bootstrap's and the progress windows.
  const std::vector<std::string> passing = {"window 102 ", "window 1046 ", "window 1049 "};
  std::size_t seen = 0;
  auto feed = [&](int input) {
    std::string t = ReadFile(box.TranscriptPath());
    std::vector<std::string> lines = orvik_testing::Lines(t.substr(0, t.rfind('\n') + 1));
    for (; seen < lines.size(); ++seen) {
      const std::string& line = lines[seen];
      if (line.rfind("window ", 0) != 0 && line.rfind("box ", 0) != 0) continue;
      bool passes = false;
      for (const std::string& p : passing) passes = passes || line.rfind(p, 0) == 0;
      if (passes) continue;
      const std::string* answer = nullptr;
      for (const auto& [prefix, text] : answers)
        if (line.rfind(prefix, 0) == 0) answer = &text;
      // Nothing expected this: end the input, so the installer ends (86).
      if (answer == nullptr) {
        *outcome = "unexpected: " + line;
        return true;
      }
      orvik_testing::WriteAll(input, *answer);
      if (line.rfind("window 107 ", 0) == 0) {
        *outcome = "finished";
        return true;
      }
    }
    return false;
  };
  return orvik_testing::RunChild(medium + "/setup.exe", {}, orvik_testing::ConsoleEnv(box), box.root, feed, 900);
}

class SharedProcedureFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    medium = media.MakeCd(main.root + "/medium");
    share = main.root + "/share";
    orvik_testing::MakeDirs(share + "/proc");
    orvik_testing::MakeDirs(share + "/pic");
    // What a workstation that lost power mid-install left: its scratch
    // folder with a half-decompressed file, and its lock file, held by nobody.
    orvik_testing::MakeDirs(share + "/proc/_temp/4242");
    orvik_testing::WriteFile(share + "/proc/_temp/4242/DMM45.PRo", "half");
    orvik_testing::WriteFile(share + "/proc/_temp/4242.lck", "");
    for (std::size_t i = 0; i < kSelections.size(); ++i) {
      auto box = std::make_unique<orvik_testing::Sandbox>();
      box->MapDrive('a', medium);
      box->MapDrive('n', share);
      orvik_testing::MakeDirs(box->OnC("C:\\orvik"));
      orvik_testing::WriteFile(box->OnC("C:\\windows\\orvik.ini"),
                             "[startup]\r\nprocdir=N:\\proc\r\npicdir=N:\\pic\r\n");
      boxes.push_back(std::move(box));
    }
  }

  // Runs every installer at once: each in a process of its own that waits
  // until all have been started, then reports its exit status and output.
  std::vector<RunResult> RunAllTogether() {
    int gate[2];
    EXPECT_EQ(::pipe(gate), 0);
    std::vector<pid_t> runners;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      pid_t pid = ::fork();
      if (pid == 0) {
        ::close(gate[1]);
        char c;
        while (::read(gate[0], &c, 1) > 0) {
        }
        std::string outcome = "no Finish page";
        RunResult r = Install(*boxes[i], medium, kSelections[i], &outcome);
        orvik_testing::WriteFile(boxes[i]->root + "/result.txt",
                               std::to_string(r.exitStatus) + "\n" + outcome + "\n" + r.err);
        ::_exit(0);
      }
      runners.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);  // all go
    std::vector<RunResult> results;
    for (std::size_t i = 0; i < runners.size(); ++i) {
      int status = 0;
      EXPECT_EQ(::waitpid(runners[i], &status, 0), runners[i]);
      std::string out = ReadFile(boxes[i]->root + "/result.txt");
      RunResult r;
      r.exitStatus = out.empty() ? -1 : std::stoi(out);
      r.out = orvik_testing::Lines(out).size() > 1 ? orvik_testing::Lines(out)[1] : "";
      r.err = out.substr(out.find('\n') + 1);
      results.push_back(r);
    }
    return results;
  }

  orvik_testing::Sandbox main;
  e2e::SampleMedia media{main};
  std::string medium, share;
  std::vector<std::unique_ptr<orvik_testing::Sandbox>> boxes;
};

TEST_F(SharedProcedureFolder, EightInstallersAtOnce) {
  std::vector<RunResult> results = RunAllTogether();
  for (std::size_t i = 0; i < results.size(); ++i) {
    EXPECT_EQ(results[i].exitStatus, 0) << "installer " << i << "\n" << results[i].err;
    EXPECT_EQ(results[i].out, "finished") << "installer " << i << "\n" << boxes[i]->Transcript();
  }
  ASSERT_FALSE(HasFailure());

  // Every record of the catalogue is registered exactly once, all its names
  // in one entry, under a file number no other entry holds, and that file
  // holds its procedure byte for byte.
  const std::vector<Record> catalogue = ReadCatalogue(ReadFile(media.source + "/kelmar.lst"));
  const std::string index = ReadFile(share + "/proc/proc.dir");
  ASSERT_EQ(index.size() % 75, 0u);
  std::map<std::string, std::vector<std::string>> entries;  // file name -> names
  std::string current;
  for (std::size_t at = 0; at < index.size(); at += 75) {
    std::string record = index.substr(at, 75);
    if (record[0] == 'X') continue;
    std::string file = record.substr(5, record.find(' ', 5) - 5);
    std::string name = record.substr(18, 55);
    name.erase(name.find_last_not_of(' ') + 1);
    if (record[2] == 'F') {
      ASSERT_EQ(entries.count(file), 0u) << "file " << file << " given twice\n" << index;
      current = file;
    }
    ASSERT_EQ(file, current) << index;
    entries[file].push_back(name);
  }
  std::set<std::string> inProc = {"proc.dir", "readme.txt"};
  for (const Record& rec : catalogue) {
    int found = 0;
    for (const auto& [file, names] : entries) {
      if (names != rec.names) continue;
      ++found;
      inProc.insert(file);
      EXPECT_TRUE(ReadFile(share + "/proc/" + file) == ReadFile(media.source + "/" + rec.procFile))
          << file << " is not " << rec.procFile;
    }
    EXPECT_EQ(found, 1) << rec.names[0] << "\n" << index;
  }
  EXPECT_EQ(entries.size(), catalogue.size()) << index;

  // Every picture whole; nothing half-written, no scratch folder (not even
  // the one left by the lost workstation).
  std::set<std::string> pictures, inPic;
  for (const Record& rec : catalogue)
    for (const std::string& f : rec.files)
      if (f.size() > 4 && f.substr(f.size() - 4) == ".BMP") pictures.insert(f);
  for (const std::string& f : pictures)
    EXPECT_TRUE(ReadFile(share + "/pic/" + f) == ReadFile(media.source + "/" + f)) << f;
  for (const auto& e : fs::directory_iterator(share + "/pic")) inPic.insert(e.path().filename().string());
  EXPECT_EQ(inPic, pictures);
  std::set<std::string> listed;
  for (const auto& e : fs::directory_iterator(share + "/proc")) listed.insert(e.path().filename().string());
  EXPECT_EQ(listed, inProc);

  RunResult check = orvik_testing::RunProgram(orvik_testing::ProgramPath("procdir"),
                                            {"check", share + "/proc/proc.dir"}, {}, main.root);
  EXPECT_EQ(check.exitStatus, 0) << check.out << check.err;
  EXPECT_NE(check.out.find("healthy"), std::string::npos) << check.out;
}

}  // namespace
