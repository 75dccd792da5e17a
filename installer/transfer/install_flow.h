// The install step of the wizard: scratch folder, transfer list, space
// check, copy phase, index update, clean-up and the Finish page.
#pragma once
#include <cstdint>
#include <functional>

#include "installer/transfer/install_result.h"
#include "installer/transfer/copy_progress.h"
#include "installer/transfer/install_paths.h"
#include "installer/transfer/xfer_plan.h"
#include "ui/dialog.h"

namespace transfer {

// The pieces the step runs that belong to the wizard. Each receives the
// paths of this run, whose tempDir names the run's scratch folder.
struct InstallActions {
  std::function<std::uint32_t(const InstallPaths&)> writeXferList;
  std::function<int(const InstallPaths&)> copyXferFiles;
  std::function<int(const InstallPaths&)> updateProcDir;
  // Runs the Finish page; returns its end code.
  std::function<int()> runFinishPage;
};

// Runs the step with `mainWindow` as the application's main window, with
// the confirmed `paths`. It sets plan.bytesPerSector and
// progress.requiredSize (the transfer size) before the copy. The procedure
// files go into a scratch folder of this run's own under paths.tempDir
// (ScratchFolder), which is removed before the Finish page.
InstallResult RunInstallStep(const InstallPaths& paths, XferPlan& plan, CopyProgress& progress,
                             ui::Dialog* mainWindow, const InstallActions& actions);

// Bytes per sector of the drive named by the first character of `procDir`,
// or 1 when the drive's geometry cannot be had.
std::uint32_t TargetUnit(const std::string& procDir);

}  // namespace transfer
