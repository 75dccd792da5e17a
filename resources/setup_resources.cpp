#include "resources/setup_resources.h"

namespace resources {

const ui::ResourceModule& Setup() {
  static const ui::ResourceModule module = [] {
    ui::ResourceModule m;
    ui::DialogTemplate staging{102, "Setup - Creating Temporary Files", 200, 40, {}, true};
    staging.controls = {
        {128, ui::ControlKind::Icon, "", 5, 10, 20, 20, 0},
        {1000, ui::ControlKind::Progress, "", 30, 14, 160, 12, 0},
    };
    m.dialogs[staging.id] = staging;
    return m;
  }();
  return module;
}

}  // namespace resources
