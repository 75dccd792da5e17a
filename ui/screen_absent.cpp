// A build without the full-screen frontend (Windows): ORVIK_UI=screen gets
// the console frontend, which serves the same windows as lines of text.
#include "ui/frontends.h"

namespace ui::detail {

std::unique_ptr<Frontend> MakeScreenFrontend() { return MakeConsoleFrontend(); }

}  // namespace ui::detail
