#include "resources/setup_resources.h"

#include "resources/setup_ids.h"

namespace resources {

const ui::ResourceModule& Setup() {
  static const ui::ResourceModule module = [] {
    ui::ResourceModule m;
    ui::DialogTemplate staging{IDD_STAGING, "Setup - Creating Temporary Files", 200, 40, {}, true};
    staging.controls = {
        {IDI_SETUP, ui::ControlKind::Icon, "", 5, 10, 20, 20, 0},
        {IDC_STAGING_BAR, ui::ControlKind::Progress, "", 30, 14, 160, 12, 0},
    };
    m.dialogs[staging.id] = staging;
    return m;
  }();
  return module;
}

}  // namespace resources
