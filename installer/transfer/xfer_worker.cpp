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

namespace xfer {

namespace {

bool Has(const TransferContext& t, std::uint32_t bit) { return (t.status.load() & bit) != 0; }

// Asks for disk `disk` until its marker is there; false when the operator
// cancelled (the transfer is then stopped).
bool WaitForDisk(TransferContext& t, InsertDiskDlg& prompt, int disk) {
  const std::string section = DiskSection(disk);
  const std::string marker = t.sourceDir + section;
  prompt.prompt = FormatText(kInsertDiskFormat, section);
  while (!platform::FindFile(marker.c_str())) {
    if (Has(t, STATUS_DISK_DONE)) break;
    if (prompt.DoModal() != ui::IDOK) {
      t.status.fetch_or(STATUS_STOPPED | STATUS_DISK_DONE);
      return false;
    }
    // A drive with a disk changer loads the disk the operator confirmed.
    if (t.sourceDir.size() >= 2 && t.sourceDir[1] == ':') platform::LoadDisk(t.sourceDir[0], section);
  }
  return true;
}

// Asks whether to go on after Cancel (9258). Yes answers the request: the
// copy goes on without asking until Cancel is pressed again. No stops the
// transfer.
bool GoOnAfterCancel(TransferContext& t) {
  if (AskNumbered(9258)) {
    t.status.fetch_and(~STATUS_CANCEL_REQUESTED);
    return true;
  }
  t.status.fetch_or(STATUS_STOPPED);
  return false;
}

// Copies one entry of the list; reports entries it cannot take.
void CopyEntry(TransferContext& t, GzFileCopier& copier, const std::string& section,
               const std::string& sourceBase, const std::string& value) {
  const XferEntry entry = SplitXferEntry(value);
  if (!catalogue::IsPlainFileName(entry.name)) {
    ShowPlain(FormatText(kNameRefusedFormat, entry.name));
    return;
  }
  const std::string target = TargetPath(t, entry.kind, entry.name);
  if (target.empty()) {
    ShowPlain(FormatText(kKindUnknownFormat, entry.name));
    return;
  }
  t.SetCurrentName(entry.name);
  const std::int32_t bytes = LookupDiskMap(t.diskMapPath, section, entry.name);
  // A file the map does not size adds nothing (never a negative size).
  if (bytes > 0) {
    const std::uint32_t unit = t.bytesPerSector == 0 ? 1 : t.bytesPerSector;
    t.progressCount.fetch_add(static_cast<std::uint32_t>(bytes) / unit);
  }
  // The map's size bounds what the file may become on the target.
  copier.Copy(sourceBase + entry.name, target, bytes > 0 ? bytes : 0);
}

}  // namespace

int XferWorker(TransferContext* transfer) {
  TransferContext& t = *transfer;
  int result = 1;
  const bool cdMode = platform::FindFile((t.sourceDir + "DiskCD").c_str());
  InsertDiskDlg prompt(t.mainWindow);
  // A disk's files are put in place together when the disk is done (or a
  // batch is full), after one flush of each volume they were written to.
  platform::ReplaceBatch finished;
  GzFileCopier copier(&finished);
  // Cancel pressed while a file is being copied is asked about at once,
  // between two reads; No abandons that file, Yes lets the copy go on.
  copier.SetInterrupt([&t] { return Has(t, STATUS_CANCEL_REQUESTED) && !GoOnAfterCancel(t); });
  if (!Has(t, STATUS_STOPPED)) {
    for (const std::int32_t disk : t.diskTable) {
      if (disk == 0) break;
      t.currentDisk.store(disk);
      const std::string section = DiskSection(disk);
      const std::string sourceBase = t.sourceDir + "proc_data\\";
      if (!cdMode && !WaitForDisk(t, prompt, disk)) result = 0;
      for (int entry = 1; !Has(t, STATUS_DISK_DONE); ++entry) {
        if (Has(t, STATUS_CANCEL_REQUESTED) && !GoOnAfterCancel(t)) {
          result = 0;
          break;
        }
        const std::string value = ReadXferEntry(t.transferListPath, section, entry);
        if (value == kKeyMissing) {
          ShowPlain(kKeyNotFound);
          t.status.fetch_or(STATUS_DISK_DONE);
        } else if (value == kNextDisk || value == kLastDiskEntry) {
          t.status.fetch_or(STATUS_DISK_DONE);
        } else {
          CopyEntry(t, copier, section, sourceBase, value);
          if (Has(t, STATUS_STOPPED)) {
            result = 0;
            break;
          }
        }
      }
      GzFileCopier::ReportUnplaced(finished.PutInPlace());
      t.status.fetch_and(~STATUS_DISK_DONE);
      if (Has(t, STATUS_STOPPED)) break;
    }
  }
  t.status.fetch_or(STATUS_WORKER_DONE);
  return result;
}

}  // namespace xfer
