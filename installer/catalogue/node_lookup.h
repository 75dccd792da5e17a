// Look-ups of catalogue nodes by name and by file, each giving the first
// matching node in catalogue order, as a walk from the head would. Each table
// is built on its first look-up after the catalogue changed; the nodes must
// not be changed once they are linked.
#pragma once
#include <string>
#include <unordered_map>

namespace catalogue {

struct ProcNode;

class NodeLookup {
 public:
  // The catalogue has changed (a node was linked): rebuild before the next
  // look-up.
  void Invalidate();

  // First node whose name equals `name` exactly.
  ProcNode* ByName(ProcNode* head, const std::string& name);
  // First node whose name equals `name` ignoring ASCII letter case.
  ProcNode* ByNameNoCase(ProcNode* head, const std::string& name);
  // First node whose siblings hold `name` ignoring ASCII letter case.
  ProcNode* BySibling(ProcNode* head, const std::string& name);
  // First node whose procedure file equals `file` exactly.
  ProcNode* ByProcFile(ProcNode* head, const std::string& file);

 private:
  struct Table {
    bool built = false;
    std::unordered_map<std::string, ProcNode*> first;  // key -> first node
    ProcNode* Find(const std::string& key) const;
  };
  static std::size_t Count(ProcNode* head);

  Table byName_;
  Table byFoldedName_;
  Table byFoldedSibling_;
  Table byProcFile_;
};

}  // namespace catalogue
