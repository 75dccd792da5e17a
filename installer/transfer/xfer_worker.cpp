#include "installer/transfer/xfer_worker.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "installer/catalogue/plain_file_name.h"
#include "installer/transfer/background_put.h"
#include "installer/transfer/decoder_pool.h"
#include "installer/transfer/disk_entries.h"
#include "installer/transfer/disk_map.h"
#include "installer/transfer/gz_file_copier.h"
#include "installer/transfer/insert_disk_dlg.h"
#include "installer/transfer/transfer_texts.h"
#include "installer/transfer/xfer_entry.h"
#include "platform/disk_changer.h"
#include "platform/files.h"
#include "platform/flush.h"
#include "ui/msgbox.h"

namespace transfer {

namespace {

bool Has(const CopyProgress& progress, std::uint32_t bit) { return (progress.status.load() & bit) != 0; }

// An entry of a disk's section as the worker will take it.
struct PlannedEntry {
  XferEntry entry;
  bool plain = false;
  std::string source;
  std::string target;  // "" for an unknown kind
  std::int32_t bytes = -1;  // the disk map's size
};

// The worker of one copy phase. Decoder threads decode the files of the
// disk being copied ahead of it and a put thread puts finished files in
// place behind it; everything the operator sees (prompts, questions,
// messages, the file name and the share) comes from this thread in the
// order of the list, as when one thread did all the work.
class Worker {
 public:
  Worker(const InstallPaths& paths, const XferPlan& plan, CopyProgress& progress, ui::Dialog* owner)
      : paths_(paths),
        plan_(plan),
        progress_(progress),
        prompt_(owner),
        list_(paths.transferListPath),
        diskMap_(paths.diskMapPath),
        copier_(&finished_, &put_) {
    // Cancel pressed while a file is being copied is asked about at once,
    // between two pieces; No abandons that file, Yes lets the copy go on.
    copier_.SetInterrupt([this] { return Has(progress_, STATUS_CANCEL_REQUESTED) && !GoOnAfterCancel(); });
    // Files handed to the put thread that could not be put in place are
    // reported before any later message, where one thread would have.
    copier_.SetBeforeMessage([this] { Settle(); });
  }

  int Run();

 private:
  bool WaitForDisk(int disk);
  bool GoOnAfterCancel();
  void CopyDisk(const std::string& section);
  std::vector<PlannedEntry> Plan(const std::vector<std::string>& values, const std::string& section) const;
  void CopyEntry(const PlannedEntry& planned);
  void Settle() { GzFileCopier::ReportUnplaced(put_.Settle()); }

  const InstallPaths& paths_;
  const XferPlan& plan_;
  CopyProgress& progress_;
  InsertDiskDlg prompt_;
  // Both list files are in the work folder and stay as they are during the
  // copy: each is read once, not once per entry.
  const XferListFile list_;
  const DiskMap diskMap_;
  // Finished files wait beside their targets until their disk is done (or
  // the batch is full), then go to the put thread, which flushes each
  // volume once and renames them in order.
  platform::ReplaceBatch finished_;
  BackgroundPut put_;
  GzFileCopier copier_;
  DecoderPool decoders_;
  int result_ = 1;
};

// Asks for disk `disk` until its marker is there; false when the operator
// cancelled (the transfer is then stopped).
bool Worker::WaitForDisk(int disk) {
  const std::string section = DiskSection(disk);
  const std::string marker = paths_.sourceDir + section;
  prompt_.prompt = FormatText(kInsertDiskFormat, section);
  while (!platform::FindFile(marker.c_str())) {
    if (Has(progress_, STATUS_DISK_DONE)) break;
    Settle();
    if (prompt_.DoModal() != ui::IDOK) {
      progress_.status.fetch_or(STATUS_STOPPED | STATUS_DISK_DONE);
      return false;
    }
    // A drive with a disk changer loads the disk the operator confirmed.
    if (paths_.sourceDir.size() >= 2 && paths_.sourceDir[1] == ':') platform::LoadDisk(paths_.sourceDir[0], section);
  }
  return true;
}

// Asks whether to go on after Cancel (9258). Yes answers the request: the
// copy goes on without asking until Cancel is pressed again. No stops the
// transfer.
bool Worker::GoOnAfterCancel() {
  Settle();
  if (AskNumbered(9258)) {
    progress_.status.fetch_and(~STATUS_CANCEL_REQUESTED);
    return true;
  }
  progress_.status.fetch_or(STATUS_STOPPED);
  return false;
}

std::vector<PlannedEntry> Worker::Plan(const std::vector<std::string>& values, const std::string& section) const {
  const std::string sourceBase = paths_.sourceDir + "proc_data\\";
  std::vector<PlannedEntry> planned(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    PlannedEntry& p = planned[i];
    p.entry = SplitXferEntry(values[i]);
    p.plain = catalogue::IsPlainFileName(p.entry.name);
    if (!p.plain) continue;
    p.target = TargetPath(paths_, p.entry.kind, p.entry.name);
    if (p.target.empty()) continue;
    p.source = sourceBase + p.entry.name;
    p.bytes = diskMap_.Size(section, p.entry.name);
  }
  return planned;
}

// Copies one entry of the list; reports entries it cannot take.
void Worker::CopyEntry(const PlannedEntry& planned) {
  if (!planned.plain) {
    Settle();
    ShowPlain(FormatText(kNameRefusedFormat, planned.entry.name));
    return;
  }
  if (planned.target.empty()) {
    Settle();
    ShowPlain(FormatText(kKindUnknownFormat, planned.entry.name));
    return;
  }
  progress_.SetCurrentName(planned.entry.name);
  // A file the map does not size adds nothing (never a negative size).
  if (planned.bytes > 0) {
    const std::uint32_t unit = plan_.bytesPerSector == 0 ? 1 : plan_.bytesPerSector;
    progress_.progressCount.fetch_add(static_cast<std::uint32_t>(planned.bytes) / unit);
  }
  // The map's size bounds what the file may become on the target.
  const std::shared_ptr<DecodedPayload> payload = decoders_.Take();
  copier_.CopyDecoded(planned.source, planned.target, planned.bytes > 0 ? planned.bytes : 0, *payload);
}

// The entries of one disk, in order; the files are decoded ahead, never
// past the end of this disk (the next may need a prompt first).
void Worker::CopyDisk(const std::string& section) {
  const DiskEntries entries = ReadDiskEntries(list_, section);
  const std::vector<PlannedEntry> planned = Plan(entries.values, section);
  std::vector<DecodeJob> jobs;
  for (const PlannedEntry& p : planned)
    if (!p.target.empty()) {
      const std::int64_t declared = p.bytes > 0 ? p.bytes : 0;
      jobs.push_back({p.source, p.target, declared, GzFileCopier::SizeLimit(declared)});
    }
  decoders_.Begin(std::move(jobs));
  for (std::size_t i = 0;; ++i) {
    if (Has(progress_, STATUS_CANCEL_REQUESTED) && !GoOnAfterCancel()) {
      result_ = 0;
      break;
    }
    if (i == planned.size()) {
      if (entries.keyMissing) {
        Settle();
        ShowPlain(kKeyNotFound);
      }
      break;
    }
    CopyEntry(planned[i]);
    if (Has(progress_, STATUS_STOPPED)) {
      result_ = 0;
      break;
    }
  }
  decoders_.End();
}

int Worker::Run() {
  const bool cdMode = platform::FindFile((paths_.sourceDir + "DiskCD").c_str());
  if (Has(progress_, STATUS_STOPPED)) return result_;
  for (const std::int32_t disk : plan_.disks) {
    progress_.currentDisk.store(disk);
    if (!cdMode && !WaitForDisk(disk)) result_ = 0;
    if (!Has(progress_, STATUS_DISK_DONE)) CopyDisk(DiskSection(disk));
    put_.Hand(finished_);
    progress_.status.fetch_and(~STATUS_DISK_DONE);
    if (Has(progress_, STATUS_STOPPED)) break;
  }
  Settle();
  return result_;
}

}  // namespace

int XferWorker(const InstallPaths& paths, const XferPlan& plan, CopyProgress& progress, ui::Dialog* owner) {
  int result;
  {
    // Every thread the worker started has ended before it reports itself done.
    Worker worker(paths, plan, progress, owner);
    result = worker.Run();
  }
  progress.status.fetch_or(STATUS_WORKER_DONE);
  return result;
}

}  // namespace transfer
