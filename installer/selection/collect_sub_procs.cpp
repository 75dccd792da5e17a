#include "installer/selection/collect_sub_procs.h"

#include <vector>

namespace selection {
namespace {

// One sub-procedure list being walked, and the name whose list it is (added
// to selectedSubProcs once its list is done; empty for the starting name).
struct Frame {
  const catalogue::StringList* subProcs;
  catalogue::POSITION pos;
  std::string owner;
};

}  // namespace

void CollectSubProcs(catalogue::ProceduresList& catalogue, catalogue::StringList& visited, const std::string& name) {
  const catalogue::StringList* first = catalogue.FindSubProcs(name);
  if (first == nullptr || first->IsEmpty()) return;

  std::vector<Frame> stack;
  stack.push_back(Frame{first, first->GetHeadPosition(), std::string()});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.pos == 0) {
      std::string done = std::move(top.owner);
      stack.pop_back();
      if (!stack.empty()) catalogue.AddSelectedSubProc(done);
      continue;
    }
    // A copy: `top` no longer names this frame once the stack grows.
    std::string sub = top.subProcs->GetNextName(top.pos);
    if (visited.Contains(sub)) continue;
    visited.AddTail(sub);
    if (catalogue.selectedProcs.ContainsNoCase(sub)) continue;  // installed as a selected procedure
    const catalogue::StringList* next = catalogue.FindSubProcs(sub);
    if (next == nullptr || next->IsEmpty()) {
      catalogue.AddSelectedSubProc(sub);
    } else {
      stack.push_back(Frame{next, next->GetHeadPosition(), sub});
    }
  }
}

}  // namespace selection
