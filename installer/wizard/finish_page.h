// The Finish page (dialog 107): install more, view readme.txt and quit, or quit.
#pragma once
#include <string>

#include "ui/dialog.h"

namespace wizard {

class FinishPage : public ui::Dialog {
 public:
  FinishPage(const std::string& readmePath, ui::Dialog* parent);
  void OnCommand(int controlId) override;

  std::string readmePath;
};

}  // namespace wizard
