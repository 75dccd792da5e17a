// Times TextInput on a generated kelmar.lst of 20,000 records with three
// names each, and LoadAllXferFiles after every offered name was selected.
// Runs in a temporary prefix with the trace on, as in the installer.
//
//   catalogue_bench [records] [runs]
//   catalogue_bench shapes
//
// "shapes" loads list files of 1 MiB of awkward shapes (huge name or file
// lists, many records, long lines, one name in every record), each in a
// child process, and reports the load's time as a multiple of one read of the
// same file, the child's peak memory and the size of the dump.
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "installer/catalogue/catalogue_trace.h"
#include "installer/catalogue/procedures_list.h"
#include "platform/dos_path.h"
#include "testing/recording_frontend.h"
#include "testing/sandbox.h"
#include "ui/frontend.h"

namespace {

// No box is expected from a well-formed file; one would mean the generated
// file is wrong. Some shapes are malformed on purpose: their boxes are passed.
bool g_malformedShapes = false;

int NoBoxes(const orvik_testing::ShownBox& box) {
  if (g_malformedShapes) return 1;
  std::fprintf(stderr, "unexpected box: %s\n", box.text.c_str());
  std::exit(2);
}

// A name that spreads records over the alphabet in no particular order.
std::string Name(unsigned seed, const char* tag) {
  unsigned x = seed * 2654435761u + 12345u;
  std::string name;
  for (int i = 0; i < 6; ++i) {
    name += static_cast<char>('A' + x % 26);
    x /= 26;
  }
  return name + tag + std::to_string(seed);
}

// Every tenth record is a sub-procedure called by the record before it.
std::string MakeList(int records) {
  std::string text;
  text.reserve(static_cast<std::size_t>(records) * 260);
  for (int r = 0; r < records; ++r) {
    const bool sub = r % 10 == 9;
    text += sub ? "instrumentSub=======\n" : "instrument==========\n";
    text += Name(r, "-1") + "\n";
    text += Name(r * 7 + 3, "-2") + "\n";  // often smaller than the first name
    text += Name(r * 13 + 5, "-3") + "\n";
    text += "procfile\nP" + std::to_string(r) + ".PRO\n";
    text += "sub\n";
    if (r % 10 == 8) text += Name(r + 1, "-1") + "\n";
    text += "files\nPIC" + std::to_string(r % 500) + ".BMP\nUSER" + std::to_string(r) + ".EXE\n";
    text += "datafiles\nDATA" + std::to_string(r % 1000) + ".DAT\n";
    text += "calibrator\n" + std::string(r % 2 ? "R520" : "R510") + "\n";
    text += "configuration\nRequires a boost amplifier\nand a scope\nend\n";
  }
  return text;
}

// Wall-clock and process CPU time (user and system), in milliseconds. The
// CPU figure is the one to read on a shared, busy machine.
struct Stamp {
  double wall, cpu;
};

Stamp Now() {
  timespec cpu;
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
  const double wall =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
  return {wall, cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6};
}

struct Figures {
  std::vector<double> wall, cpu;
  void Add(const Stamp& from, const Stamp& to) {
    wall.push_back(to.wall - from.wall);
    cpu.push_back(to.cpu - from.cpu);
  }
  void Print(const char* what) {
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-17s wall min %7.1f ms  median %7.1f ms   cpu min %7.1f ms  median %7.1f ms\n", what,
                wall.front(), wall[wall.size() / 2], cpu.front(), cpu[cpu.size() / 2]);
  }
};

constexpr std::size_t kShapeSize = 1 << 20;

std::string Header(const std::string& marker = "instrument==========") { return marker + "\n"; }

// Repeats `line(i)` until the text reaches `size`.
template <typename Line>
std::string Fill(std::string text, std::size_t size, Line line) {
  for (int i = 0; text.size() < size; ++i) text += line(i);
  return text;
}

struct Shape {
  const char* what;
  std::string (*make)();
};

const Shape kShapes[] = {
    {"one record, short distinct names",
     [] {
       return Fill(Header(), kShapeSize, [](int i) { return "N" + std::to_string(i) + "\n"; }) +
              "procfile\nP.PRO\nend\n";
     }},
    {"one record, one-letter names",
     [] { return Fill(Header(), kShapeSize, [](int) { return std::string("a\n"); }) + "procfile\nP.PRO\nend\n"; }},
    {"one record, distinct three-letter names",
     [] {
       return Fill(Header(), kShapeSize, [](int i) {
                return std::string{char('!' + i % 90), char('!' + i / 90 % 90), char('!' + i / 8100 % 90), '\n'};
              }) +
              "procfile\nP.PRO\nend\n";
     }},
    {"one record, empty names",
     [] { return Fill(Header(), kShapeSize, [](int) { return std::string("\n"); }) + "procfile\nP.PRO\nend\n"; }},
    {"4,000 names, files fill the rest",
     [] {
       std::string text = Header();
       for (int i = 0; i < 4000; ++i) text += "NAME" + std::to_string(i) + "\n";
       text += "procfile\nP.PRO\nsub\nfiles\n";
       text = Fill(text, kShapeSize, [](int i) { return "F" + std::to_string(i) + ".BMP\n"; });
       return text + "datafiles\ncalibrator\nR520\nend\n";
     }},
    {"six names, empty files fill the rest",
     [] {
       std::string text = Header() + "A\nB\nC\nD\nE\nF\nprocfile\nP.PRO\nfiles\n";
       return Fill(text, kShapeSize, [](int) { return std::string("\n"); }) + "datafiles\ncalibrator\nR\nend\n";
     }},
    {"records of six names",
     [] {
       return Fill("", kShapeSize, [](int i) {
         const std::string n = std::to_string(i);
         return Header() + "A" + n + "\nB" + n + "\nC" + n + "\nD" + n + "\nE" + n + "\nF" + n +
                "\nprocfile\nP.PRO\nend\n";
       });
     }},
    {"descending one-name records",
     [] {
       return Fill("", kShapeSize, [](int i) {
         return Header() + "Z" + std::to_string(10000000 - i) + "\nprocfile\nP.PRO\nend\n";
       });
     }},
    {"one first name in every record",
     [] {
       return Fill("", kShapeSize, [](int i) {
         return Header() + "SAME\nX" + std::to_string(i) + "\nprocfile\nP.PRO\nend\n";
       });
     }},
    {"long lines, one record",
     [] {
       std::string text = Header() + "A\nB\nprocfile\n" + std::string(5000, 'p') + "\nsub\n";
       text = Fill(text, kShapeSize / 2, [](int i) { return std::string(1000, char('a' + i % 26)) + "\n"; });
       text += "files\ndatafiles\ncalibrator\n" + std::string(300, 'c') + "\nconfiguration\n";
       return Fill(text, kShapeSize, [](int i) { return std::to_string(i) + std::string(200, 'k') + "\n"; }) +
              "end\n";
     }},
    {"distinct configuration lines",
     [] {
       std::string text = Header() + "A\nprocfile\nP.PRO\nconfiguration\n";
       return Fill(text, kShapeSize, [](int i) { return std::to_string(i) + "\n"; }) + "end\n";
     }},
    {"records interrupted before their end",
     [] {
       return Fill("", kShapeSize, [](int i) { return Header() + "I" + std::to_string(i) + "\nprocfile\nP\nsub\n"; });
     }},
    {"sub-procedure records, configuration",
     [] {
       return Fill("", kShapeSize, [](int i) {
         return Header("instrumentSub=======") + "S" + std::to_string(i % 977) +
                "\nprocfile\nS.PRO\ncalibrator\nR520\nconfiguration\nsame\nsame\nend\n";
       });
     }},
};

double MiB(const char* dosPath) {
  struct stat st;
  return ::stat(platform::HostPath(dosPath).c_str(), &st) == 0 ? st.st_size / 1048576.0 : 0;
}

// Loads one shape in this (child) process and prints its figures.
int RunShape(const Shape& shape) {
  const std::string text = shape.make();
  const std::string path = platform::HostPath("C:\\kelmar.lst");
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  std::remove(platform::HostPath("C:\\listread.txt").c_str());
  std::remove(platform::HostPath("C:\\listrdbg.txt").c_str());
  // One read of the file: the yardstick the load is measured against.
  double read = 1e300;
  for (int i = 0; i < 5; ++i) {
    const Stamp t0 = Now();
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    read = std::min(read, Now().cpu - t0.cpu);
    if (bytes.size() != text.size()) return 1;
  }
  catalogue::OpenCatalogueTrace();
  catalogue::ProceduresList list;
  const Stamp t0 = Now();
  if (list.TextInput("C:\\kelmar.lst") != 1) return 1;
  const Stamp t1 = Now();
  catalogue::CloseCatalogueTrace();
  int nodes = 0;
  for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) ++nodes;
  std::printf("%-38s nodes %8d  load %6.1f ms cpu, %6.1f ms wall (%4.0f reads)  dump %5.2f MiB  trace %5.2f MiB",
              shape.what, nodes, t1.cpu - t0.cpu, t1.wall - t0.wall, (t1.cpu - t0.cpu) / std::max(read, 1e-3),
              MiB("C:\\listread.txt"), MiB("C:\\listrdbg.txt"));
  std::fflush(stdout);
  return 0;
}

int RunShapes() {
  for (const Shape& shape : kShapes) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child < 0) return 1;
    if (child == 0) std::_Exit(RunShape(shape));
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::printf("%s: failed\n", shape.what);
      return 1;
    }
    std::printf("  peak %6.1f MiB\n", usage.ru_maxrss / 1024.0);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool shapes = argc > 1 && std::string(argv[1]) == "shapes";
  const int records = argc > 1 && !shapes ? std::atoi(argv[1]) : 20000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;

  orvik_testing::Sandbox box(orvik_testing::Sandbox::kThisProcess);
  orvik_testing::InstallRecorder(orvik_testing::RecordingFrontend::Unhandled::kCancel).OnBox(&NoBoxes);
  if (shapes) {
    g_malformedShapes = true;
    return RunShapes();
  }
  box.Write("C:\\kelmar.lst", MakeList(records));

  Figures loads, transfers;
  int nodes = 0, offered = 0, xferCount = 0;
  for (int run = 0; run < runs; ++run) {
    // Fresh diagnostic files each run, as in one installer run.
    std::remove(platform::HostPath("C:\\listread.txt").c_str());
    std::remove(platform::HostPath("C:\\listrdbg.txt").c_str());
    catalogue::OpenCatalogueTrace();
    catalogue::ProceduresList list;
    const Stamp t0 = Now();
    if (list.TextInput("C:\\kelmar.lst") != 1) return 1;
    loads.Add(t0, Now());

    offered = list.GetProcs();
    for (const std::string& name : list.ProcTable) list.AddSelectedProc(name);
    // Every sub-procedure name too, as the selection page would add them.
    for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) {
      if (node->isSubProc != 0) list.AddSelectedSubProc(node->name);
    }
    nodes = 0;
    for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) ++nodes;
    const Stamp t2 = Now();
    if (list.LoadAllXferFiles() != 1) return 1;
    transfers.Add(t2, Now());
    xferCount = list.xferProcs.GetCount() + list.xferSubProcs.GetCount() + list.xferFiles.GetCount() +
                list.xferDataFiles.GetCount();
    catalogue::CloseCatalogueTrace();
  }
  std::printf("records %d, nodes %d, offered %d, transfer entries %d, runs %d\n", records, nodes, offered,
              xferCount, runs);
  loads.Print("TextInput");
  transfers.Print("LoadAllXferFiles");
  return 0;
}
