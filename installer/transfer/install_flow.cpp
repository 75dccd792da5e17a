#include "installer/transfer/install_flow.h"

#include <limits>
#include <string>

#include "installer/transfer/disk_space_dlg.h"
#include "installer/transfer/scratch_folder.h"
#include "installer/transfer/transfer_texts.h"
#include "installer/installer_codes.h"
#include "platform/files.h"
#include "platform/process.h"
#include "text/text.h"

namespace transfer {

namespace {

// The Disk Space page shows the transfer size with room to spare.
constexpr std::uint32_t kSpaceMargin = 100000;

std::uint32_t WithMargin(std::uint32_t size) {
  const std::uint32_t top = std::numeric_limits<std::uint32_t>::max();
  return size > top - kSpaceMargin ? top : size + kSpaceMargin;
}

}  // namespace

std::uint32_t TargetUnit(const std::string& procDir) {
  char root[4] = {procDir.empty() ? '\0' : procDir[0], ':', '\\', '\0'};
  platform::DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!platform::GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                   &totalClusters) ||
      bytesPerSector == 0)
    return 1;
  return bytesPerSector;
}

InstallResult RunInstallStep(const InstallPaths& paths, XferPlan& plan, CopyProgress& progress,
                             ui::Dialog* mainWindow, const InstallActions& actions) {
  plan.bytesPerSector = TargetUnit(paths.procDir);
  // paths.tempDir names the scratch parent shared with other installers; the
  // pieces of the step get this run's own folder in it instead.
  ScratchFolder scratch;
  if (!scratch.Create(paths.tempDir)) {
    errp(9245);
    return InstallResult::Exit;
  }
  InstallPaths run = paths;
  run.tempDir = scratch.Path();
  progress.requiredSize = actions.writeXferList(run);
  if (plan.bytesPerSector == 1) {
    DiskSpaceDlg space(WithMargin(progress.requiredSize), mainWindow);
    const int answer = space.DoModal();
    // Cancel Installation: back to the directories, without a scratch folder.
    if (answer == ui::IDCANCEL) {
      scratch.Remove();
      return InstallResult::DirectoriesAgain;
    }
    if (answer != ui::IDOK) {
      errp(9246);
      platform::ExitProcess(installer::EXIT_FATAL);
    }
  }
  if (actions.copyXferFiles(run) == 1)
    actions.updateProcDir(run);
  else
    ShowNumbered(9247);
  scratch.Remove();
  switch (actions.runFinishPage()) {
    case 1:
      return InstallResult::DirectoriesAgain;
    case 2:
      return InstallResult::Exit;
    default:
      errp(9248);
      return InstallResult::Exit;
  }
}

}  // namespace transfer
