#include "installer/catalogue/list_grammar.h"

namespace catalogue {

namespace text = catalogue::texts;

bool IsRecordMarker(const std::string& line) { return line == text::kRecord || line == text::kSubRecord; }

bool IsListKeyword(const std::string& line) {
  for (const char* keyword : kListKeywords)
    if (line == keyword) return true;
  return false;
}

const char* ListTerminator(ListPart part) {
  switch (part) {
    case ListPart::Names: return text::kProcFile;
    case ListPart::SubProcs: return text::kFiles;
    case ListPart::ReqFiles: return text::kDataFiles;
    case ListPart::DataFiles: return text::kCalibrator;
    case ListPart::Configuration: break;
  }
  return text::kEnd;
}

void ReadListRecords(ListLines& in, ListRecords& out) {
  bool open = false;  // between a marker and its "end"
  std::string line;
  int number = 0;
  // Entries of `part` up to its terminator, which is left in `line`. False
  // when the file ends first.
  auto readList = [&](ListPart part) {
    const char* terminator = ListTerminator(part);
    while (in.Next(line, &number, true)) {
      if (line == terminator) return true;
      out.Entry(part, line, number);
    }
    return false;
  };
  while (in.More()) {
    in.Next(line, &number, false);
    const bool procedure = line == text::kRecord;
    if (procedure || line == text::kSubRecord) {
      if (open) out.Unfinished();
      open = true;
      out.Opened(!procedure, number);
      if (!readList(ListPart::Names)) break;
      out.NamesRead();
      if (!in.Next(line, &number, false)) break;
      out.ProcFile(line, number);
    } else if (!open) {
      out.Outside(line, number);
      continue;
    } else if (line == text::kSub && !readList(ListPart::SubProcs)) {
      break;
    }
    if (line == text::kFiles && !readList(ListPart::ReqFiles)) break;
    if (line == text::kDataFiles && !readList(ListPart::DataFiles)) break;
    if (line == text::kCalibrator) {
      if (!in.Next(line, &number, false)) break;
      out.Calibrator(line, number);
    }
    if (line == text::kConfiguration && !readList(ListPart::Configuration)) break;
    if (line == text::kEnd) {
      open = false;
      out.Closed();
    }
  }
  if (open) out.Unfinished();
}

}  // namespace catalogue
