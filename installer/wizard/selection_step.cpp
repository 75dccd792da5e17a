// The selection step (wizard step 3): proc.dir is held open while the
// operator chooses procedures on the selection page.
#include "installer/selection/selection_step.h"
#include "installer/wizard/main_dialog.h"

int MainDialog::SelectionStep() { return selection::RunSelectionStep(procedures, transfer.procDir, this); }
