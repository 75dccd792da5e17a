// The selection step of the wizard: opens proc.dir for the conflict check,
// runs the selection page and tells how it ended.
#pragma once
#include <string>

#include "installer/catalogue/procedures_list.h"
#include "installer/selection/selection_result.h"
#include "ui/dialog.h"

namespace selection {

// What the page's end code means: IDOK Next, IDCANCEL Quit,
// END_DIRECTORIES_AGAIN, Back; any other code is reported with message 9243
// and gives Failed.
SelectionResult SelectionEnd(int endCode);

// Runs the step with the catalogue and the procedure directory `procDir`
// (ending in a backslash) over `owner`. When
// proc.dir cannot be opened or closed the process ends with exit status 3
// after message 9242 or 9244.
SelectionResult RunSelectionStep(catalogue::ProceduresList& catalogue, const std::string& procDir, ui::Dialog* owner);

}  // namespace selection
