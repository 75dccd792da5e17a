// Benchmark of case-blind DOS paths and initialisation-file reads, in a
// private prefix under /tmp. Times:
//   look-up    HostPath of an existing name typed in other letter case
//   miss       HostPath of a name the folder lacks (the first step of each
//              creation)
//   creation   HostPath + _lcreat + _lclose of a new name (removed again,
//              untimed, so the folder keeps its size)
// in a folder of 20 entries (the reference) and one of 20,000, both with
// change notifications and with the check by the folder's times alone; and
// 1,000 GetPrivateProfileStringA calls on an unchanged file against one plain
// read of the file and one first (parsing) call.
// Prints medians of the runs and the ratios, with the machine's core count.
// Usage: host_paths_bench [runs]
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/change_times.h"
#include "platform/dos_path.h"
#include "platform/folder_names.h"
#include "platform/hfile.h"
#include "platform/profile.h"
#include "testing/prefix_test.h"
#include "testing/sandbox.h"

namespace {

using Clock = std::chrono::steady_clock;

double Micros(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string Numbered(const char* stem, int n) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%05d.pic", stem, n);
  return name;
}

struct FolderTimes {
  double lookUp = 0, miss = 0, create = 0;  // µs per operation
};

// `entries` files "Pic00000.pic"...; look-ups type them as "pIC00000.PIC",
// creations "nEW00000.PIC" (neither spelling exists, so each is a miss).
FolderTimes TimeFolder(const std::string& host, const std::string& dos, int entries, int runs) {
  std::filesystem::create_directories(host);
  for (int i = 0; i < entries; ++i) ::close(::open((host + "/" + Numbered("Pic", i)).c_str(), O_CREAT | O_WRONLY, 0644));
  orvik_testing::WaitUntilSettled(host);
  const int ops = 200;
  std::vector<double> lookUps, misses, creates;
  for (int run = 0; run < runs; ++run) {
    Clock::time_point start = Clock::now();
    for (int i = 0; i < ops; ++i) {
      std::string found = platform::HostPath(dos + Numbered("pIC", (i * 37) % entries));
      if (found.empty()) std::exit(1);
    }
    lookUps.push_back(Micros(start) / ops);
    start = Clock::now();
    for (int i = 0; i < ops; ++i) {
      std::string missing = platform::HostPath(dos + Numbered("nEW", i));
      if (missing.empty()) std::exit(1);
    }
    misses.push_back(Micros(start) / ops);
    double total = 0;
    for (int i = 0; i < ops; ++i) {
      std::string path = dos + Numbered("nEW", i);
      Clock::time_point one = Clock::now();
      std::string created = platform::HostPath(path);
      platform::HFILE file = platform::_lcreat(path.c_str(), 0);
      platform::_lclose(file);
      total += Micros(one);
      if (file == -1 || ::unlink(created.c_str()) != 0) std::exit(1);
    }
    creates.push_back(total / ops);
  }
  return {Median(lookUps), Median(misses), Median(creates)};
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
  orvik_testing::Sandbox box(orvik_testing::Sandbox::kThisProcess);
  std::string driveC = platform::PrefixDir() + "/drive_c";

  std::printf("%ld cores online; medians of %d runs\n\n", ::sysconf(_SC_NPROCESSORS_ONLN), runs);
  std::printf("%-44s %10s %10s\n", "case-blind path", "µs/op", "x 20");
  for (bool watch : {true, false}) {
    platform::detail::ResetFolderNames(watch);
    const char* mode = watch ? "notified" : "by times";
    std::string tag = watch ? "n" : "t";
    FolderTimes small = TimeFolder(driveC + "/Small" + tag, "C:\\small" + tag + "\\", 20, runs);
    FolderTimes large = TimeFolder(driveC + "/Large" + tag, "C:\\large" + tag + "\\", 20000, runs);
    auto row = [&](const char* what, int entries, double us, double reference) {
      char label[64];
      std::snprintf(label, sizeof label, "%s, %d entries (%s)", what, entries, mode);
      std::printf("%-44s %10.2f %10.2f\n", label, us, us / reference);
    };
    row("look-up", 20, small.lookUp, small.lookUp);
    row("look-up", 20000, large.lookUp, small.lookUp);
    row("miss", 20, small.miss, small.miss);
    row("miss", 20000, large.miss, small.miss);
    row("creation", 20, small.create, small.create);
    row("creation", 20000, large.create, small.create);
  }

  // A settings file of 10 sections of 20 keys.
  std::string text;
  for (int s = 0; s < 10; ++s) {
    text += "[Section" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < 20; ++k) text += "Key" + std::to_string(k) + " = C:\\orvik\\value\\" + std::to_string(s * 20 + k) + "\r\n";
  }
  std::string ini = driveC + "/windows/bench.ini";
  std::ofstream(ini, std::ios::binary | std::ios::trunc) << text;
  std::vector<double> plain, first, thousand;
  char value[260];
  for (int run = 0; run < runs; ++run) {
    Clock::time_point start = Clock::now();
    std::string bytes;
    {
      std::ifstream in(ini, std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    plain.push_back(Micros(start));
    if (bytes.size() != text.size()) return 1;
    // A rewrite in place: the next call parses the file again.
    std::ofstream(ini, std::ios::binary | std::ios::trunc) << text;
    start = Clock::now();
    platform::GetPrivateProfileStringA("Section9", "Key19", "", value, sizeof value, "bench.ini");
    first.push_back(Micros(start));
    orvik_testing::WaitUntilSettled(ini);
    platform::GetPrivateProfileStringA("Section9", "Key19", "", value, sizeof value, "bench.ini");
    start = Clock::now();
    for (int i = 0; i < 1000; ++i)
      platform::GetPrivateProfileStringA("Section9", "Key19", "", value, sizeof value, "bench.ini");
    thousand.push_back(Micros(start));
    if (std::string(value) != "C:\\orvik\\value\\199") return 1;
  }
  double base = Median(plain);
  std::printf("\n%-44s %10s %10s\n", "initialisation file", "µs", "x read");
  auto row = [&](const char* what, const std::vector<double>& times) {
    std::printf("%-44s %10.1f %10.2f\n", what, Median(times), Median(times) / base);
  };
  std::printf("(%zu bytes: 10 sections of 20 keys)\n", text.size());
  row("one plain read of the file", plain);
  row("one GetPrivateProfileStringA, file changed", first);
  row("1,000 GetPrivateProfileStringA, unchanged", thousand);

  return 0;
}
