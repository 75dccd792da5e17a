// The record grammar of kelmar.lst, shared by the installer's catalogue and
// the media builder's checks. A record is a marker line, its names up to
// "procfile", the procedure file name, then any tail of the chain "sub"
// (sub-procedures up to "files"), "files" (up to "datafiles"), "datafiles"
// (up to "calibrator"), "calibrator" and its code line, "configuration"
// (lines up to "end"), and "end". One keyword line ends a list and leads
// straight into the next part, and the line read after "procfile" or
// "calibrator" is tried as a keyword of the chain too. A marker at record
// level ends the open record unfinished; inside a list it is an entry.
#pragma once
#include <string>

#include "installer/catalogue/catalogue_texts.h"

namespace catalogue {

// Every keyword line, the two record markers first.
constexpr const char* kListKeywords[] = {
    catalogue::texts::kRecord,     catalogue::texts::kSubRecord,     catalogue::texts::kProcFile,
    catalogue::texts::kSub,        catalogue::texts::kFiles,         catalogue::texts::kDataFiles,
    catalogue::texts::kCalibrator, catalogue::texts::kConfiguration, catalogue::texts::kEnd};

bool IsRecordMarker(const std::string& line);
bool IsListKeyword(const std::string& line);  // markers included

// The lists of a record.
enum class ListPart { Names, SubProcs, ReqFiles, DataFiles, Configuration };

// The keyword line that ends the list `part`.
const char* ListTerminator(ListPart part);

// Where the grammar takes its lines from.
class ListLines {
 public:
  virtual ~ListLines() = default;
  // True while at least one more line is left.
  virtual bool More() const = 0;
  // The next line and its file line number; false at the end. `inList` is
  // true where the line is read as a list entry or a name.
  virtual bool Next(std::string& line, int* number, bool inList) = 0;
};

// What the grammar finds, in file order.
class ListRecords {
 public:
  virtual ~ListRecords() = default;
  // A record marker; `subProc` for the sub-procedure marker.
  virtual void Opened(bool subProc, int line) = 0;
  // The "procfile" line after the names.
  virtual void NamesRead() {}
  virtual void ProcFile(const std::string& name, int line) = 0;
  // One name or list entry.
  virtual void Entry(ListPart part, const std::string& text, int line) = 0;
  virtual void Calibrator(const std::string& code, int line) = 0;
  // The record's "end".
  virtual void Closed() = 0;
  // The open record ends without its "end": a new marker or the end of the
  // file came first.
  virtual void Unfinished() = 0;
  // A line at record level while no record is open.
  virtual void Outside(const std::string& /*line*/, int /*number*/) {}
};

// Reads every line of `lines`, telling `records` what it finds.
void ReadListRecords(ListLines& lines, ListRecords& records);

}  // namespace catalogue
