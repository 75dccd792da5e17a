// The operator's choice and the transfer lists made from it.
#include "installer/catalogue/catalogue_report.h"
#include "installer/catalogue/catalogue_texts.h"
#include "installer/catalogue/plain_file_name.h"
#include "installer/catalogue/procedures_list.h"
#include "resources/kelmar_ids.h"

namespace catalogue {

void ProceduresList::AddSelectedProc(const std::string& name) {
  if (!selectedProcs.ContainsNoCase(name)) selectedProcs.AddTail(name);
}

void ProceduresList::AddSelectedSubProc(const std::string& name) {
  if (!selectedSubProcs.ContainsNoCase(name)) selectedSubProcs.AddTail(name);
}

int ProceduresList::LoadAllXferFiles() {
  xferFiles.RemoveAll();
  xferProcs.RemoveAll();
  xferSubProcs.RemoveAll();
  xferDataFiles.RemoveAll();
  inXferRun_ = true;
  reportedUnsafe_.clear();
  xferRunLists_.clear();
  bool ok = true;
  // Every call is made even after a failure, so that all reports are shown.
  for (const std::string& name : selectedProcs) {
    if (LoadXferProcs(name) < 0) ok = false;
    if (GetXferFiles(name) < 0) ok = false;
  }
  for (const std::string& name : selectedSubProcs) {
    if (LoadXferSubProcs(name) < 0) ok = false;
    if (GetXferFiles(name) < 0) ok = false;
  }
  inXferRun_ = false;
  reportedUnsafe_.clear();
  xferRunLists_.clear();
  return ok ? 1 : 0;
}

int ProceduresList::GetXferFiles(const std::string& name) {
  ProcNode* node = SelectedNode(name, kNotInList);
  if (node == nullptr) return -1;
  // Within one run a record chosen under many names offers the same shared
  // lists again: their files are all in the transfer lists by then, so the
  // call adds nothing (0), or fails again for the same refused name (-1,
  // reported once).
  const std::pair<const void*, const void*> lists(node->reqFiles.Storage(), node->dataFiles.Storage());
  const bool none = lists.first == nullptr && lists.second == nullptr;
  if (inXferRun_ && !none) {
    auto [seen, fresh] = xferRunLists_.emplace(lists, 0);
    if (!fresh) return seen->second < 0 ? -1 : 0;
    seen->second = AddXferFiles(name, *node);
    return seen->second;
  }
  return AddXferFiles(name, *node);
}

int ProceduresList::AddXferFiles(const std::string& name, const ProcNode& node) {
  // All or nothing: a refused name leaves both lists as they were.
  for (const std::string& file : node.reqFiles) {
    if (!SafeFile(name, file)) return -1;
  }
  for (const std::string& file : node.dataFiles) {
    if (!SafeFile(name, file)) return -1;
  }
  int added = 0;
  for (const std::string& file : node.reqFiles) {
    if (xferFiles.ContainsNoCase(file)) continue;
    xferFiles.AddTail(file);
    ++added;
  }
  for (const std::string& file : node.dataFiles) {
    if (xferDataFiles.ContainsNoCase(file)) continue;
    xferDataFiles.AddTail(file);
    ++added;
  }
  return added;
}

int ProceduresList::LoadXferProcs(const std::string& name) {
  ProcNode* node = SelectedNode(name, kNotInListXpfn);
  if (node == nullptr || !SafeFile(name, node->procFile)) return -1;
  if (!xferProcs.ContainsNoCase(node->procFile)) xferProcs.AddTail(node->procFile);
  return 1;
}

int ProceduresList::LoadXferSubProcs(const std::string& name) {
  ProcNode* node = SelectedNode(name, kNotInListXspfn);
  if (node == nullptr || !SafeFile(name, node->procFile)) return -1;
  if (xferSubProcs.ContainsNoCase(node->procFile)) return 0;
  xferSubProcs.AddTail(node->procFile);
  return 1;
}

ProcNode* ProceduresList::SelectedNode(const std::string& name, const char* notInListText) {
  pCurrent = lookup_.ByNameNoCase(pHead, name);
  if (pCurrent == nullptr) catalogue::Warn(notInListText);
  return pCurrent;
}

// A name that is not a plain file name could write outside its target
// folder, and one the media lists cannot carry would be refused by the
// transfer list writer after the choice is made (its procedure registered,
// its file never copied); neither reaches a transfer list. Within one
// LoadAllXferFiles each such name is reported once, however many selected
// names lead to it.
bool ProceduresList::SafeFile(const std::string& name, const std::string& file) {
  if (catalogue::IsListableFileName(file)) return true;
  if (!inXferRun_ || reportedUnsafe_.insert(file).second) {
    catalogue::Warn(catalogue::UnsafeFileNameText(name, file));
  }
  return false;
}

}  // namespace catalogue
