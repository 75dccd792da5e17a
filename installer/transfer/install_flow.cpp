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

namespace xfer {

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

InstallResult RunInstallStep(TransferContext& t, ui::Dialog* mainWindow, const InstallActions& actions) {
  t.mainWindow = mainWindow;
  t.bytesPerSector = TargetUnit(t.procDir);
  // t.tempDir names the scratch parent shared with other installers; for the
  // length of the step it names this run's own folder in it.
  const std::string parent = t.tempDir;
  ScratchFolder scratch;
  if (!scratch.Create(parent)) {
    errp(9245);
    return InstallResult::Exit;
  }
  t.tempDir = scratch.Path();
  const auto done = [&] {
    scratch.Remove();
    t.tempDir = parent;
  };
  t.requiredSize = actions.writeXferList();
  if (t.bytesPerSector == 1) {
    DiskSpaceDlg space(WithMargin(t.requiredSize), mainWindow);
    const int answer = space.DoModal();
    // Cancel Installation: back to the directories, without a scratch folder.
    if (answer == ui::IDCANCEL) {
      done();
      return InstallResult::DirectoriesAgain;
    }
    if (answer != ui::IDOK) {
      errp(9246);
      platform::ExitProcess(installer::EXIT_FATAL);
    }
  }
  if (actions.copyXferFiles() == 1)
    actions.updateProcDir();
  else
    ShowNumbered(9247);
  done();
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

}  // namespace xfer
