// The wizard driver: the Welcome page's Next runs the steps one after the
// other, each returning the code of the next.
#include "installer/wizard/main_dialog.h"
#include "installer/wizard/wizard_codes.h"
#include "text/text.h"

namespace wizard {

void MainDialog::OnOK() {
  int step = wizard::STEP_DIRECTORIES;
  for (;;) {
    switch (step) {
      case wizard::STEP_DIRECTORIES:
      case wizard::STEP_DIRECTORIES_AGAIN:
        step = DirectoryStep();
        break;
      case wizard::STEP_CONFIRM_QUIT:
        step = ConfirmQuitStep();
        break;
      case wizard::STEP_SELECT_PROCEDURES:
        step = SelectionStep();
        break;
      case wizard::STEP_CALIBRATOR:
        step = CalibratorStep();
        break;
      case wizard::STEP_INSTALL:
        step = InstallStep();
        break;
      case wizard::STEP_WELCOME:
        return;  // the Welcome page stays open; its Next starts afresh
      case wizard::STEP_EXIT:
        ui::Dialog::OnOK();
        return;
      default:
        errp(9236);
        ui::Dialog::OnOK();
        return;
    }
  }
}

}  // namespace wizard
