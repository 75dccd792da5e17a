// Dialogs and strings of the installer (kelmar).
#pragma once
#include "ui/resource.h"

namespace resources {

// The whole resource module of the installer, built once.
const ui::ResourceModule& Kelmar();

// Each group of pages adds its templates.
void AddWizardDialogs(ui::ResourceModule& module);     // 1050, 1043, 101, 105, 106, 107, 109
void AddSelectionDialogs(ui::ResourceModule& module);  // 108, 102, 110, 111, 1049
void AddTransferDialogs(ui::ResourceModule& module);   // 1046, 1047, 1048

}  // namespace resources
