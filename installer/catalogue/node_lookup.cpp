#include "installer/catalogue/node_lookup.h"

#include <unordered_set>

#include "installer/catalogue/proc_node.h"
#include "platform/ascii_case.h"

namespace catalogue {

// emplace keeps an entry already there, so each table holds the first node
// in catalogue order.

void NodeLookup::Invalidate() {
  for (Table* table : {&byName_, &byFoldedName_, &byFoldedSibling_, &byProcFile_}) {
    if (!table->built) continue;
    table->built = false;
    table->first.clear();
  }
}

ProcNode* NodeLookup::ByName(ProcNode* head, const std::string& name) {
  if (!byName_.built) {
    byName_.first.reserve(Count(head));
    for (ProcNode* node = head; node != nullptr; node = node->pNext) byName_.first.emplace(node->name, node);
    byName_.built = true;
  }
  return byName_.Find(name);
}

ProcNode* NodeLookup::ByNameNoCase(ProcNode* head, const std::string& name) {
  if (!byFoldedName_.built) {
    byFoldedName_.first.reserve(Count(head));
    for (ProcNode* node = head; node != nullptr; node = node->pNext) {
      byFoldedName_.first.emplace(platform::AsciiLower(node->name), node);
    }
    byFoldedName_.built = true;
  }
  return byFoldedName_.Find(platform::AsciiLower(name));
}

ProcNode* NodeLookup::BySibling(ProcNode* head, const std::string& name) {
  if (!byFoldedSibling_.built) {
    byFoldedSibling_.first.reserve(Count(head));
    // The nodes of one record share one list of names: it is entered once,
    // for the first of them, which is the one a walk would find.
    std::unordered_set<const void*> entered;
    for (ProcNode* node = head; node != nullptr; node = node->pNext) {
      const void* storage = node->siblings.Storage();
      if (storage == nullptr || !entered.insert(storage).second) continue;
      for (const std::string& sibling : node->siblings) byFoldedSibling_.first.emplace(platform::AsciiLower(sibling), node);
    }
    byFoldedSibling_.built = true;
  }
  return byFoldedSibling_.Find(platform::AsciiLower(name));
}

ProcNode* NodeLookup::ByProcFile(ProcNode* head, const std::string& file) {
  if (!byProcFile_.built) {
    byProcFile_.first.reserve(Count(head));
    for (ProcNode* node = head; node != nullptr; node = node->pNext) byProcFile_.first.emplace(node->procFile, node);
    byProcFile_.built = true;
  }
  return byProcFile_.Find(file);
}

ProcNode* NodeLookup::Table::Find(const std::string& key) const {
  auto it = first.find(key);
  return it == first.end() ? nullptr : it->second;
}

std::size_t NodeLookup::Count(ProcNode* head) {
  std::size_t count = 0;
  for (const ProcNode* node = head; node != nullptr; node = node->pNext) ++count;
  return count;
}

}  // namespace catalogue
