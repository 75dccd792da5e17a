// The writer behind the readable dump of the catalogue ("c:\listread.txt").
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace catalogue {

struct ProcNode;

class LineFile;

// Gathers the dump's lines and writes them in blocks of whole nodes (a node
// of very many lines in several blocks), so a long catalogue needs few
// writes. Keeps
// at most `limit` bytes: from the first line that would pass it on, lines are
// dropped, and Finish closes the dump with a line that says so.
class DumpWriter {
 public:
  DumpWriter(LineFile& out, std::size_t limit, int fullNames);
  DumpWriter(const DumpWriter&) = delete;
  DumpWriter& operator=(const DumpWriter&) = delete;

  // `label` and `value` as one line.
  void Line(std::string_view label, std::string_view value);
  // The entries of `list` (any range of strings), one line each: the first
  // after `label`, each further one after `indent` spaces.
  template <typename List>
  void ListLines(std::string_view label, std::size_t indent, const List& list) {
    bool first = true;
    for (const std::string& entry : list) {
      if (first) {
        Line(label, entry);
      } else {
        Line(std::string(indent, ' '), entry);
      }
      first = false;
    }
  }
  // The node's lines are complete.
  void EndNode();
  // True once a line was dropped for the limit.
  bool Full() const { return full_; }
  // Writes what is pending; after the limit was reached, also a line naming
  // how many nodes (`unlisted`) are not listed in full.
  void Finish(std::size_t unlisted);

  // For a node of a record with more than `fullNames` names: an earlier
  // dumped node of the same record (same shared lists and texts), whose
  // listing stands for this one too; nullptr when there is none (the node
  // then becomes the one that stands for its record).
  const ProcNode* ListedBefore(const ProcNode& node);

 private:
  void Write();

  LineFile& out_;
  std::size_t limit_;
  int fullNames_;
  std::size_t kept_ = 0;  // bytes written or pending
  bool full_ = false;
  std::string pending_;
  std::unordered_map<const void*, const ProcNode*> listed_;  // siblings storage -> node
};

}  // namespace catalogue
