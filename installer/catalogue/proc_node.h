// One node of the catalogue: one procedure name with its record's contents.
// The nodes of one record share the record's texts and lists (they are
// copies that share storage until changed), so a record with many names
// costs one body and a small node per name.
#pragma once
#include <cstdint>
#include <string>

#include "installer/catalogue/shared_text.h"
#include "installer/catalogue/string_list.h"

namespace catalogue {

struct ProcNode {
  std::string name;        // the procedure name this node stands for
  SharedText procFile;     // procedure file name
  SharedText calibrator;   // calibrator code; empty when the record has none
  StringList siblings;     // every name of the record, in file order, own name included
  StringList subProcs;     // sub-procedures the procedure calls
  StringList reqFiles;     // support files to install with it
  StringList dataFiles;    // data files to install with it
  StringList configLines;  // configuration text, each line once
  std::int32_t isSubProc = 0;  // 1 for a sub-procedure record
  ProcNode* pNext = nullptr;

  // A new node for a record's first name; everything else empty.
  explicit ProcNode(const std::string& name);
  // The node of a further name of `first`'s record: everything but the name
  // and the link is copied from `first` (shared, not duplicated). Traces
  // "Q Constructor2".
  ProcNode(const ProcNode& first, const std::string& aliasName);

  ProcNode(const ProcNode&) = delete;
  // Copies the name, the file, the calibrator and the five lists; isSubProc
  // and pNext stay. Traces "Q Operator=".
  ProcNode& operator=(const ProcNode& other);

  // Appends `line` to configLines unless an equal line is there already.
  void AddConfigLine(const std::string& line);

  // The key that orders the node in the catalogue: its record's first name
  // (the first sibling), or its own name while it has no siblings.
  const std::string& RecordKey() const { return siblings.IsEmpty() ? name : siblings.GetAt(0); }
};

}  // namespace catalogue
