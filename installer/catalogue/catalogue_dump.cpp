// The readable dump of the catalogue ("c:\listread.txt"). Each node's lines
// go to the file together in one write, so the file never ends inside a
// node; a catalogue of many thousand nodes is dumped in a fraction of the
// time that a write per line takes.
#include <string>

#include "installer/catalogue/line_file.h"
#include "installer/catalogue/procedures_list.h"

namespace {

// Adds the entries of `list` to `text`, one line each: the first after
// `label`, each further one after `indent` spaces. Nothing for an empty list.
void AddListLines(std::string& text, const std::string& label, std::size_t indent, const StringList& list) {
  bool first = true;
  for (const std::string& entry : list) {
    if (first) {
      text += label;
    } else {
      text.append(indent, ' ');
    }
    text += entry;
    text += '\n';
    first = false;
  }
}

void AddLine(std::string& text, const char* label, const std::string& value) {
  text += label;
  text += value;
  text += '\n';
}

}  // namespace

void ProceduresList::DumpList(const char* path) {
  catalogue::LineFile out;
  out.Open(path);  // when it cannot be opened, the lines are dropped
  ProcNode scratch("");
  pCurrent = pHead;
  while (pCurrent != nullptr) DumpNode(out, scratch);
  pCurrent = pHead;
  out.Close();
}

void ProceduresList::DumpNode(catalogue::LineFile& out, ProcNode& node) {
  if (pCurrent == nullptr) return;
  node = *pCurrent;
  std::string text;
  text += "Next Node: +++++++++++++++++++++++++++++++++++++++\n";
  AddLine(text, "Procedure Name:  ", node.name);
  AddListLines(text, "Siblings:           ", 20, node.siblings);
  AddListLines(text, "Sub-Procedures:  ", 17, node.subProcs);
  AddLine(text, "Calibrator:      ", node.calibrator);
  AddLine(text, "Procedure File:  ", node.procFile);
  AddListLines(text, "Required Files:  ", 17, node.reqFiles);
  out.WriteLines(text);
  pCurrent = pCurrent->pNext;
}
