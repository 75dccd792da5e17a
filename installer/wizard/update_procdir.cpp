// Registers the transferred procedures in proc.dir after the copy phase of
// the install step.
#include "installer/selection/update_proc_dir.h"
#include "installer/wizard/main_dialog.h"

int MainDialog::UpdateProcDir() { return selection::UpdateProcDir(procedures, transfer); }
