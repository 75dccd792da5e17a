// A build without native dialogs (POSIX): ORVIK_UI=gui names no frontend.
#include "ui/frontends.h"

namespace ui::detail {

std::unique_ptr<Frontend> MakeGuiFrontend(const std::string&, int) { return nullptr; }
bool GuiAvailable() { return false; }

}  // namespace ui::detail
