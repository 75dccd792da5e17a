// Times the selection page on a catalogue of 20,000 offered names (opening,
// a click on an alias of a six-name procedure checked against a 60,000-record
// proc.dir, Select All, Next) and UpdateProcDir of 1,000 procedures into a
// proc.dir of 60,000 records, against the same update into an empty index.
// Runs in a temporary prefix.
//
//   selection_bench [runs] [offered names]
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "installer/procdir/procdir_open.h"
#include "installer/selection/proc_select_dlg.h"
#include "installer/registration/update_proc_dir.h"
#include "installer/transfer/copy_progress.h"
#include "installer/transfer/install_paths.h"
#include "platform/dos_path.h"
#include "platform/flush.h"
#include "resources/kelmar_resources.h"
#include "testing/fake_instance.h"
#include "testing/host_files.h"
#include "testing/sandbox.h"
#include "text/text.h"
#include "ui/app.h"
#include "ui/frontend.h"

namespace {

int kOfferedNames = 20000;  // second argument
constexpr int kIndexRecords = 60000;
constexpr int kUpdatedProcs = 1000;

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
    std::printf("%-24s wall min %8.1f ms  median %8.1f ms   cpu min %8.1f ms  median %8.1f ms\n", what,
                wall.front(), wall[wall.size() / 2], cpu.front(), cpu[cpu.size() / 2]);
  }
};

std::string Pad(const std::string& text, std::size_t width) {
  std::string out = text.substr(0, width);
  out.resize(width, ' ');
  return out;
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


// kelmar.lst: records of four names, every fifth with a sub-procedure of its
// own, one record of six names ("SIX-1" .. "SIX-6") and one of two, 20,000
// offered names in all; then the 1,000 procedures that UpdateProcDir
// registers (sub-procedure records, never offered).
std::string MakeList() {
  std::string text;
  auto record = [&text](bool sub, const std::vector<std::string>& names, const std::string& file,
                        const std::string& subProc) {
    text += sub ? "instrumentSub=======\n" : "instrument==========\n";
    for (const std::string& n : names) text += n + "\n";
    text += "procfile\n" + file + "\nsub\n";
    if (!subProc.empty()) text += subProc + "\n";
    text += "files\nPIC" + file + ".BMP\ndatafiles\ncalibrator\nR520\nconfiguration\nNeeds a scope\nend\n";
  };
  int offered = 0;
  for (int r = 0; offered + 4 <= kOfferedNames - 8; ++r) {
    std::vector<std::string> names;
    for (int k = 1; k <= 4; ++k) names.push_back(Name(r * 4 + k, "-n"));
    std::string sub = r % 5 == 0 ? "SUB" + std::to_string(r) : "";
    record(false, names, "P" + std::to_string(r) + ".PRO", sub);
    if (!sub.empty()) record(true, {sub}, sub + ".PRO", "");
    offered += 4;
  }
  record(false, {"ZZ-SIX-1", "ZZ-SIX-2", "ZZ-SIX-3", "ZZ-SIX-4", "ZZ-SIX-5", "ZZ-SIX-6"}, "SIX.PRO", "");
  record(false, {"ZZ-TWO-1", "ZZ-TWO-2"}, "TWO.PRO", "");
  for (int u = 0; u < kUpdatedProcs; ++u) {
    std::vector<std::string> names;
    for (int k = 1; k <= 1 + u % 3; ++k) names.push_back(Name(u * 3 + k, "-u"));
    record(true, names, "U" + std::to_string(u) + ".PRO", "");
  }
  return text;
}

// proc.dir of 60,000 records: entries of three names under 1.pro upwards,
// none of them a name of the catalogue.
std::string MakeIndex() {
  std::string out;
  out.reserve(static_cast<std::size_t>(kIndexRecords) * 75);
  for (int e = 0; e < kIndexRecords / 3; ++e) {
    std::string file = std::to_string(e + 1) + ".pro";
    for (int k = 0; k < 3; ++k) {
      out += std::string(" E") + (k == 0 ? 'F' : ' ') + (k == 2 ? 'L' : ' ') + ' ' + Pad(file, 13) +
             Pad("Installed " + std::to_string(e) + "/" + std::to_string(k), 55) + "\r\n";
    }
  }
  return out;
}

// Runs the page by hand: one click, Select All (answered OK), Next.
class BenchFrontend : public ui::Frontend {
 public:
  Stamp opened{}, clicked{}, selectedAll{}, nexted{};
  int unexpected = 0;

  void RunModal(ui::Dialog& dialog) override {
    if (dialog.TemplateId() != IDD_PROC_SELECT) {
      ++unexpected;
      dialog.EndDialog(ui::IDCANCEL);
      return;
    }
    opened = Now();
    ui::ListBox list = dialog.List(IDC_PROC_LIST);
    int item = list.FindStringExact(-1, "ZZ-SIX-4");
    list.SetSel(item, true);
    list.SetCaretIndex(item);
    dialog.OnSelChange(IDC_PROC_LIST);
    clicked = Now();
    if (list.GetSelCount() != 6) ++unexpected;
    dialog.OnCommand(IDC_SELECT_ALL);
    selectedAll = Now();
    dialog.OnCommand(ui::IDOK);
    nexted = Now();
  }
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned) override {
    if (caption.rfind("ORVIK Error", 0) == 0 || caption == "Sharing Violation") {
      std::fprintf(stderr, "unexpected box: %s: %s\n", caption.c_str(), text.c_str());
      ++unexpected;
    }
    return ui::IDOK;
  }
  void ModelessShown(ui::Dialog&) override {}
  void ModelessUpdated(ui::Dialog&) override {}
  void ModelessDestroyed(ui::Dialog&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  if (argc > 2) kOfferedNames = std::atoi(argv[2]);

  orvik_testing::Sandbox box(orvik_testing::Sandbox::kThisProcess);
  ui::SetResources(&resources::Kelmar());
  if (!orvik_testing::OpenMessages()) return 1;
  auto owned = std::make_unique<BenchFrontend>();
  BenchFrontend& frontend = *owned;
  ui::SetFrontend(std::move(owned));

  orvik_testing::WriteFile(platform::HostPath("C:\\kelmar.lst"), MakeList());
  const std::string index = MakeIndex();
  const std::string indexPath = platform::HostPath("C:\\orvik\\proc\\proc.dir");

  Figures open, click, selectAll, next, page, update, updateEmpty;
  int offered = 0, selectedSubs = 0, registered = 0;
  for (int run = 0; run < runs; ++run) {
    orvik_testing::WriteFile(indexPath, index);
    catalogue::ProceduresList catalogue;
    if (catalogue.TextInput("C:\\kelmar.lst") != 1) return 1;
    offered = catalogue.GetProcs();

    // The page over the 60,000-record index, as the selection step runs it.
    platform::HFILE handle = procdir::ProcDirOpen("C:\\orvik\\proc\\proc.dir", "w");
    if (handle == -1) return 1;
    const Stamp t0 = Now();
    {
      selection::ProcSelectDlg dialog(catalogue, nullptr);
      dialog.indexHandle = handle;
      if (dialog.DoModal() != ui::IDOK) return 1;
    }
    const Stamp t1 = Now();
    procdir::ProcDirClose(handle);
    open.Add(t0, frontend.opened);
    click.Add(frontend.opened, frontend.clicked);
    selectAll.Add(frontend.clicked, frontend.selectedAll);
    next.Add(frontend.selectedAll, frontend.nexted);
    page.Add(t0, t1);
    selectedSubs = catalogue.selectedSubProcs.GetCount();

    // UpdateProcDir of the 1,000 procedures, staged in tempDir.
    transfer::InstallPaths paths;
    transfer::CopyProgress progress;
    paths.procDir = "C:\\orvik\\proc\\";
    paths.tempDir = "C:\\orvik\\proc\\_temp";
    catalogue.xferSubProcs.RemoveAll();
    catalogue.xferProcs.RemoveAll();
    for (int u = 0; u < kUpdatedProcs; ++u) catalogue.xferProcs.AddTail("U" + std::to_string(u) + ".PRO");
    // The staged files, as the copy phase leaves them (the update moves them).
    auto stage = [&] {
      for (int u = 0; u < kUpdatedProcs; ++u) {
        std::string file = "U" + std::to_string(u) + ".PRO";
        orvik_testing::WriteFile(platform::HostPath(paths.tempDir + "\\" + file), "procedure " + file);
      }
    };
    stage();
    orvik_testing::WriteFile(indexPath, index);
    // The copy phase leaves the staged files on the disk, and the selection
    // page only reads the index: the update starts with nothing to flush.
    platform::FlushVolumeBuffers(paths.procDir.c_str());
    const Stamp t2 = Now();
    if (registration::UpdateProcDir(catalogue, paths, progress, nullptr) != 1) return 1;
    update.Add(t2, Now());
    registered = static_cast<int>(std::filesystem::file_size(indexPath) / 75) - kIndexRecords;

    // The same into an empty index: the copies and the window without the
    // scans of the 60,000 records.
    stage();
    orvik_testing::WriteFile(indexPath, "");
    platform::FlushVolumeBuffers(paths.procDir.c_str());
    const Stamp t3 = Now();
    if (registration::UpdateProcDir(catalogue, paths, progress, nullptr) != 1) return 1;
    updateEmpty.Add(t3, Now());
    std::filesystem::remove_all(platform::HostPath("C:\\orvik\\proc"));
  }
  if (frontend.unexpected != 0) {
    std::fprintf(stderr, "%d unexpected windows or boxes\n", frontend.unexpected);
    return 1;
  }
  std::printf("offered names %d, sub-procedures collected %d, index records %d, procedures registered %d "
              "(%d records), runs %d, %u cores\n",
              offered, selectedSubs, kIndexRecords, kUpdatedProcs, registered, runs, std::thread::hardware_concurrency());
  open.Print("page 108: open");
  click.Print("page 108: alias click");
  selectAll.Print("page 108: Select All");
  next.Print("page 108: Next");
  page.Print("page 108: whole visit");
  update.Print("UpdateProcDir");
  updateEmpty.Print("UpdateProcDir, empty");
  // The same registrations and copies without the 60,000 records: what the
  // index adds to the update.
  std::printf("%-24s wall %5.2f x  cpu %5.2f x  UpdateProcDir into an empty index\n", "UpdateProcDir, 60,000",
              update.wall[update.wall.size() / 2] / updateEmpty.wall[updateEmpty.wall.size() / 2],
              update.cpu[update.cpu.size() / 2] / updateEmpty.cpu[updateEmpty.cpu.size() / 2]);
  text_close();
  return 0;
}
