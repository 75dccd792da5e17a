#include "installer/transfer/install_flow.h"

#include <limits>
#include <string>

#include "common/remove_tree.h"
#include "installer/transfer/disk_space_dlg.h"
#include "installer/transfer/transfer_texts.h"
#include "installer/wizard_codes.h"
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

int RunInstallStep(TransferContext& t, ui::Dialog* mainWindow, const InstallActions& actions) {
  t.mainWindow = mainWindow;
  t.bytesPerSector = TargetUnit(t.procDir);
  if (platform::FindFile(t.tempDir.c_str())) RemoveDirectoryTree(t.tempDir.c_str(), 1);
  if (platform::_mkdir(t.tempDir.c_str()) != 0) {
    errp(9245);
    return wizard::STEP_EXIT;
  }
  t.requiredSize = actions.writeXferList();
  if (t.bytesPerSector == 1) {
    DiskSpaceDlg space(WithMargin(t.requiredSize), mainWindow);
    const int answer = space.DoModal();
    // Cancel Installation: back to the directories; the empty scratch
    // folder stays until the next install step removes it.
    if (answer == ui::IDCANCEL) return wizard::STEP_DIRECTORIES_AGAIN;
    if (answer != ui::IDOK) {
      errp(9246);
      platform::ExitProcess(wizard::EXIT_FATAL);
    }
  }
  if (actions.copyXferFiles() == 1)
    actions.updateProcDir();
  else
    ShowNumbered(9247);
  RemoveDirectoryTree(t.tempDir.c_str(), 1);
  switch (actions.runFinishPage()) {
    case 1:
      return wizard::STEP_DIRECTORIES_AGAIN;
    case 2:
      return wizard::STEP_EXIT;
    default:
      errp(9248);
      return wizard::STEP_EXIT;
  }
}

}  // namespace xfer
