#include "resources/kelmar_resources.h"

namespace resources {

const ui::ResourceModule& Kelmar() {
  static const ui::ResourceModule module = [] {
    ui::ResourceModule m;
    AddWizardDialogs(m);
    AddSelectionDialogs(m);
    AddTransferDialogs(m);
    return m;
  }();
  return module;
}

}  // namespace resources
