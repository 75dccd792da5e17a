// Benchmark of the procedure index at 65,536 records (65,535 for the add, so
// that one more record fits). Times, in a private prefix under /tmp:
//   read      one plain pass over the file in 64 KiB reads (the yardstick)
//   read75    one pass with one 75-byte read per record
//   find      ProcDirFind of a name the index does not hold
//   add       ProcDirAdd of a new one-name entry (file cut back after each run)
// Prints the median of the runs in milliseconds and each time against `read`.
// Usage: procdir_bench [runs]
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_open.h"
#include "platform/dos_path.h"
#include "platform/hfile.h"
#include "testing/sandbox.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Pad(const std::string& text, std::size_t width) {
  std::string out = text;
  out.resize(width, ' ');
  return out;
}

// `records` records: entries of one to three names, numbered files.
std::string BuildIndex(std::uint32_t records) {
  std::string bytes;
  bytes.reserve(std::size_t(records) * 75);
  std::uint32_t written = 0;
  for (long number = 1; written < records; ++number) {
    std::uint32_t names = std::min<std::uint32_t>(1 + number % 3, records - written);
    for (std::uint32_t i = 0; i < names; ++i) {
      std::string record = " E";
      record += i == 0 ? 'F' : ' ';
      record += i + 1 == names ? 'L' : ' ';
      record += ' ';
      record += Pad(std::to_string(number) + ".pro", 13);
      record += Pad("Instrument model " + std::to_string(number) + " alias " + std::to_string(i), 55);
      record += "\r\n";
      bytes += record;
    }
    written += names;
  }
  return bytes;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double TimeMs(const std::function<void()>& work) {
  Clock::time_point start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  orvik_testing::Sandbox box(orvik_testing::Sandbox::kThisProcess);
  const char* path = "C:\\proc\\proc.dir";
  std::string full = BuildIndex(65536);
  box.Write(path, full);
  std::string host = box.Host(path);

  platform::HFILE file = procdir::ProcDirOpen(path, "w");
  if (file == -1) return 1;
  std::vector<double> read, read75, find, add;
  std::vector<char> buffer(65536);
  for (int i = 0; i < runs; ++i) {
    read.push_back(TimeMs([&] {
      platform::_llseek(file, 0, 0);
      while (platform::_lread(file, buffer.data(), platform::UINT(buffer.size())) == buffer.size()) {
      }
    }));
    read75.push_back(TimeMs([&] {
      platform::_llseek(file, 0, 0);
      while (platform::_lread(file, buffer.data(), 75) == 75) {
      }
    }));
    procdir::ProcDirEntry entry;
    std::memset(&entry, 0, sizeof entry);
    std::strcpy(entry.names[0], "Instrument model 70000 alias 0");  // shares a prefix with every name
    entry.nameCount = 1;
    find.push_back(TimeMs([&] { procdir::ProcDirFind(file, entry); }));
    if (entry.flags != 0) return 1;
  }
  procdir::ProcDirClose(file);

  // The add: 65,535 records, one name appended, then cut back.
  std::filesystem::resize_file(host, std::uintmax_t(65535) * 75);
  for (int i = 0; i < runs; ++i) {
    file = procdir::ProcDirOpen(path, "w");
    if (file == -1) return 1;
    procdir::ProcDirEntry entry;
    std::memset(&entry, 0, sizeof entry);
    std::strcpy(entry.names[0], "Instrument model 70000 alias 1");
    entry.nameCount = 1;
    entry.flags = procdir::PD_KIND_E;
    int result = 0;
    add.push_back(TimeMs([&] { result = procdir::ProcDirAdd(file, entry); }));
    procdir::ProcDirClose(file);
    if (result != 1 || entry.first != 65535) return 1;
    std::filesystem::resize_file(host, std::uintmax_t(65535) * 75);
  }

  double base = Median(read);
  std::printf("proc.dir of 65,536 records (%zu bytes), median of %d runs, %u cores\n", full.size(), runs,
              std::thread::hardware_concurrency());
  std::printf("%-34s %9s %9s\n", "", "ms", "x read");
  auto row = [&](const char* name, const std::vector<double>& times) {
    double ms = Median(times);
    std::printf("%-34s %9.2f %9.2f\n", name, ms, ms / base);
  };
  row("read the file once (64 KiB reads)", read);
  row("read once, one 75-byte read each", read75);
  row("ProcDirFind, missing name", find);
  row("ProcDirAdd, new entry (65,535)", add);

  return 0;
}
