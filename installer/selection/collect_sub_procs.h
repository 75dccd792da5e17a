// Gathers the sub-procedures that the selected procedures need.
#pragma once
#include <string>

#include "installer/catalogue/procedures_list.h"

namespace selection {

// Depth first from `name`: every sub-procedure reached through FindSubProcs
// and not yet in `visited` (exact comparison) is appended to `visited`; one
// that is itself in selectedProcs (letter case ignored) is not expanded;
// every other one is expanded and then added with AddSelectedSubProc, so that
// a sub-procedure's own sub-procedures come before it. Iterative, so that a
// long chain of sub-procedures cannot exhaust the stack.
void CollectSubProcs(catalogue::ProceduresList& catalogue, catalogue::StringList& visited, const std::string& name);

}  // namespace selection
