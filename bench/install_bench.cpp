// A whole installation of a CD of 20,000 small files: 2,000 procedures of
// ten files each (the procedure, pictures, a program, data files), all
// selected, installed by answer file through setup.exe, the wizard and the
// clean-up program; compared with zcat of the same payload to /dev/null in
// the same run.
//
// Usage: install_bench [work folder] [procedures] (default
// /tmp/orvik-install-bench, 2000). The payload is generated once in
// <work folder>/source and the medium made from it once; later runs put
// the programs of this build on it (taken from a medium of one procedure
// made beside it) instead of writing its 20,000 files again, so that a run
// does not begin by deleting and creating 40,000 files.
//
// Each run's installed files are moved to <work folder>/runs/<n> instead of
// being deleted: on a file system without a journal (ext4 here), creating a
// file passes over every inode freed in the last few minutes nearby, so a run
// that follows the deletion of 20,000 files takes several times longer. Remove
// that folder by hand once done, a few minutes before timing again. For the
// same reason the run's sandbox is made in <work folder>/sandboxes, not in
// /tmp, where tests and builds keep removing files.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "testing/host_files.h"
#include "testing/program_runner.h"
#include "testing/sandbox.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double ChildCpuSeconds() {
  struct rusage usage;
  ::getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string Number(int i) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", i);
  return text;
}

// The catalogue of `procedures` procedures, each with its own ten files.
std::string Catalogue(int procedures) {
  std::string out = "Benchmark procedure set.\n\n";
  for (int i = 0; i < procedures; ++i) {
    const std::string n = Number(i);
    out += "instrument==========\nBench Meter " + n + "\nprocfile\nP" + n + ".PRO\nfiles\n";
    out += "P" + n + "A.BMP\nP" + n + "B.BMP\nP" + n + ".EXE\ndatafiles\n";
    for (const char* suffix : {"A", "B", "C", "D", "E", "F"}) out += "P" + n + suffix + ".DAT\n";
    out += "calibrator\nR520\nend\n\n";
  }
  return out;
}

std::uint64_t FolderBytes(const std::string& folder) {
  std::uint64_t total = 0;
  for (const auto& entry : fs::directory_iterator(folder)) total += entry.file_size();
  return total;
}

struct Timing {
  double wall;
  double cpu;
};

Timing Run(const std::string& command) {
  const double cpu = ChildCpuSeconds();
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  return {Seconds(start), ChildCpuSeconds() - cpu};
}

}  // namespace

int main(int argc, char** argv) {
  const std::string work = argc > 1 ? argv[1] : "/tmp/orvik-install-bench";
  const int procedures = argc > 2 ? std::atoi(argv[2]) : 2000;
  const std::string source = work + "/source", medium = work + "/medium";
  const std::string bin = orvik_testing::BinDir();
  if (!fs::exists(source + "/.complete")) {
    std::printf("generating the payload in %s ...\n", source.c_str());
    std::fflush(stdout);
    fs::remove_all(work);
    fs::create_directories(source);
    orvik_testing::WriteFile(source + "/kelmar.lst", Catalogue(procedures));
    orvik_testing::WriteFile(source + "/readme.txt", "Benchmark procedure set.\r\n");
    Run("'" + bin + "/mkmedia' --generate-payloads '" + source + "' > /dev/null");
    orvik_testing::WriteFile(source + "/.complete", "\n");
  }
  // The medium carries the programs as built now.
  const std::string mediumDone = work + "/medium.complete";
  if (!fs::exists(mediumDone)) {
    fs::remove_all(medium);
    Run("'" + bin + "/mkmedia' '" + source + "' '" + medium + "' > /dev/null");
    orvik_testing::WriteFile(mediumDone, "\n");
  } else {
    const std::string stub = work + "/programs", stubSource = work + "/programs-source";
    fs::remove_all(stub);
    fs::remove_all(stubSource);
    fs::create_directories(stubSource);
    orvik_testing::WriteFile(stubSource + "/kelmar.lst", Catalogue(1));
    orvik_testing::WriteFile(stubSource + "/readme.txt", "Benchmark procedure set.\r\n");
    for (const auto& entry : fs::directory_iterator(source))
      if (entry.path().filename().string().rfind("P0000", 0) == 0)
        fs::copy_file(entry.path(), stubSource + "/" + entry.path().filename().string());
    Run("'" + bin + "/mkmedia' '" + stubSource + "' '" + stub + "' > /dev/null");
    for (const char* program : {"setup.exe", "_kelmar.exe", "ov_clean.exe", "text.dll", "zlib.dll", "ovtext.mdb"})
      fs::copy_file(stub + "/" + program, medium + "/" + program, fs::copy_options::overwrite_existing);
  }

  // The sandbox lies in the work folder, away from /tmp, where tests and
  // builds keep freeing inodes (see the opening comment).
  const std::string sandboxes = work + "/sandboxes";
  fs::create_directories(sandboxes);
  ::setenv("TMPDIR", sandboxes.c_str(), 1);
  orvik_testing::Sandbox box;
  box.MapDrive('a', medium);
  box.MakeProductFolders(false);
  const std::string answers =
      "1050 click 1\n"
      "105 click 1\n"
      "? box contains \"Unable to change permission\" OK\n"
      "108 click 1004 click 1\n"
      "box contains \"Select every procedure\" OK\n"
      "? 1047 click 1\n"
      "107 click 2\n";

  Run("cd '" + medium + "/proc_data' && cat * > /dev/null");  // both start from a warm cache
  const Timing zcat = Run("cd '" + medium + "/proc_data' && ls | xargs zcat > /dev/null");
  const double cpu = ChildCpuSeconds();
  const auto start = Clock::now();
  const orvik_testing::RunResult r =
      orvik_testing::RunProgram(medium + "/setup.exe", {}, box.ScriptEnv(answers), box.root, "", 3600);
  const Timing install{Seconds(start), ChildCpuSeconds() - cpu};
  if (r.exitStatus != 0) {
    std::fprintf(stderr, "the installation ended with %d:\n%s\n", r.exitStatus, r.err.c_str());
    return 1;
  }
  std::size_t installed = 0;
  for (const char* dir : {"orvik/proc", "orvik/pic", "orvik"})
    for (const auto& entry : fs::directory_iterator(box.driveC + "/" + dir)) installed += entry.is_regular_file();
  const std::string runs = work + "/runs";
  fs::create_directories(runs);
  int run = 1;
  while (fs::exists(runs + "/" + std::to_string(run))) ++run;
  std::error_code moved;
  fs::rename(box.driveC + "/orvik", runs + "/" + std::to_string(run), moved);

  const std::uint64_t compressed = FolderBytes(medium + "/proc_data");
  double load[1] = {0};
  (void)::getloadavg(load, 1);
  std::printf("cores %u, load average %.2f\n", std::thread::hardware_concurrency(), load[0]);
  std::printf("procedures %d, files on the medium %zu, compressed %.1f MB; files installed %zu\n", procedures,
              static_cast<std::size_t>(std::distance(fs::directory_iterator(medium + "/proc_data"),
                                                     fs::directory_iterator())),
              compressed / 1e6, installed);
  std::fflush(stdout);
  std::printf("zcat to /dev/null:   %7.2f s  (cpu %.2f s)\n", zcat.wall, zcat.cpu);
  std::printf("whole installation:  %7.2f s  (cpu %.2f s)  %.1f x zcat\n", install.wall, install.cpu,
              install.wall / zcat.wall);
  if (!moved)
    std::printf("installed files kept in %s/%d (see the opening comment)\n", runs.c_str(), run);
  else
    std::printf("installed files removed (not on the work folder's file system: %s)\n", moved.message().c_str());
  std::fflush(stdout);
  return 0;
}
