// Finds where AddABC links a node without walking the catalogue.
//
// The walk of AddABC starts at the head and stops before the first later
// node whose record key is greater than the new node's key (at the tail when
// there is none). Among the nodes after the head, that node is always a
// "record": a node whose key is greater than every key before it (after the
// head). Records form an increasing sequence, so the stop is found by a
// search among them. Linking a node after the stop makes it a record when its
// key is above the previous record's; putting a node in front of the head
// turns the old head into the first record and retires every record whose key
// is not above it. Each node enters and leaves the records at most once.
#pragma once
#include <functional>
#include <map>
#include <string>

namespace catalogue {

struct ProcNode;

class InsertOrder {
 public:
  // The node after which the walk stops for a node with record key `key`,
  // in a catalogue that is not empty.
  ProcNode* WalkStop(const std::string& key) const;

  // Bookkeeping after `node` became the first node of an empty catalogue.
  void LinkedFirst(ProcNode* node);
  // After `node` was linked in front of `oldHead`.
  void LinkedInFront(ProcNode* node, ProcNode* oldHead);
  // After `node` was linked after `stop` (the node WalkStop returned).
  void LinkedAfter(ProcNode* node, ProcNode* stop);

  // The last node of the catalogue.
  ProcNode* Tail() const { return tail_; }

 private:
  // Record key -> the node in front of that record.
  std::map<std::string, ProcNode*, std::less<>> records_;
  ProcNode* tail_ = nullptr;
};

}  // namespace catalogue
