#include "installer/catalogue/procedures_list.h"

#include "installer/catalogue/catalogue_texts.h"
#include "installer/catalogue/catalogue_trace.h"
#include "resources/kelmar_ids.h"
#include "ui/msgbox.h"

namespace catalogue {

ProceduresList::~ProceduresList() {
  ProcNode* node = pHead;
  while (node != nullptr) {
    ProcNode* next = node->pNext;
    delete node;
    node = next;
  }
}

// Links the node where a walk from the head would: in front of the head when
// the head's own name is greater than the node's, else before the first node
// after the head whose record key is greater than the node's record key (at
// the tail when there is none). InsertOrder finds that place without the
// walk.
void ProceduresList::AddABC(ProcNode* node) {
  CatalogueTrace(catalogue::texts::kTraceAddABC);
  if (node == nullptr) return;
  const bool alreadyHere = Holds(node);
  if (node->pNext != nullptr || alreadyHere) {
    ui::MessageBox(kAddABCLinked, kAddABCCaption, ui::MB_ICONWARNING | ui::MB_OK);
    // Linking a node of this catalogue a second time would tie the list into
    // a loop: it stays where it is.
    if (alreadyHere) return;
  }
  lookup_.Invalidate();
  if (pHead == nullptr) {
    node->pNext = nullptr;
    pHead = node;
    order_.LinkedFirst(node);
    return;
  }
  if (pHead->name > node->name) {
    node->pNext = pHead;
    ProcNode* oldHead = pHead;
    pHead = node;
    order_.LinkedInFront(node, oldHead);
    return;
  }
  ProcNode* stop = order_.WalkStop(node->RecordKey());
  node->pNext = stop->pNext;
  stop->pNext = node;
  order_.LinkedAfter(node, stop);
}

bool ProceduresList::Holds(const ProcNode* node) const {
  if (pHead == nullptr) return false;
  if (node == order_.Tail()) return true;
  // Every other node of the list has a successor: only then walk.
  if (node->pNext == nullptr) return false;
  for (const ProcNode* walk = pHead; walk != nullptr; walk = walk->pNext) {
    if (walk == node) return true;
  }
  return false;
}

}  // namespace catalogue
