#include "resources/kelmar_resources.h"

namespace resources {

void AddSelectionDialogs(ui::ResourceModule&) {}

}  // namespace resources
