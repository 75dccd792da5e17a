#include "installer/catalogue/insert_order.h"

#include <iterator>

#include "installer/catalogue/proc_node.h"

namespace catalogue {

ProcNode* InsertOrder::WalkStop(const std::string& key) const {
  auto greater = records_.upper_bound(key);
  return greater == records_.end() ? tail_ : greater->second;
}

void InsertOrder::LinkedFirst(ProcNode* node) {
  records_.clear();
  tail_ = node;
}

void InsertOrder::LinkedInFront(ProcNode* node, ProcNode* oldHead) {
  const std::string& key = oldHead->RecordKey();
  auto it = records_.begin();
  while (it != records_.end() && it->first <= key) it = records_.erase(it);
  records_.emplace(key, node);
}

void InsertOrder::LinkedAfter(ProcNode* node, ProcNode* stop) {
  const std::string& key = node->RecordKey();
  auto greater = records_.upper_bound(key);
  // The record the node now stands in front of.
  if (greater != records_.end()) greater->second = node;
  // The node is a record unless an earlier record has the same key (every
  // node between the head and the node has a key not above it).
  if (greater == records_.begin() || std::prev(greater)->first != key) {
    records_.emplace_hint(greater, key, stop);
  }
  if (stop == tail_) tail_ = node;
}

}  // namespace catalogue
