#include "installer/wizard/main_dialog.h"
#include "installer/wizard/wizard_codes.h"
#include "resources/kelmar_ids.h"
#include "text/text.h"

namespace wizard {

int MainDialog::ConfirmQuitStep() {
  ui::Dialog page(IDD_CONFIRM_QUIT, this);
  int result = page.DoModal();
  if (result == ui::IDOK) return wizard::STEP_EXIT;
  if (result == ui::IDCANCEL) return wizard::STEP_DIRECTORIES_AGAIN;
  errp(9257);
  return wizard::STEP_EXIT;
}

}  // namespace wizard
