// The copy progress window (dialog 1046): the disk being copied, the file
// and a bar, refreshed from the shared progress every 10 ms until the worker
// is done. Cancel asks the worker to stop and waits for the operator's
// answer to its question: No ends the copy, Yes lets it go on.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "installer/transfer/copy_progress.h"
#include "ui/dialog.h"

namespace transfer {

class CopyProgressDlg : public ui::Dialog {
 public:
  CopyProgressDlg(CopyProgress& progress, ui::Dialog* owner);

  // Called once the window is open, so that whatever it starts (the worker)
  // can only open its own windows above it.
  void OnShown(std::function<void()> shown) { shown_ = std::move(shown); }

  bool OnInitDialog() override;
  void OnTimer(int timerId) override;
  void OnCancel() override;
  void DoDataExchange(ui::DataExchange& dx) override;

  std::string heading;   // 1037
  std::string label;     // 1038
  std::string fileName;  // 1039

 private:
  CopyProgress& progress_;
  int shownDisk_ = 0;  // the disk the heading names
  std::function<void()> shown_;
};

// Bar position for `count` of `total` units: 0 to 100, 0 for an empty total.
int ProgressPercent(std::uint32_t count, std::uint32_t total);

}  // namespace transfer
