// The selection step of the wizard: opens proc.dir for the conflict check,
// runs the selection page and maps its end to the next wizard step.
#pragma once
#include <string>

#include "installer/catalogue/procedures_list.h"
#include "ui/dialog.h"

namespace selection {

// The page's end code as the next wizard step: 1 install, 2 confirm quit,
// 8 directories again, Back the calibrator step; any other code is reported
// with message 9243 and ends the wizard.
int StepAfterSelection(int endCode);

// Runs step 3 with the catalogue and the procedure directory `procDir`
// (ending in a backslash) over `owner`. Returns the next step code. When
// proc.dir cannot be opened or closed the process ends with exit status 3
// after message 9242 or 9244.
int RunSelectionStep(ProceduresList& catalogue, const std::string& procDir, ui::Dialog* owner);

}  // namespace selection
