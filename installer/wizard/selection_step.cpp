// The selection step (wizard step 3): proc.dir is held open while the
// operator chooses procedures on the selection page.
#include "installer/selection/selection_step.h"
#include "installer/wizard/main_dialog.h"
#include "installer/wizard/wizard_codes.h"

namespace wizard {

int MainDialog::SelectionStep() {
  switch (selection::RunSelectionStep(state_.Procedures(), state_.Paths().procDir, this)) {
    case selection::SelectionResult::Next:
      return wizard::STEP_INSTALL;
    case selection::SelectionResult::Back:
      return wizard::STEP_CALIBRATOR;
    case selection::SelectionResult::DirectoriesAgain:
      return wizard::STEP_DIRECTORIES_AGAIN;
    case selection::SelectionResult::Quit:
      return wizard::STEP_CONFIRM_QUIT;
    case selection::SelectionResult::Failed:
      break;
  }
  return wizard::STEP_EXIT;
}

}  // namespace wizard
