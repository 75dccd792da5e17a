// The procedures offered for a calibrator, and look-ups by name and file.
#include "installer/catalogue/catalogue_report.h"
#include "installer/catalogue/catalogue_texts.h"
#include "installer/catalogue/procedures_list.h"
#include "resources/kelmar_ids.h"

namespace catalogue {

namespace {

// The one further calibrator code whose procedures a calibrator also runs
// (one way: R520 runs R510 procedures, R510 does not run R520 ones); empty
// when there is none.
std::string AlsoAccepted(const std::string& code) {
  if (code == "R520") return "R510";
  if (code == "R420") return "R410";
  return "";
}

}  // namespace

int ProceduresList::GetProcs() {
  ProcTable.RemoveAll();
  if (ProcTable.GetCount() != 0) {
    catalogue::Warn(kGetProcsNotEmpty);
    return -1;
  }
  for (const ProcNode* node = pHead; node != nullptr; node = node->pNext) {
    if (node->isSubProc == 0) ProcTable.AddTail(node->name);
  }
  pCurrent = pHead;
  return ProcTable.GetCount();
}

int ProceduresList::GetProcsByCalibrator(const std::string& code) {
  if (code == catalogue::texts::kAllCalibrators) return GetProcs();
  ProcTable.RemoveAll();
  if (ProcTable.GetCount() != 0) {
    catalogue::Warn(kGetProcsByCalibratorNotEmpty);
    return -1;
  }
  const std::string also = AlsoAccepted(code);
  for (const ProcNode* node = pHead; node != nullptr; node = node->pNext) {
    if (node->isSubProc != 0) continue;
    if (node->calibrator == code || (!also.empty() && node->calibrator == also)) {
      ProcTable.AddTail(node->name);
    }
  }
  pCurrent = pHead;
  return ProcTable.GetCount();
}

const StringList* ProceduresList::FindSiblings(const std::string& name) {
  pCurrent = lookup_.ByName(pHead, name);
  return pCurrent ? &pCurrent->siblings : nullptr;
}

const StringList* ProceduresList::FindSubProcs(const std::string& name) {
  pCurrent = lookup_.ByNameNoCase(pHead, name);
  return pCurrent ? &pCurrent->subProcs : nullptr;
}

const ProcNode* ProceduresList::FindByAnyName(const std::string& name) {
  pCurrent = lookup_.BySibling(pHead, name);
  return pCurrent;
}

const ProcNode* ProceduresList::FindByProcFile(const std::string& file) {
  pCurrent = lookup_.ByProcFile(pHead, file);
  return pCurrent;
}

}  // namespace catalogue
