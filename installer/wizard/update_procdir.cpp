// Registers the transferred procedures in proc.dir after the copy phase of
// the install step.
#include "installer/registration/update_proc_dir.h"
#include "installer/wizard/main_dialog.h"

int MainDialog::UpdateProcDir() { return registration::UpdateProcDir(procedures, transfer); }
