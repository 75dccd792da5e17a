#include "installer/registration/update_proc_dir.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_image.h"
#include "installer/procdir/procdir_messages.h"
#include "installer/procdir/procdir_open.h"
#include "installer/registration/copy_failure.h"
#include "installer/registration/index_progress_dialog.h"
#include "installer/registration/procedure_copies.h"
#include "installer/installer_codes.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/process.h"
#include "resources/kelmar_ids.h"
#include "text/text.h"
#include "ui/msgbox.h"

namespace registration {
namespace {

// What differs between the two transfer lists.
struct ItemKind {
  std::uint8_t kindFlag;  // PD_KIND_H or PD_KIND_E
  int noEntryMessage;     // no catalogue entry for the file
  int noNamesMessage;     // catalogue entry without names
  int copyFailedMessage;  // copy from tempDir failed
};

constexpr ItemKind kSubProc{procdir::PD_KIND_H, 9251, 9252, MSG_SUBPROC_COPY_FAILED};
constexpr ItemKind kProc{procdir::PD_KIND_E, 9253, 9254, MSG_PROC_COPY_FAILED};

// The staged copy of `file`: the copy worker writes procedure files with the
// last letter of their extension in lower case.
std::string StagedName(std::string file) {
  if (!file.empty()) file.back() = 'o';
  return file;
}

// Fills the descriptor with the node's names (each cut to 55 characters) for
// ProcDirAdd. The caller has checked that there are 1 to 6 of them.
void FillEntry(procdir::ProcDirEntry& entry, const catalogue::StringList& names, std::uint8_t kindFlag) {
  std::memset(&entry, 0, sizeof entry);
  int slot = 0;
  for (const std::string& name : names) {
    std::size_t length = name.size() < procdir::PROCDIR_NAME_LENGTH ? name.size() : procdir::PROCDIR_NAME_LENGTH;
    std::memcpy(entry.names[slot++], name.data(), length);
  }
  entry.nameCount = static_cast<std::uint8_t>(slot);
  entry.flags = kindFlag | procdir::PD_EXISTS;
}

// Why a transferred file is not registered, before its index records.
enum class Refusal { kNone, kNoEntry, kNoNames, kTooManyNames };

Refusal Check(catalogue::ProceduresList& catalogue, const std::string& file, const catalogue::ProcNode** node) {
  *node = catalogue.FindByProcFile(file);
  if (*node == nullptr) return Refusal::kNoEntry;
  int count = (*node)->siblings.GetCount();
  // No record would carry a file number given to an entry without names.
  if (count == 0) return Refusal::kNoNames;
  if (count > procdir::PROCDIR_MAX_NAMES) return Refusal::kTooManyNames;
  return Refusal::kNone;
}

class IndexUpdate {
 public:
  IndexUpdate(catalogue::ProceduresList& catalogue, const transfer::InstallPaths& paths, transfer::CopyProgress& progress,
              IndexProgressDialog& window, platform::HFILE index)
      : catalogue_(catalogue), paths_(paths), progress_(progress), window_(window), index_(index), copies_(paths.procDir) {}

  // Prepares the files of the items that will be registered, before the
  // first item: the parts of stopped runs go, each file is made ready
  // beside the index and all of them are flushed at once.
  void PrepareCopies() {
    copies_.RemoveLeftovers();
    for (const catalogue::StringList* files : {&catalogue_.xferSubProcs, &catalogue_.xferProcs}) {
      for (const std::string& file : *files) {
        const catalogue::ProcNode* node = nullptr;
        copyOf_.push_back(Check(catalogue_, file, &node) == Refusal::kNone ? copies_.Add(Source(file)) : kNoCopy);
      }
    }
    copies_.Prepare();
  }

  void RegisterAll(const catalogue::StringList& files, const ItemKind& kind) {
    for (const std::string& file : files) Register(file, kind, copyOf_.at(item_++));
  }

 private:
  static constexpr std::size_t kNoCopy = SIZE_MAX;

  std::string Source(const std::string& file) const { return paths_.tempDir + "\\" + StagedName(file); }

  void Register(const std::string& file, const ItemKind& kind, std::size_t copy) {
    progress_.SetCurrentName(file);
    progress_.progressCount.fetch_add(1);
    window_.Refresh();

    const catalogue::ProcNode* node = nullptr;
    switch (Check(catalogue_, file, &node)) {
      case Refusal::kNoEntry:
        errp(kind.noEntryMessage);
        return;
      case Refusal::kNoNames:
        errp(kind.noNamesMessage);
        return;
      case Refusal::kTooManyNames:
        // Refused before any name is stored; nothing is registered or copied.
        errp(procdir::msg::kTooManyNames, node->siblings.GetCount());
        return;
      case Refusal::kNone:
        break;
    }

    FillEntry(entry_, node->siblings, kind.kindFlag);
    procdir::ProcDirAdd(index_, entry_);
    const bool added = !(entry_.flags & procdir::PD_EXISTS);
    if (!added) procdir::ProcDirReplace(index_, entry_);
    // Without a file name the add failed before it recorded anything.
    if (entry_.fileName[0] == '\0') return;

    // The file, whole and already on the disk, replaces the target in one
    // rename, so a rewritten entry whose copy fails keeps the file it
    // had; a new entry without its file is taken out again, so the index
    // never names a missing file.
    std::string target =
        paths_.procDir + std::string(entry_.fileName, strnlen(entry_.fileName, sizeof entry_.fileName));
    platform::DWORD error = 0;
    if (!copies_.PutInPlace(copy, target, &error)) {
      if (added) procdir::ProcDirFree(index_, entry_);
      ui::MessageBox(CopyFailureText(kind.copyFailedMessage, file, error), kInstallCaption, ui::MB_OK);
    }
  }

  catalogue::ProceduresList& catalogue_;
  const transfer::InstallPaths& paths_;
  transfer::CopyProgress& progress_;
  IndexProgressDialog& window_;
  platform::HFILE index_;
  procdir::ProcDirEntry entry_{};  // reused for every item
  ProcedureCopies copies_;
  std::vector<std::size_t> copyOf_;  // each item's copy, in list order
  std::size_t item_ = 0;
};

}  // namespace

int UpdateProcDir(catalogue::ProceduresList& catalogue, const transfer::InstallPaths& paths, transfer::CopyProgress& progress,
                  ui::Dialog* owner) {
  progress.requiredSize =
      static_cast<std::uint32_t>(catalogue.xferSubProcs.GetCount() + catalogue.xferProcs.GetCount());
  progress.progressCount.store(0);
  progress.status.store(0);

  auto window = std::make_unique<IndexProgressDialog>(progress);
  window->Create(owner);
  window->ShowWindow(true);
  window->UpdateWindow();

  std::string path = paths.procDir + "proc.dir";
  platform::HFILE index =
      path.size() < static_cast<std::size_t>(platform::MAX_PATH) ? procdir::ProcDirOpen(path.c_str(), "w") : -1;
  if (index == -1) {
    errp(9250);
    platform::ExitProcess(installer::EXIT_FATAL);
  }

  {
    // The files are prepared while the index is held, so that no other
    // installer meets their part files. The index is read once; every item
    // is looked up in that copy, which the writes keep current (no other
    // program can write while it is open).
    IndexUpdate update(catalogue, paths, progress, *window, index);
    update.PrepareCopies();
    procdir::IndexImage image(index);
    update.RegisterAll(catalogue.xferSubProcs, kSubProc);
    update.RegisterAll(catalogue.xferProcs, kProc);
  }

  if (procdir::ProcDirClose(index) == 0) {
    errp(9256);
    platform::ExitProcess(installer::EXIT_FATAL);
  }

  window->ShowWindow(false);
  window->UpdateWindow();
  window->DestroyWindow();
  return 1;
}

}  // namespace registration
