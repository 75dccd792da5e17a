// The selection step (wizard step 3). Not available in this build yet: the
// operator is told so and the wizard ends.
#include "installer/wizard/main_dialog.h"
#include "installer/wizard_codes.h"
#include "ui/msgbox.h"

int MainDialog::SelectionStep() {
  ui::MessageBox("Procedure selection is not available in this build of the installer.",
                 wizard::kInstallCaption, ui::MB_OK | ui::MB_ICONWARNING);
  return wizard::STEP_EXIT;
}
