// Dialogs of the bootstrap (kelmar_setup).
#pragma once
#include "ui/resource.h"

namespace resources {

const ui::ResourceModule& Setup();

}  // namespace resources
