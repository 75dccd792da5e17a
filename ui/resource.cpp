#include "ui/resource.h"

#include <atomic>

namespace ui {
namespace {
std::atomic<const ResourceModule*> current{nullptr};
}

void SetResources(const ResourceModule* module) { current.store(module); }

const DialogTemplate* FindTemplate(int id) {
  const ResourceModule* module = current.load();
  if (!module) return nullptr;
  auto it = module->dialogs.find(id);
  return it == module->dialogs.end() ? nullptr : &it->second;
}

std::string LoadString(int id) {
  const ResourceModule* module = current.load();
  if (!module) return "";
  auto it = module->strings.find(id);
  return it == module->strings.end() ? "" : it->second;
}

}  // namespace ui
