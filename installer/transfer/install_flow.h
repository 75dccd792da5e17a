// The install step of the wizard: scratch folder, transfer list, space
// check, copy phase, index update, clean-up and the Finish page.
#pragma once
#include <cstdint>
#include <functional>

#include "installer/transfer/install_result.h"
#include "installer/transfer/transfer_context.h"
#include "ui/dialog.h"

namespace xfer {

// The pieces the step runs that belong to MainDialog.
struct InstallActions {
  std::function<std::uint32_t()> writeXferList;
  std::function<int()> copyXferFiles;
  std::function<int()> updateProcDir;
  // Runs the Finish page; returns its end code.
  std::function<int()> runFinishPage;
};

// Runs the step with `mainWindow` as the application's main window. The
// procedure files go into a scratch folder of this run's own under
// transfer.tempDir (ScratchFolder), which is removed before the Finish page.
InstallResult RunInstallStep(TransferContext& transfer, ui::Dialog* mainWindow, const InstallActions& actions);

// Bytes per sector of the drive named by the first character of `procDir`,
// or 1 when the drive's geometry cannot be had.
std::uint32_t TargetUnit(const std::string& procDir);

}  // namespace xfer
