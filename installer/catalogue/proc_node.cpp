#include "installer/catalogue/proc_node.h"

#include "installer/catalogue/catalogue_trace.h"

namespace catalogue {

ProcNode::ProcNode(const std::string& nodeName) : name(nodeName) {}

ProcNode::ProcNode(const ProcNode& first, const std::string& aliasName)
    : name(aliasName),
      procFile(first.procFile),
      calibrator(first.calibrator),
      siblings(first.siblings),
      subProcs(first.subProcs),
      reqFiles(first.reqFiles),
      dataFiles(first.dataFiles),
      configLines(first.configLines),
      isSubProc(first.isSubProc),
      pNext(nullptr) {
  CatalogueTrace("Q Constructor2");
}

ProcNode& ProcNode::operator=(const ProcNode& other) {
  CatalogueTrace("Q Operator=");
  if (this == &other) return *this;  // emptying a list and refilling it from itself would lose it
  name = other.name;
  procFile = other.procFile;
  calibrator = other.calibrator;
  siblings = other.siblings;
  subProcs = other.subProcs;
  reqFiles = other.reqFiles;
  dataFiles = other.dataFiles;
  configLines = other.configLines;
  return *this;
}

void ProcNode::AddConfigLine(const std::string& line) {
  if (!configLines.Contains(line)) configLines.AddTail(line);
}

}  // namespace catalogue
