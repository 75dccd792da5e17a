// The calibrator page (dialog 101): fourteen choices, each click stores its code.
#pragma once
#include <string>

#include "ui/dialog.h"

namespace wizard {

class CalibratorPage : public ui::Dialog {
 public:
  explicit CalibratorPage(ui::Dialog* parent);
  void OnCommand(int controlId) override;

  std::string code;
};

// The code that choice `controlId` stands for, or "" for another control.
std::string CalibratorCodeFor(int controlId);

}  // namespace wizard
