// The catalogue from any list file: the list is finite and holds whole
// records, look-ups give the first match a walk from the head gives, and the
// ordered insertion places nodes exactly where a plain walk would.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <list>
#include <string>
#include <vector>

#include "fuzz/catalogue_source.h"
#include "fuzz/fuzz_host.h"
#include "installer/catalogue/procedures_list.h"
#include "platform/ascii_case.h"

namespace {

template <typename Match>
const catalogue::ProcNode* FirstNode(const catalogue::ProceduresList& list, Match match) {
  for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) {
    if (match(*node)) return node;
  }
  return nullptr;
}

struct Named {
  std::string name, key;
};

// The insertion as a walk: in front of a head with a greater name, else after
// the last node from the head on whose successors' keys are not greater.
void ReferenceInsert(std::list<Named>& order, const Named& node) {
  if (order.empty() || order.front().name > node.name) {
    order.push_front(node);
    return;
  }
  auto stop = order.begin();
  for (auto next = std::next(stop); next != order.end() && !(next->key > node.key); ++next) stop = next;
  order.insert(std::next(stop), node);
}

// Inserts the nodes in the given order into a fresh catalogue and compares
// its order with the walk's.
void CheckInsertion(const std::vector<Named>& nodes) {
  catalogue::ProceduresList fresh;
  std::list<Named> expected;
  for (const Named& n : nodes) {
    catalogue::ProcNode* node = new catalogue::ProcNode(n.name);
    node->siblings.AddTail(n.key);
    if (n.key != n.name) node->siblings.AddTail(n.name);
    fresh.AddABC(node);
    ReferenceInsert(expected, n);
  }
  auto want = expected.begin();
  for (const catalogue::ProcNode* node = fresh.pHead; node != nullptr; node = node->pNext, ++want) {
    fuzz::Check(want != expected.end(), "the catalogue holds more nodes than were inserted");
    fuzz::Check(node->name == want->name && node->RecordKey() == want->key,
                "a node is out of order: " + node->name + " where " + want->name + " belongs");
  }
  fuzz::Check(want == expected.end(), "nodes went missing on insertion");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::PrepareHost();
  fuzz::SetBoxAnswers("");
  catalogue::ProceduresList procedures;
  fuzz::Check(fuzz::LoadCatalogue(procedures, data, size) == 1, "a readable list file was not read");

  // Finite, every node of a whole record: named, its name among its siblings.
  std::vector<Named> nodes;
  int offered = 0;
  for (const catalogue::ProcNode* node = procedures.pHead; node != nullptr; node = node->pNext) {
    fuzz::Check(nodes.size() <= size, "more nodes than the file has bytes: a loop");
    fuzz::Check(!node->siblings.IsEmpty() && node->siblings.Contains(node->name),
                "a node is not among its record's names");
    fuzz::Check(node->isSubProc == 0 || node->isSubProc == 1, "isSubProc is neither 0 nor 1");
    if (node->isSubProc == 0) ++offered;
    nodes.push_back({node->name, node->RecordKey()});
  }
  fuzz::Check(procedures.GetProcs() == offered, "GetProcs does not offer every procedure");

  // Look-ups against a walk from the head.
  for (size_t i = 0; i < nodes.size() && i < 8; ++i) {
    const std::string& name = nodes[i].name;
    const catalogue::ProcNode* byName = FirstNode(procedures, [&](const catalogue::ProcNode& n) { return n.name == name; });
    const catalogue::StringList* siblings = procedures.FindSiblings(name);
    fuzz::Check(siblings == &byName->siblings, "FindSiblings found another node than the first: " + name);
    const catalogue::ProcNode* noCase = FirstNode(procedures, [&](const catalogue::ProcNode& n) { return platform::EqualNoCase(n.name, name); });
    fuzz::Check(procedures.FindSubProcs(name) == &noCase->subProcs, "FindSubProcs found another node: " + name);
    const catalogue::ProcNode* any = FirstNode(procedures, [&](const catalogue::ProcNode& n) { return n.siblings.ContainsNoCase(name); });
    fuzz::Check(procedures.FindByAnyName(name) == any, "FindByAnyName found another node: " + name);
    const catalogue::ProcNode* byFile = FirstNode(procedures, [&](const catalogue::ProcNode& n) { return n.procFile == byName->procFile; });
    fuzz::Check(procedures.FindByProcFile(byName->procFile) == byFile, "FindByProcFile found another node");
  }

  // The ordered insertion: the catalogue's names and keys in an order the
  // input picks.
  FuzzedDataProvider pick(data, size);
  std::vector<Named> shuffled = nodes;
  for (size_t i = shuffled.size(); i > 1; --i) std::swap(shuffled[i - 1], shuffled[pick.ConsumeIntegralInRange<size_t>(0, i - 1)]);
  CheckInsertion(shuffled);
  return 0;
}
