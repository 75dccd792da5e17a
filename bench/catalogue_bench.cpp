// Times TextInput on a generated kelmar.lst of 20,000 records with three
// names each, and LoadAllXferFiles after every offered name was selected.
// Runs in a temporary prefix with the trace on, as in the installer.
//
//   catalogue_bench [records] [runs]
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "installer/catalogue/catalogue_trace.h"
#include "installer/catalogue/procedures_list.h"
#include "platform/dos_path.h"
#include "ui/frontend.h"

namespace {

// No box is expected; one would mean the generated file is wrong.
class NoBoxes : public ui::Frontend {
 public:
  void RunModal(ui::Dialog&) override {}
  int ShowMessageBox(const std::string& text, const std::string&, unsigned) override {
    std::fprintf(stderr, "unexpected box: %s\n", text.c_str());
    std::exit(2);
  }
  void ModelessShown(ui::Dialog&) override {}
  void ModelessUpdated(ui::Dialog&) override {}
  void ModelessDestroyed(ui::Dialog&) override {}
};

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

}  // namespace

int main(int argc, char** argv) {
  const int records = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;

  char tmpl[] = "/tmp/orvik_catalogue_bench_XXXXXX";
  if (::mkdtemp(tmpl) == nullptr) return 1;
  const std::string root = tmpl;
  ::setenv("ORVIK_PREFIX", (root + "/prefix").c_str(), 1);
  platform::ResetPlatformForTesting();
  ui::SetFrontend(std::make_unique<NoBoxes>());
  {
    std::ofstream out(platform::HostPath("C:\\kelmar.lst"), std::ios::binary);
    out << MakeList(records);
  }

  Figures loads, transfers;
  int nodes = 0, offered = 0, xferCount = 0;
  for (int run = 0; run < runs; ++run) {
    // Fresh diagnostic files each run, as in one installer run.
    std::remove(platform::HostPath("C:\\listread.txt").c_str());
    std::remove(platform::HostPath("C:\\listrdbg.txt").c_str());
    OpenCatalogueTrace();
    ProceduresList list;
    const Stamp t0 = Now();
    if (list.TextInput("C:\\kelmar.lst") != 1) return 1;
    loads.Add(t0, Now());

    offered = list.GetProcs();
    for (const std::string& name : list.ProcTable) list.AddSelectedProc(name);
    // Every sub-procedure name too, as the selection page would add them.
    for (const ProcNode* node = list.pHead; node != nullptr; node = node->pNext) {
      if (node->isSubProc != 0) list.AddSelectedSubProc(node->name);
    }
    nodes = 0;
    for (const ProcNode* node = list.pHead; node != nullptr; node = node->pNext) ++nodes;
    const Stamp t2 = Now();
    if (list.LoadAllXferFiles() != 1) return 1;
    transfers.Add(t2, Now());
    xferCount = list.xferProcs.GetCount() + list.xferSubProcs.GetCount() + list.xferFiles.GetCount() +
                list.xferDataFiles.GetCount();
    CloseCatalogueTrace();
  }
  std::printf("records %d, nodes %d, offered %d, transfer entries %d, runs %d\n", records, nodes, offered,
              xferCount, runs);
  loads.Print("TextInput");
  transfers.Print("LoadAllXferFiles");
  std::string cleanup = "rm -rf '" + root + "'";
  return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
