// The copy phase: the worker on its own thread, the disk prompts, Cancel on
// either window, and the progress window. Built and run under
// ThreadSanitizer as well.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "installer/transfer/copy_phase.h"
#include "installer/transfer/copy_progress_dlg.h"
#include "installer/transfer/xfer_list_writer.h"
#include "installer/transfer/xfer_worker.h"
#include "testing/host_platform.h"
#include "testing/transfer_test.h"
#include "platform/dos_path.h"
#include "platform/flush.h"
#include "platform/fault_injector.h"
#include "platform/hfile.h"
#include "ui/frontend.h"
#include "ui/window_stack.h"

namespace xfertest {
namespace {

const char* kExampleMap =
    "[Disk1]\r\nA.PRO=12000\r\nA.BMP=30000\r\nA.DAT=500\r\n[Disk2]\r\nB.PRO=8000\r\nTOOL.EXE=40000\r\n";

transfer::XferLists ExampleLists() {
  transfer::XferLists lists;
  lists.procs = {"A.PRO", "B.PRO"};
  lists.files = {"A.BMP", "TOOL.EXE"};
  lists.dataFiles = {"A.DAT"};
  return lists;
}

class WorkerTest : public TransferTest {
 protected:
  void SetUp() override {
    TransferTest::SetUp();
    std::filesystem::create_directories(CHost("orvik/proc/_temp"));
    WriteDiskMap(kExampleMap);
  }
  // The files of the worked example, disk 1 and disk 2 on `disk1` and `disk2`.
  void ExampleMedia(const std::string& disk1, const std::string& disk2) {
    AddPayload(disk1, "A.PRO", "procedure A");
    AddPayload(disk1, "A.BMP", Payload(30000, 1));
    AddPayload(disk1, "A.DAT", "data of A");
    AddPayload(disk2, "B.PRO", "procedure B");
    AddPayload(disk2, "TOOL.EXE", Payload(40000, 2));
  }
  void LayOut(const transfer::XferLists& lists) {
    std::uint32_t size = 0;
    ASSERT_TRUE(transfer::LayOutXferList(lists, paths, plan, false, &size));
    progress.requiredSize = size;
  }
  bool Installed(const std::string& rel) const { return orvik_testing::Exists(CHost(rel)); }
  // Every target of the example gets an old version, so that the worker
  // writes each file itself, in order (new files may be written ahead by
  // the decoding threads).
  void GiveEveryTargetAnOldVersion() const {
    for (const char* rel : {"orvik/proc/_temp/A.PRO", "orvik/proc/_temp/B.PRO", "orvik/pic/A.BMP", "orvik/data/A.DAT",
                            "orvik/prog/TOOL.EXE"})
      orvik_testing::WriteFile(CHost(rel), "old");
  }
  void ExpectExampleInstalled() const {
    EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/proc/_temp/A.PRO")), "procedure A");
    EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/proc/_temp/B.PRO")), "procedure B");
    EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/pic/A.BMP")), Payload(30000, 1));
    EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/data/A.DAT")), "data of A");
    EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/prog/TOOL.EXE")), Payload(40000, 2));
  }
};

// With the script frontend: the answer file drives the run.

TEST_F(WorkerTest, CdRunCopiesEveryDiskWithoutAPrompt) {
  ExampleMedia("cd", "cd");
  AddMarker("cd", "DiskCD");
  Insert("cd");
  LayOut(ExampleLists());
  Answers({});
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  ExpectExampleInstalled();
  EXPECT_EQ(progress.progressCount.load(), 23u + 58u + 0u + 15u + 78u);
  EXPECT_EQ(progress.requiredSize, 179u);  // the bar ends a little short of full
  EXPECT_EQ(progress.status.load(), STATUS_WORKER_DONE);
  EXPECT_EQ(progress.CurrentName(), "TOOL.EXE");
  EXPECT_EQ(progress.currentDisk.load(), 2);
  EXPECT_TRUE(HasLine("window 1046 \"Copying Files...\""));
  EXPECT_TRUE(HasLine("end 1046 2"));
  EXPECT_EQ(LineCount("window 1048"), 0);
  EXPECT_EQ(LineCount("box "), 0);
}

std::atomic<int> g_promptsSeen{0};
std::string g_swapTo;

// Before the Insert Disk page takes its answer, the operator changes disks.
void SwapDiskHook(int windowId, const std::string&) {
  if (windowId != 1048) return;
  ++g_promptsSeen;
  if (!g_swapTo.empty()) platform::MapDrive('d', g_swapTo);
}

// Notes whether a window was open when another thread than the test's made
// its first host call.
class FirstWorkerCall : public platform::ForwardingBackend {
 public:
  FirstWorkerCall() : platform::ForwardingBackend(platform::CurrentHostBackend()) {
    previous_ = platform::InstallHostBackend(this);
  }
  ~FirstWorkerCall() override { platform::InstallHostBackend(previous_); }
  platform::HFILE OpenFile(const char* path, platform::OFSTRUCT* of, platform::UINT style) override {
    if (std::this_thread::get_id() != test_ && !seen.exchange(true)) windowOpen = !ui::detail::NoWindowOpen();
    return inner().OpenFile(path, of, style);
  }
  std::atomic<bool> seen{false}, windowOpen{false};

 private:
  platform::HostBackend* previous_;
  std::thread::id test_ = std::this_thread::get_id();
};

// The worker starts only once the progress window is open: a message box it
// shows at once then comes above the window that waits for it, never below
// it where neither could go on.
TEST_F(WorkerTest, WorkerStartsOnlyOnceTheProgressWindowIsOpen) {
  ExampleMedia("cd", "cd");
  AddMarker("cd", "DiskCD");
  Insert("cd");
  LayOut(ExampleLists());
  Answers({});
  FirstWorkerCall probe;
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  EXPECT_TRUE(probe.seen.load());
  EXPECT_TRUE(probe.windowOpen.load());
}

TEST_F(WorkerTest, TwoDiskSetAsksForTheSecondDisk) {
  ExampleMedia("disk1", "disk2");
  AddMarker("disk1", "Disk1");
  AddMarker("disk2", "Disk2");
  Insert("disk1");
  LayOut(ExampleLists());
  g_promptsSeen = 0;
  g_swapTo = Medium("disk2");
  ui::SetBeforeAnswerHook(&SwapDiskHook);
  Answers({"1048 click 1"});
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  EXPECT_EQ(g_promptsSeen.load(), 1);
  ExpectExampleInstalled();
  EXPECT_TRUE(HasLine("window 1048 \"Procedure Install - Insert Disk\""));
  EXPECT_TRUE(HasLine("end 1048 1"));
}

TEST_F(WorkerTest, EachDiskIsFlushedOnceBeforeItsFilesAreInPlace) {
  SKIP_UNLESS_POSIX("Windows flushes a volume only for an administrator: the files are flushed one by one");
  ExampleMedia("disk1", "disk2");
  AddMarker("disk1", "Disk1");
  AddMarker("disk2", "Disk2");
  Insert("disk1");
  LayOut(ExampleLists());
  g_promptsSeen = 0;
  g_swapTo = Medium("disk2");
  ui::SetBeforeAnswerHook(&SwapDiskHook);
  // Each flush with the files of either disk already in place at that moment.
  std::vector<std::string> flushes;
  platform::ScopedFlushHook watch([&](platform::FlushScope scope, const std::string&) {
    flushes.push_back(std::string(scope == platform::FlushScope::kVolume ? "volume" : "file") +
                      (Installed("orvik/proc/_temp/A.PRO") || Installed("orvik/pic/A.BMP") ? " disk1" : "") +
                      (Installed("orvik/proc/_temp/B.PRO") || Installed("orvik/prog/TOOL.EXE") ? " disk2" : ""));
    return platform::TRUE;
  });
  Answers({"1048 click 1"});
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  EXPECT_EQ(flushes, (std::vector<std::string>{"volume", "volume disk1"}));
  ExpectExampleInstalled();
}

TEST_F(WorkerTest, CancelOnTheInsertDiskPageStopsTheTransfer) {
  ExampleMedia("disk1", "disk2");
  AddMarker("disk1", "Disk1");
  AddMarker("disk2", "Disk2");
  Insert("disk1");
  LayOut(ExampleLists());
  Answers({"1048 click 2"});
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 0);
  EXPECT_TRUE(progress.status.load() & STATUS_STOPPED);
  EXPECT_TRUE(Installed("orvik/proc/_temp/A.PRO"));
  EXPECT_FALSE(Installed("orvik/proc/_temp/B.PRO"));
  EXPECT_FALSE(Installed("orvik/prog/TOOL.EXE"));
  EXPECT_TRUE(HasLine("end 1048 2"));
}

// The worker holds in its first write of a copy until the window's Cancel
// has been pressed, so that the question comes at a known point.
std::atomic<bool> g_inFirstWrite{false};
transfer::CopyProgress* g_context = nullptr;

void HoldFirstWriteUntilCancel(platform::FaultInjector& faults) {
  g_inFirstWrite = false;
  faults.FilterWrites([](platform::HFILE, platform::UINT count) {
    if (!g_inFirstWrite.exchange(true))
      while (!(g_context->status.load() & STATUS_CANCEL_REQUESTED))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return count;
  });
}

void CancelWhenCopying(int windowId, const std::string&) {
  if (windowId != 1046) return;
  while (!g_inFirstWrite.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The question comes between two reads of the file in progress; No abandons
// that file and copies nothing more.
TEST_F(WorkerTest, CancelOnTheProgressWindowAnsweredNoAbandonsTheFileInProgress) {
  ExampleMedia("cd", "cd");
  AddMarker("cd", "DiskCD");
  Insert("cd");
  LayOut(ExampleLists());
  GiveEveryTargetAnOldVersion();
  g_context = &progress;
  platform::FaultInjector faults;
  HoldFirstWriteUntilCancel(faults);
  ui::SetBeforeAnswerHook(&CancelWhenCopying);
  Answers({"1046 click 2", "box contains \"Copying has been interrupted\" No"});
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 0);
  EXPECT_EQ(BoxCount("Copying has been interrupted"), 1);
  EXPECT_EQ(HostNames(CHost("orvik/proc/_temp")), (std::vector<std::string>{"A.PRO", "B.PRO"}));
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/proc/_temp/A.PRO")), "old");
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/pic/A.BMP")), "old");
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/proc/_temp/B.PRO")), "old");
  EXPECT_EQ(progress.status.load() & (STATUS_STOPPED | STATUS_WORKER_DONE | STATUS_CANCEL_REQUESTED),
            STATUS_STOPPED | STATUS_WORKER_DONE | STATUS_CANCEL_REQUESTED);
  EXPECT_TRUE(HasLine("end 1046 2"));
}

// Holds the first write (A.PRO) and the next one (A.BMP, after the answer to
// the first Cancel) each until Cancel has been pressed.
std::atomic<int> g_writes{0};

void HoldTwoWritesUntilCancel(platform::FaultInjector& faults) {
  g_writes = 0;
  g_inFirstWrite = false;
  faults.FilterWrites([](platform::HFILE, platform::UINT count) {
    const int n = ++g_writes;
    if (n == 1) g_inFirstWrite = true;
    if (n <= 2)
      while (!(g_context->status.load() & STATUS_CANCEL_REQUESTED))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return count;
  });
}

TEST_F(WorkerTest, YesGoesOnWithoutAskingUntilTheNextCancel) {
  ExampleMedia("cd", "cd");
  AddMarker("cd", "DiskCD");
  Insert("cd");
  LayOut(ExampleLists());
  GiveEveryTargetAnOldVersion();
  g_context = &progress;
  platform::FaultInjector faults;
  HoldTwoWritesUntilCancel(faults);
  ui::SetBeforeAnswerHook(&CancelWhenCopying);
  Answers({"1046 click 2", "box contains \"Copying has been interrupted\" Yes", "1046 click 2",
           "box contains \"Copying has been interrupted\" No"});
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 0);
  EXPECT_EQ(BoxCount("Copying has been interrupted"), 2);
  EXPECT_EQ(LineCount("answer click 2"), 2);
  // A.PRO went on after Yes; No came within A.BMP and abandoned it.
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/proc/_temp/A.PRO")), "procedure A");
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/pic/A.BMP")), "old");
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/data/A.DAT")), "old");
  EXPECT_TRUE(progress.status.load() & STATUS_STOPPED);
}

// The disk map's size bounds each file: a picture that inflates past it is
// refused, the rest of the transfer goes on.
TEST_F(WorkerTest, FileLargerThanTheDiskMapDeclaresIsRefused) {
  ExampleMedia("cd", "cd");
  AddPayload("cd", "A.BMP", TextPayload(300000, 3));  // the map says 30000
  AddMarker("cd", "DiskCD");
  Insert("cd");
  LayOut(ExampleLists());
  Answers({"box contains \"D:\\proc_data\\A.BMP decompresses to more than the 30000 bytes\" OK"});
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  EXPECT_FALSE(Installed("orvik/pic/A.BMP"));
  EXPECT_EQ(HostNames(CHost("orvik/pic")), std::vector<std::string>{});
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/prog/TOOL.EXE")), Payload(40000, 2));
}

// With the recording frontend: what the windows show.

TEST_F(WorkerTest, InsertDiskPageNamesTheDiskAndComesBackUntilItIsThere) {
  ExampleMedia("disk1", "disk2");
  AddMarker("disk1", "Disk1");
  AddMarker("disk2", "Disk2");
  AddMarker("other", "Disk7");
  Insert("other");  // a wrong disk is in the drive at the start
  LayOut(ExampleLists());
  RecordingFrontend& ui = InstallRecorder();
  int prompts = 0;
  const std::string disk1 = Medium("disk1"), disk2 = Medium("disk2");
  ui.OnDialog(1048, [&](ui::Dialog& page) {
    ++prompts;
    // 1: OK with the wrong disk still in; 2: disk 1 goes in; 3: disk 2.
    if (prompts == 2) platform::MapDrive('d', disk1);
    if (prompts == 3) platform::MapDrive('d', disk2);
    page.OnCommand(ui::IDOK);
  });
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  EXPECT_EQ(ui.Seen(1048, 1040),
            (std::vector<std::string>{"Please insert Disk1", "Please insert Disk1", "Please insert Disk2"}));
  ExpectExampleInstalled();
  EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(WorkerTest, DriveWithADiskChangerLoadsTheDiskOnceThePromptIsConfirmed) {
  SKIP_UNLESS_POSIX("the disk changer swaps the drive folders of a POSIX prefix");
  ExampleMedia("set/Disk1", "set/Disk2");
  AddMarker("set/Disk1", "Disk1");
  AddMarker("set/Disk2", "Disk2");
  Insert("set/Disk1");
  LayOut(ExampleLists());
  orvik_testing::SetEnv("ORVIK_MEDIA_D", root_ + "/media/set");
  RecordingFrontend& ui = InstallRecorder();
  ui.OnDialog(1048, [&](ui::Dialog& page) { page.OnCommand(ui.Runs(1048) > 2 ? ui::IDCANCEL : ui::IDOK); });
  const int result = transfer::CopyXferFiles(paths, plan, progress, nullptr);
  orvik_testing::SetEnv("ORVIK_MEDIA_D", "");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(ui.Seen(1048, 1040), (std::vector<std::string>{"Please insert Disk2"}));
  ExpectExampleInstalled();
}

TEST_F(WorkerTest, ProgressWindowShowsDiskFileAndShare) {
  RecordingFrontend& ui = InstallRecorder();
  progress.currentDisk = 3;
  progress.requiredSize = 400;
  progress.SetCurrentName("FIRST.PRO");
  std::vector<int> positions;
  std::vector<std::string> names;
  std::atomic<int> shown{-1};
  ui.OnDialog(1046, [&](ui::Dialog& window) {
    // Each step waits until the window has shown it.
    std::thread worker([&] {
      for (std::uint32_t count : {100u, 200u, 399u}) {
        if (count == 399u) progress.currentDisk = 4;  // the second disk went in
        progress.progressCount = count;
        progress.SetCurrentName("F" + std::to_string(count));
        while (shown.load() != static_cast<int>(count * 100 / 400))
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      progress.status.fetch_or(STATUS_WORKER_DONE);
    });
    while (!window.IsEnded()) {
      window.FireDueTimers();
      positions.push_back(window.Progress(1015).GetPos());
      names.push_back(window.GetDlgItemText(1039));
      shown = positions.back();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    worker.join();
  });
  transfer::CopyProgressDlg window(progress, nullptr);
  EXPECT_EQ(window.DoModal(), 2);
  EXPECT_EQ(ui.Seen(1046, 1037), (std::vector<std::string>{"Copying Disk #3"}));
  EXPECT_EQ(ui.Seen(1046, 1038), (std::vector<std::string>{"File:"}));
  EXPECT_EQ(ui.Seen(1046, 1039), (std::vector<std::string>{"FIRST.PRO"}));
  EXPECT_NE(std::find(positions.begin(), positions.end(), 25), positions.end());
  EXPECT_NE(std::find(positions.begin(), positions.end(), 50), positions.end());
  // 399 of 400 shows 99; the copy's end shows 100.
  EXPECT_NE(std::find(positions.begin(), positions.end(), 99), positions.end());
  EXPECT_EQ(positions.back(), 100);
  EXPECT_EQ(names.back(), "F399");
  EXPECT_EQ(window.GetDlgItemText(1037), "Copying Disk #4");
}

TEST_F(WorkerTest, ProgressWindowCancelWaitsForTheWorker) {
  RecordingFrontend& ui = InstallRecorder();
  std::atomic<bool> workerDone{false};
  ui.OnDialog(1046, [&](ui::Dialog& window) {
    std::thread worker([&] {
      while (!(progress.status.load() & STATUS_CANCEL_REQUESTED))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      workerDone = true;
      progress.status.fetch_or(STATUS_WORKER_DONE);
    });
    window.OnCommand(ui::IDCANCEL);
    EXPECT_TRUE(workerDone.load());  // Cancel returned only after the worker ended
    worker.join();
  });
  transfer::CopyProgressDlg window(progress, nullptr);
  EXPECT_EQ(window.DoModal(), 2);
  EXPECT_TRUE(progress.status.load() & STATUS_CANCEL_REQUESTED);
}

TEST(ProgressPercent, NeverOverflowsNorPassesFull) {
  EXPECT_EQ(transfer::ProgressPercent(0, 0), 0);
  EXPECT_EQ(transfer::ProgressPercent(5, 0), 0);
  EXPECT_EQ(transfer::ProgressPercent(174, 179), 97);
  EXPECT_EQ(transfer::ProgressPercent(4000000000u, 4200000000u), 95);
  EXPECT_EQ(transfer::ProgressPercent(500, 100), 100);
}

TEST_F(WorkerTest, SecondCopyPhaseStartsAfresh) {
  ExampleMedia("cd", "cd");
  AddMarker("cd", "DiskCD");
  Insert("cd");
  LayOut(ExampleLists());
  RecordingFrontend& ui = InstallRecorder();
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  const std::uint32_t first = progress.progressCount.load();
  progress.status.fetch_or(STATUS_STOPPED | STATUS_CANCEL_REQUESTED);
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  EXPECT_EQ(progress.progressCount.load(), first);
  EXPECT_EQ(progress.status.load(), STATUS_WORKER_DONE);
  EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(WorkerTest, MissingKeySkipsTheRestOfThatDisk) {
  AddMarker("cd", "DiskCD");
  AddPayload("cd", "ONE.DAT", "1");
  AddPayload("cd", "TWO.DAT", "2");
  Insert("cd");
  WriteDiskMap("[Disk1]\nONE.DAT=1\n[Disk2]\nTWO.DAT=1\n");
  orvik_testing::WriteFile(CHost("work/orvik.lst"), "[Disk1]\r\nF1=ONE.DAT,A\r\nF3=X,A\r\n\r\n[Disk2]\r\nF1=TWO.DAT,A\r\nF2=last disk\r\n");
  plan.disks = {1, 2};
  RecordingFrontend& ui = InstallRecorder();
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "Key values not found in ORVIK.LST");
  EXPECT_EQ(ui.Boxes()[0].caption, "ORVIK - Procedure Installation");
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/data/ONE.DAT")), "1");
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/data/TWO.DAT")), "2");
}

TEST_F(WorkerTest, NamesThatAreNoPlainFileNamesAreNeverWritten) {
  AddMarker("cd", "DiskCD");
  AddPayload("cd", "OK.DAT", "fine");
  WriteGzipHost(Medium("cd") + "/evil.txt", "escaped");
  Insert("cd");
  WriteDiskMap("[Disk1]\nOK.DAT=1\n");
  orvik_testing::WriteFile(CHost("work/orvik.lst"),
            "[Disk1]\r\nF1=..\\..\\..\\evil.txt,M\r\nF2=..,A\r\nF3=C:\\evil.txt,B\r\nF4=sub/evil.txt,A\r\n"
            "F5=,A\r\nF6=OK.DAT,A\r\nF7=last disk\r\n");
  plan.disks = {1};
  RecordingFrontend& ui = InstallRecorder();
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  EXPECT_EQ(ui.BoxCount("not a plain file name; the file is not transferred."), 5);
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/data/OK.DAT")), "fine");
  EXPECT_FALSE(orvik_testing::Exists(CHost("evil.txt")));
  EXPECT_FALSE(orvik_testing::Exists(CHost("orvik/evil.txt")));
  EXPECT_FALSE(orvik_testing::Exists(root_ + "/prefix/evil.txt"));
  EXPECT_EQ(progress.progressCount.load(), 0u);  // OK.DAT: 1 byte in units of 512
}

TEST_F(WorkerTest, UnknownKindIsReportedAndSkipped) {
  AddMarker("cd", "DiskCD");
  AddPayload("cd", "Q.DAT", "q");
  AddPayload("cd", "R.DAT", "r");
  Insert("cd");
  WriteDiskMap("[Disk1]\nQ.DAT=1024\nR.DAT=1024\n");
  orvik_testing::WriteFile(CHost("work/orvik.lst"), "[Disk1]\r\nF1=Q.DAT,X\r\nF2=Q.DAT\r\nF3=R.DAT,A\r\nF4=last disk\r\n");
  plan.disks = {1};
  RecordingFrontend& ui = InstallRecorder();
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  EXPECT_EQ(ui.BoxCount("Q.DAT : unknown kind of file"), 2);
  EXPECT_EQ(HostNames(CHost("orvik/data")), (std::vector<std::string>{"R.DAT"}));
  EXPECT_EQ(progress.progressCount.load(), 2u);
}

TEST_F(WorkerTest, FileMissingFromTheMediumIsReportedAndTheRestCopied) {
  AddMarker("cd", "DiskCD");
  AddPayload("cd", "B.DAT", "b");
  Insert("cd");
  WriteDiskMap("[Disk1]\nA.DAT=10\nB.DAT=10\n");
  transfer::XferLists lists;
  lists.dataFiles = {"A.DAT", "B.DAT"};
  LayOut(lists);
  RecordingFrontend& ui = InstallRecorder();
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_NE(ui.Boxes()[0].text.find("D:\\proc_data\\A.DAT cannot be opened"), std::string::npos);
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/data/B.DAT")), "b");
}

TEST_F(WorkerTest, ManySmallFilesWhileTheWindowWatches) {
  AddMarker("cd", "DiskCD");
  Insert("cd");
  std::string map = "[Disk1]\n";
  transfer::XferLists lists;
  for (int i = 0; i < 150; ++i) {
    const std::string name = "F" + std::to_string(i) + ".DAT";
    AddPayload("cd", name, TextPayload(2000 + i, i));
    map += name + "=" + std::to_string(2000 + i) + "\n";
    lists.dataFiles.push_back(name);
  }
  WriteDiskMap(map);
  LayOut(lists);
  RecordingFrontend& ui = InstallRecorder();
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  EXPECT_TRUE(ui.Boxes().empty());
  EXPECT_EQ(HostNames(CHost("orvik/data")).size(), 150u);
  EXPECT_EQ(orvik_testing::ReadFile(CHost("orvik/data/F149.DAT")), TextPayload(2149, 149));
}

TEST_F(WorkerTest, AStoppedRecordIsNotWalked) {
  ExampleMedia("cd", "cd");
  AddMarker("cd", "DiskCD");
  Insert("cd");
  LayOut(ExampleLists());
  progress.status = STATUS_STOPPED;
  EXPECT_EQ(transfer::XferWorker(paths, plan, progress, nullptr), 1);
  EXPECT_EQ(progress.status.load(), STATUS_STOPPED | STATUS_WORKER_DONE);
  EXPECT_FALSE(Installed("orvik/proc/_temp/A.PRO"));
}

}  // namespace
}  // namespace xfertest
