#include "resources/kelmar_resources.h"

namespace resources {

void AddTransferDialogs(ui::ResourceModule&) {}

}  // namespace resources
