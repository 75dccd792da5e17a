// Reading kelmar.lst into the catalogue.
//
// A record runs from its marker to its "end"; its nodes are linked only when
// "end" closes it. A record that cannot be read whole is left out with all of
// its names: one cut off by the end of the file, one without a name (marker
// directly followed by "procfile"), and one interrupted by a new marker at
// record level before its "end". Keyword lines met at record level while no
// record is open are ignored like any other line between records.
#include <memory>
#include <string_view>
#include <utility>

#include "installer/catalogue/catalogue_report.h"
#include "installer/catalogue/catalogue_texts.h"
#include "installer/catalogue/catalogue_trace.h"
#include "installer/catalogue/list_file_reader.h"
#include "installer/catalogue/procedures_list.h"

namespace {

namespace text = catalogue_text;

// Appends lines to `list` until the line `terminator`, which is left in
// `line`. False when the file ends first.
bool ReadListUntil(catalogue::ListFileReader& in, const char* terminator, StringList& list,
                   std::string& line) {
  while (in.ReadLine(line)) {
    if (line == terminator) return true;
    list.AddTail(line);
  }
  return false;
}

// The record being read: its first node, which holds all of its names.
struct OpenRecord {
  bool open = false;               // between a marker and its "end"
  std::unique_ptr<ProcNode> node;  // made once the names are read
  bool named = false;
  int line = 0;  // file line of its marker
};

}  // namespace

int ProceduresList::TextInput(const char* path) {
  catalogue::ListFileReader in;
  const bool opened = in.Open(path);  // unopened, it reads as an empty file
  ReadAndDump(in, "c:\\listread.txt");
  if (droppedRecords_ > 0) {
    catalogue::Warn(catalogue::DroppedRecordsText(path, droppedRecords_, firstDroppedLine_));
  }
  return opened ? 1 : 0;
}

int ProceduresList::TextInputFromMemory(std::string_view listText, const catalogue::LoadSinks& sinks) {
  catalogue::ListFileReader in;
  in.Assign(listText);
  ReadAndDump(in, sinks.dumpPath);
  if (droppedRecords_ > 0 && sinks.reportDropped) {
    catalogue::Warn(catalogue::DroppedRecordsText("the list text", droppedRecords_, firstDroppedLine_));
  }
  return 1;
}

void ProceduresList::ReadAndDump(catalogue::ListFileReader& in, const char* dumpPath) {
  CatalogueTraceBatch batch;
  CatalogueTrace(text::kTraceTextInput);
  droppedRecords_ = 0;
  firstDroppedLine_ = 0;
  ReadRecords(in);
  if (dumpPath != nullptr) DumpList(dumpPath);
}

void ProceduresList::DropRecord(int line) {
  if (droppedRecords_ == 0) firstDroppedLine_ = line;
  ++droppedRecords_;
}

void ProceduresList::ReadRecords(catalogue::ListFileReader& in) {
  OpenRecord record;
  std::string line;
  while (in.More()) {
    const int lineNumber = in.LineNumber();
    in.ReadLine(line);
    const bool procedure = line == text::kRecord;
    if (procedure || line == text::kSubRecord) {
      if (record.open) DropRecord(record.line);  // interrupted before its "end"
      record = OpenRecord();
      record.open = true;
      record.line = lineNumber;
      if (procedure) CatalogueTrace(text::kTraceRecord);
      StringList names;
      if (!ReadListUntil(in, text::kProcFile, names, line)) break;
      if (procedure) CatalogueTrace(text::kTraceProcFile);
      record.named = !names.IsEmpty();
      record.node = std::make_unique<ProcNode>(names.GetAt(0));
      record.node->isSubProc = procedure ? 0 : 1;
      record.node->siblings = std::move(names);
      if (!in.ReadLine(line)) break;
      record.node->procFile = line;
    } else if (line == text::kSub) {
      if (!record.open) continue;
      if (!ReadListUntil(in, text::kFiles, record.node->subProcs, line)) break;
    }
    if (!record.open) continue;  // no record open: the line is ignored
    ProcNode& node = *record.node;
    // One keyword line ends a list and leads straight into the next part.
    if (line == text::kFiles && !ReadListUntil(in, text::kDataFiles, node.reqFiles, line)) break;
    if (line == text::kDataFiles && !ReadListUntil(in, text::kCalibrator, node.dataFiles, line)) {
      break;
    }
    if (line == text::kCalibrator) {
      if (!in.ReadLine(line)) break;
      node.calibrator = line;
    }
    if (line == text::kConfiguration) {
      bool ended = false;
      while (in.ReadLine(line)) {
        if (line == text::kEnd) {
          ended = true;
          break;
        }
        node.AddConfigLine(line);
      }
      if (!ended) break;
    }
    if (line == text::kEnd) {
      if (!record.named) {
        DropRecord(record.line);
      } else {
        // The alias nodes share the first node's lists and texts.
        ProcNode* first = record.node.release();
        AddABC(first);
        const StringList& names = first->siblings;
        for (int i = 1; i < names.GetCount(); ++i) AddABC(new ProcNode(*first, names.GetAt(i)));
      }
      record = OpenRecord();
    }
  }
  if (record.open) DropRecord(record.line);  // cut off by the end of the file
}
