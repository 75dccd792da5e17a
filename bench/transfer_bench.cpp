// Installs a CD medium of 2,000 gzip-compressed files (about 200 MB of
// compressed payload) through the real transfer list and copy phase, and
// measures zcat on the same files to /dev/null in the same run.
//
// Usage: transfer_bench [work folder] (default /tmp/orvik-transfer-bench).
// The medium is built once in <work folder>/media and reused.
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "installer/transfer/copy_phase.h"
#include "installer/transfer/decoder_pool.h"
#include "installer/transfer/disk_map.h"
#include "installer/transfer/xfer_entry.h"
#include "installer/transfer/gz_file_copier.h"
#include "installer/transfer/xfer_list_writer.h"
#include "platform/dos_path.h"
#include "resources/kelmar_resources.h"
#include "testing/fake_instance.h"
#include "text/text.h"
#include "ui/app.h"
#include "ui/frontend.h"
#include "ui/msgbox.h"
#include "ui/resource.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFiles = 2000;
constexpr int kDisks = 4;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time (user and system) of this process or of its waited-for
// children; the machine may be shared, so wall time alone can mislead.
double CpuSeconds(int who) {
  struct rusage usage;
  ::getrusage(who, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Payload resembling the media: procedure text, tables and bitmaps, which
// compress about three to one.
std::string Content(int index, size_t size) {
  static const char* words[] = {"MEAS ", "10.000V ", "RANGE ", "DISP ", "step ", "TOL 0.05% ", "\r\n",
                                "CALL ", "ohms ", "2W ", "MATH ", "LABEL "};
  std::string out;
  out.reserve(size);
  unsigned x = 2166136261u ^ static_cast<unsigned>(index);
  while (out.size() < size) {
    x = x * 1103515245u + 12345u;
    unsigned pick = (x >> 16) % 16;
    if (pick < 12) {
      out += words[pick];
    } else {
      char number[16];
      std::snprintf(number, sizeof number, "%u ", x % 1000003u);
      out += number;
    }
  }
  out.resize(size);
  return out;
}

struct Medium {
  std::vector<std::string> names;
  std::uint64_t compressed = 0;
  std::uint64_t plain = 0;
};

std::string Kind(int i) {
  switch (i % 4) {
    case 0: return ".PRO";
    case 1: return ".BMP";
    case 2: return ".EXE";
    default: return ".DAT";
  }
}

Medium BuildMedium(const std::string& dir) {
  Medium m;
  const std::string data = dir + "/proc_data";
  const bool ready = fs::exists(dir + "/.complete");
  if (!ready) {
    fs::remove_all(dir);
    fs::create_directories(data);
    std::ofstream(dir + "/DiskCD").put('\n');
  }
  std::string map;
  for (int disk = 1; disk <= kDisks; ++disk) {
    map += "[Disk" + std::to_string(disk) + "]\r\n";
    for (int i = disk - 1; i < kFiles; i += kDisks) {
      std::string name = "F" + std::to_string(i) + Kind(i);
      const std::string path = data + "/" + name;
      // Sizes vary around 333 kB, which compresses to about 100 kB.
      const size_t size = 160000 + (static_cast<size_t>(i) * 7919) % 346000;
      if (!ready) {
        std::string content = Content(i, size);
        gzFile out = gzopen(path.c_str(), "wb6");
        gzwrite(out, content.data(), static_cast<unsigned>(content.size()));
        gzclose(out);
      }
      m.compressed += fs::file_size(path);
      m.plain += size;
      map += name + "=" + std::to_string(size) + "\r\n";
      m.names.push_back(name);
    }
  }
  std::ofstream(dir + "/_diskmap.lst", std::ios::binary) << map;
  if (!ready) std::ofstream(dir + "/.complete").put('\n');
  return m;
}

struct Timing {
  double wall = 0;
  double cpu = 0;
};

Timing TimeZcat(const std::string& data) {
  const std::string command = "cd '" + data + "' && ls | xargs zcat > /dev/null";
  const double cpu = CpuSeconds(RUSAGE_CHILDREN);
  auto start = Clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "zcat failed\n");
  return Timing{Seconds(start), CpuSeconds(RUSAGE_CHILDREN) - cpu};
}

// Seconds spent decoding the same files in process with gzread on one
// thread, in the copier's chunk size: what the copy phase would take for
// decompression alone on one thread with zlib.
double TimeGzread(const std::string& data) {
  std::vector<char> buffer(transfer::GzFileCopier::kChunk);
  auto start = Clock::now();
  for (const auto& entry : fs::directory_iterator(data)) {
    gzFile in = gzopen(entry.path().c_str(), "rb");
    if (in == nullptr) continue;
    gzbuffer(in, transfer::GzFileCopier::kInputBuffer);
    while (gzread(in, buffer.data(), static_cast<unsigned>(buffer.size())) > 0) {
    }
    gzclose(in);
  }
  return Seconds(start);
}

void ReadAll(const std::string& data) {
  std::vector<char> buffer(1 << 20);
  for (const auto& entry : fs::directory_iterator(data)) {
    std::ifstream in(entry.path(), std::ios::binary);
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string work = argc > 1 ? argv[1] : "/tmp/orvik-transfer-bench";
  fs::create_directories(work);
  std::printf("building the medium in %s/media ...\n", work.c_str());
  std::fflush(stdout);
  Medium medium = BuildMedium(work + "/media");

  const std::string prefix = work + "/prefix";
  fs::remove_all(prefix);
  ::setenv("ORVIK_PREFIX", prefix.c_str(), 1);
  ::setenv("ORVIK_UI", "script", 1);
  ::setenv("ORVIK_SCRIPT", (work + "/answers.txt").c_str(), 1);
  ::unsetenv("ORVIK_TRANSCRIPT");
  std::ofstream(work + "/answers.txt").flush();
  platform::ResetPlatformForTesting();
  ui::ResetFrontendForTesting();
  ui::SetResources(&resources::Kelmar());
  if (!orvik_testing::OpenMessages()) {
    std::fprintf(stderr, "ovtext.mdb not found in %s\n", ORVIK_BIN_DIR);
    return 1;
  }
  platform::MapDrive('d', work + "/media");
  const std::string driveC = platform::PrefixDir() + "/drive_c";
  fs::create_directories(driveC + "/work");
  fs::copy_file(work + "/media/_diskmap.lst", driveC + "/work/_diskmap.lst",
                fs::copy_options::overwrite_existing);

  transfer::XferLists lists;
  for (size_t i = 0; i < medium.names.size(); ++i) {
    const std::string& name = medium.names[i];
    if (name.ends_with(".PRO"))
      lists.procs.push_back(name);
    else if (name.ends_with(".DAT"))
      lists.dataFiles.push_back(name);
    else
      lists.files.push_back(name);
  }

  ReadAll(work + "/media/proc_data");  // both runs start from a warm cache
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  Timing zcat{1e9, 1e9}, layout{1e9, 1e9}, copy{1e9, 1e9};
  double decode = 0;
  for (int round = 0; round < rounds; ++round) {
    const Timing z = TimeZcat(work + "/media/proc_data");
    if (z.wall < zcat.wall) zcat = z;

    fs::remove_all(driveC + "/orvik");
    for (const char* dir : {"orvik/proc/_temp", "orvik/pic", "orvik/prog", "orvik/data"})
      fs::create_directories(driveC + "/" + dir);
    transfer::InstallPaths paths;
    transfer::XferPlan plan;
    transfer::CopyProgress progress;
    paths.transferListPath = "C:\\work\\orvik.lst";
    paths.diskMapPath = "C:\\work\\_diskmap.lst";
    paths.sourceDir = "D:\\";
    paths.procDir = "C:\\orvik\\proc\\";
    paths.tempDir = "C:\\orvik\\proc\\_temp";
    paths.picDir = "C:\\orvik\\pic\\";
    paths.passwordDir = "C:\\orvik\\prog\\";
    paths.dataDir = "C:\\orvik\\data\\";
    plan.bytesPerSector = 512;
    ::sync();

    double cpu = CpuSeconds(RUSAGE_SELF);
    auto start = Clock::now();
    progress.requiredSize = transfer::WriteXferList(lists, paths, plan, false);
    const Timing l{Seconds(start), CpuSeconds(RUSAGE_SELF) - cpu};
    const double d = TimeGzread(work + "/media/proc_data");
    cpu = CpuSeconds(RUSAGE_SELF);
    start = Clock::now();
    const int result = transfer::CopyXferFiles(paths, plan, progress, nullptr);
    const Timing c{Seconds(start), CpuSeconds(RUSAGE_SELF) - cpu};
    if (result != 1) std::fprintf(stderr, "the copy phase did not complete\n");
    std::printf("round %d: zcat %.2f s (cpu %.2f), list %.2f s (cpu %.2f), copy phase %.2f s (cpu %.2f, "
                "in gzread %.2f s)\n",
                round + 1, z.wall, z.cpu, l.wall, l.cpu, c.wall, c.cpu, d);
    std::fflush(stdout);
    if (l.wall + c.wall < layout.wall + copy.wall) {
      layout = l;
      copy = c;
      decode = d;
    }
  }
  // What the worker's look-ups in the two list files cost on their own.
  double lookups = 0;
  {
    const double cpu = CpuSeconds(RUSAGE_SELF);
    const transfer::XferListFile list("C:\\work\\orvik.lst");
    const transfer::DiskMap diskMap("C:\\work\\_diskmap.lst");
    for (int disk = 1; disk <= kDisks; ++disk) {
      const std::string section = transfer::DiskSection(disk);
      for (int entry = 1;; ++entry) {
        const std::string value = list.Entry(section, entry);
        if (value == transfer::kNextDisk || value == transfer::kLastDiskEntry || value == transfer::kKeyMissing) break;
        diskMap.Size(section, transfer::SplitXferEntry(value).name);
      }
    }
    lookups = CpuSeconds(RUSAGE_SELF) - cpu;
  }
  text_close();

  const double mb = medium.compressed / 1e6;
  const double total = layout.wall + copy.wall;
  std::printf("\nfiles %d, compressed %.1f MB, decompressed %.1f MB; best of %d rounds\n", kFiles, mb,
              medium.plain / 1e6, rounds);
  std::printf("cores %u, decoder threads %u\n", std::thread::hardware_concurrency(),
              transfer::DecoderPool::DefaultThreads());
  std::printf("zcat to /dev/null:   %6.2f s  %6.1f MB/s compressed  (cpu %.2f s)\n", zcat.wall,
              mb / zcat.wall, zcat.cpu);
  std::printf("copy phase:          %6.2f s  %6.1f MB/s  %.2f of zcat's rate  (cpu %.2f s, %.2f of zcat's)\n",
              copy.wall, mb / copy.wall, zcat.wall / copy.wall, copy.cpu, zcat.cpu / copy.cpu);
  std::printf("install (list+copy): %6.2f s  %6.1f MB/s  %.2f of zcat's rate\n", total, mb / total,
              zcat.wall / total);
  std::printf("transfer list:       %6.2f s\n", layout.wall);
  std::printf("list file look-ups of the copy phase: cpu %.3f s\n", lookups);
  std::printf("gzread of the same files on one thread: %.2f s, %.2f times the copy phase\n", decode,
              decode / copy.wall);
  return 0;
}
