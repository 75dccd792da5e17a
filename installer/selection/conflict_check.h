// The name-conflict check run when a procedure is highlighted on the
// selection page: each of its names is looked up in the open proc.dir, and an
// installed procedure is overwritten only with the operator's consent.
#pragma once
#include <cstdint>

#include "installer/catalogue/string_list.h"
#include "platform/types.h"
#include "ui/dialog.h"

namespace selection {

// Looks every name of `aliases` (catalogue order) up in the index `index`.
// Returns 1 when the procedure may stay selected, 0 when it is to be
// deselected. Shows dialog 102 (unless `alwaysOverwrite` is set; its
// "&Always Overwrite" button sets it), 110 or 111 over `owner` as the
// installed entries require. Nothing is written to the index.
int CheckProcConflicts(platform::HFILE index, const catalogue::StringList& aliases, std::uint8_t& alwaysOverwrite,
                       ui::Dialog* owner);

}  // namespace selection
