#include "installer/transfer/xfer_worker.h"

#include <cstdint>
#include <string>

#include "installer/catalogue/plain_file_name.h"
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

// Asks for disk `disk` until its marker is there; false when the operator
// cancelled (the transfer is then stopped).
bool WaitForDisk(const std::string& sourceDir, CopyProgress& progress, InsertDiskDlg& prompt, int disk) {
  const std::string section = DiskSection(disk);
  const std::string marker = sourceDir + section;
  prompt.prompt = FormatText(kInsertDiskFormat, section);
  while (!platform::FindFile(marker.c_str())) {
    if (Has(progress, STATUS_DISK_DONE)) break;
    if (prompt.DoModal() != ui::IDOK) {
      progress.status.fetch_or(STATUS_STOPPED | STATUS_DISK_DONE);
      return false;
    }
    // A drive with a disk changer loads the disk the operator confirmed.
    if (sourceDir.size() >= 2 && sourceDir[1] == ':') platform::LoadDisk(sourceDir[0], section);
  }
  return true;
}

// Asks whether to go on after Cancel (9258). Yes answers the request: the
// copy goes on without asking until Cancel is pressed again. No stops the
// transfer.
bool GoOnAfterCancel(CopyProgress& progress) {
  if (AskNumbered(9258)) {
    progress.status.fetch_and(~STATUS_CANCEL_REQUESTED);
    return true;
  }
  progress.status.fetch_or(STATUS_STOPPED);
  return false;
}

// Copies one entry of the list; reports entries it cannot take.
void CopyEntry(const InstallPaths& paths, const XferPlan& plan, CopyProgress& progress, GzFileCopier& copier,
               const DiskMap& diskMap, const std::string& section, const std::string& sourceBase, const std::string& value) {
  const XferEntry entry = SplitXferEntry(value);
  if (!catalogue::IsPlainFileName(entry.name)) {
    ShowPlain(FormatText(kNameRefusedFormat, entry.name));
    return;
  }
  const std::string target = TargetPath(paths, entry.kind, entry.name);
  if (target.empty()) {
    ShowPlain(FormatText(kKindUnknownFormat, entry.name));
    return;
  }
  progress.SetCurrentName(entry.name);
  const std::int32_t bytes = diskMap.Size(section, entry.name);
  // A file the map does not size adds nothing (never a negative size).
  if (bytes > 0) {
    const std::uint32_t unit = plan.bytesPerSector == 0 ? 1 : plan.bytesPerSector;
    progress.progressCount.fetch_add(static_cast<std::uint32_t>(bytes) / unit);
  }
  // The map's size bounds what the file may become on the target.
  copier.Copy(sourceBase + entry.name, target, bytes > 0 ? bytes : 0);
}

}  // namespace

int XferWorker(const InstallPaths& paths, const XferPlan& plan, CopyProgress& progress, ui::Dialog* owner) {
  int result = 1;
  const bool cdMode = platform::FindFile((paths.sourceDir + "DiskCD").c_str());
  InsertDiskDlg prompt(owner);
  // Both list files are in the work folder and stay as they are during the
  // copy: each is read once, not once per entry.
  const XferListFile list(paths.transferListPath);
  const DiskMap diskMap(paths.diskMapPath);
  // A disk's files are put in place together when the disk is done (or a
  // batch is full), after one flush of each volume they were written to.
  platform::ReplaceBatch finished;
  GzFileCopier copier(&finished);
  // Cancel pressed while a file is being copied is asked about at once,
  // between two reads; No abandons that file, Yes lets the copy go on.
  copier.SetInterrupt([&progress] { return Has(progress, STATUS_CANCEL_REQUESTED) && !GoOnAfterCancel(progress); });
  if (!Has(progress, STATUS_STOPPED)) {
    for (const std::int32_t disk : plan.disks) {
      progress.currentDisk.store(disk);
      const std::string section = DiskSection(disk);
      const std::string sourceBase = paths.sourceDir + "proc_data\\";
      if (!cdMode && !WaitForDisk(paths.sourceDir, progress, prompt, disk)) result = 0;
      for (int entry = 1; !Has(progress, STATUS_DISK_DONE); ++entry) {
        if (Has(progress, STATUS_CANCEL_REQUESTED) && !GoOnAfterCancel(progress)) {
          result = 0;
          break;
        }
        const std::string value = list.Entry(section, entry);
        if (value == kKeyMissing) {
          ShowPlain(kKeyNotFound);
          progress.status.fetch_or(STATUS_DISK_DONE);
        } else if (value == kNextDisk || value == kLastDiskEntry) {
          progress.status.fetch_or(STATUS_DISK_DONE);
        } else {
          CopyEntry(paths, plan, progress, copier, diskMap, section, sourceBase, value);
          if (Has(progress, STATUS_STOPPED)) {
            result = 0;
            break;
          }
        }
      }
      GzFileCopier::ReportUnplaced(finished.PutInPlace());
      progress.status.fetch_and(~STATUS_DISK_DONE);
      if (Has(progress, STATUS_STOPPED)) break;
    }
  }
  progress.status.fetch_or(STATUS_WORKER_DONE);
  return result;
}

}  // namespace transfer
