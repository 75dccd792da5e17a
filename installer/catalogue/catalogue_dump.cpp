// The readable dump of the catalogue ("c:\listread.txt"). A record with many
// names has its lists written once, under the first of its nodes in the
// dump; its other nodes refer to that one. One dump adds a bounded number of
// bytes to the file, whatever the catalogue.
#include "installer/catalogue/catalogue_dump.h"

#include "installer/catalogue/line_file.h"
#include "installer/catalogue/procedures_list.h"

namespace catalogue {

namespace {

constexpr std::size_t kBlock = 64 * 1024;  // pending bytes written at once

}  // namespace

DumpWriter::DumpWriter(LineFile& out, std::size_t limit, int fullNames)
    : out_(out), limit_(limit), fullNames_(fullNames) {}

void DumpWriter::Line(std::string_view label, std::string_view value) {
  const std::size_t size = label.size() + value.size() + 1;
  if (full_ || size > limit_ - kept_) {
    full_ = true;
    return;
  }
  kept_ += size;
  if (!out_.IsOpen()) return;
  pending_.append(label);
  pending_.append(value);
  pending_ += '\n';
  // A node of many lines is written as it grows rather than held whole.
  if (pending_.size() >= 4 * kBlock) Write();
}

void DumpWriter::EndNode() {
  if (pending_.size() >= kBlock) Write();
}

void DumpWriter::Write() {
  out_.WriteLines(pending_);
  pending_.clear();
}

void DumpWriter::Finish(std::size_t unlisted) {
  if (full_) {
    pending_ += "Dump stopped at its limit of " + std::to_string(limit_) + " bytes: " +
                std::to_string(unlisted) + " node(s) not listed in full\n";
  }
  Write();
}

const ProcNode* DumpWriter::ListedBefore(const ProcNode& node) {
  if (node.siblings.GetCount() <= fullNames_) return nullptr;
  auto [it, fresh] = listed_.emplace(node.siblings.Storage(), &node);
  if (fresh) return nullptr;
  const ProcNode& first = *it->second;
  const bool same = first.subProcs.Storage() == node.subProcs.Storage() &&
                    first.reqFiles.Storage() == node.reqFiles.Storage() && first.procFile == node.procFile &&
                    first.calibrator == node.calibrator;
  return same ? &first : nullptr;
}

void ProceduresList::DumpList(const char* path) {
  catalogue::LineFile file;
  file.Open(path);  // when it cannot be opened, the lines are dropped
  catalogue::DumpWriter out(file, kDumpLimit, kDumpFullNames);
  ProcNode scratch("");
  pCurrent = pHead;
  while (pCurrent != nullptr && !out.Full()) DumpNode(out, scratch);
  std::size_t unlisted = out.Full() ? 1 : 0;  // the node that was cut short
  for (const ProcNode* node = pCurrent; node != nullptr; node = node->pNext) ++unlisted;
  out.Finish(unlisted);
  pCurrent = pHead;
  file.Close();
}

void ProceduresList::DumpNode(catalogue::LineFile& out, ProcNode& scratch) {
  catalogue::DumpWriter writer(out, kDumpLimit, kDumpFullNames);
  DumpNode(writer, scratch);
  writer.Finish(0);
}

void ProceduresList::DumpNode(catalogue::DumpWriter& out, ProcNode& node) {
  if (pCurrent == nullptr) return;
  node = *pCurrent;
  out.Line("Next Node: +++++++++++++++++++++++++++++++++++++++", "");
  out.Line("Procedure Name:  ", node.name);
  if (const ProcNode* listed = out.ListedBefore(*pCurrent)) {
    out.Line("Same Record As:  ", listed->name);
  } else {
    out.ListLines("Siblings:           ", 20, node.siblings);
    out.ListLines("Sub-Procedures:  ", 17, node.subProcs);
    out.Line("Calibrator:      ", node.calibrator.str());
    out.Line("Procedure File:  ", node.procFile.str());
    out.ListLines("Required Files:  ", 17, node.reqFiles);
  }
  out.EndNode();
  pCurrent = pCurrent->pNext;
}

}  // namespace catalogue
