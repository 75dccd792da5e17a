// The install step (wizard step 9). Not available in this build yet: the
// operator is told so and the wizard ends.
#include "installer/wizard/main_dialog.h"
#include "installer/wizard_codes.h"
#include "ui/msgbox.h"

int MainDialog::InstallStep() {
  ui::MessageBox("Procedure installation is not available in this build of the installer.",
                 wizard::kInstallCaption, ui::MB_OK | ui::MB_ICONWARNING);
  return wizard::STEP_EXIT;
}
