// Checks size, record layout, F/L structure, name counts and duplicates.
#include "installer/procdir/procdir_inspect.h"

#include <cstdio>
#include <map>
#include <optional>

#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_record.h"
#include "platform/ascii_case.h"

namespace procdir {

namespace {

constexpr std::size_t kSize = PROCDIR_RECORD_SIZE;

std::string At(std::uint32_t index) { return "record " + std::to_string(index) + ": "; }
std::string EntryAt(std::uint32_t index) { return "entry at record " + std::to_string(index) + ": "; }

std::string Letter(char c) {
  if (c >= 0x20 && c < 0x7F) return std::string("'") + c + "'";
  char code[8];
  std::snprintf(code, sizeof code, "0x%02X", unsigned(static_cast<unsigned char>(c)));
  return code;
}

class Inspector {
 public:
  explicit Inspector(IndexReport& report) : report_(report) {}

  void Record(const char* record, std::uint32_t index);
  void End();
  void Duplicates();

 private:
  void Problem(const std::string& text) { report_.problems.push_back(text); }
  void Layout(const char* record, std::uint32_t index);
  void Begin(const char* record, std::uint32_t index);
  void Close() {
    if (open_) report_.entries.push_back(*open_);
    open_.reset();
  }

  IndexReport& report_;
  std::optional<InspectedEntry> open_;  // entry whose 'L' is still to come
  std::string firstHeader_;             // columns 0, 1 and 5..17 of its first record
  bool reportedLong_ = false;
  bool reportedNumber_ = false;
};

std::string Header(const char* record) {
  return std::string(record, 2) + std::string(record + kColFileName, kColName - kColFileName);
}

void Inspector::Layout(const char* record, std::uint32_t index) {
  if (record[kColCr] != '\r' || record[kColLf] != '\n') Problem(At(index) + "does not end in CR LF");
  if (IsFree(record)) {
    for (int col = 1; col < kColCr; ++col) {
      if (record[col] != ' ') {
        Problem(At(index) + "free record is not blank");
        break;
      }
    }
    return;
  }
  char status = record[kColStatus], kind = record[kColKind];
  if (status != ' ' && status != 'D' && status != 'P') Problem(At(index) + "unknown status letter " + Letter(status));
  if (kind != ' ' && kind != 'E' && kind != 'H') Problem(At(index) + "unknown kind letter " + Letter(kind));
  if (record[kColFirst] != ' ' && record[kColFirst] != 'F')
    Problem(At(index) + "column 2 holds " + Letter(record[kColFirst]) + " instead of 'F' or a blank");
  if (record[kColLast] != ' ' && record[kColLast] != 'L')
    Problem(At(index) + "column 3 holds " + Letter(record[kColLast]) + " instead of 'L' or a blank");
  if (record[4] != ' ') Problem(At(index) + "column 4 is not blank");
  if (!reportedNumber_ && RecordFileNumber(record) >= kFileNumberLimit) {
    reportedNumber_ = true;
    Problem(At(index) + "file number 99999999 or higher: no new file number can be given");
  }
}

void Inspector::Begin(const char* record, std::uint32_t index) {
  InspectedEntry entry;
  entry.first = entry.last = index;
  entry.status = record[kColStatus];
  entry.kind = record[kColKind];
  int length = RecordFileNameLength(record);
  if (length < 0) {
    Problem(EntryAt(index) + "the file name field runs into the end of the record");
    entry.fileName = std::string(record + kColFileName, kColName - kColFileName);
  } else {
    entry.fileName.assign(record + kColFileName, std::size_t(length));
    if (length == 0) Problem(EntryAt(index) + "empty file name");
    if (length > PROCDIR_FILE_NAME_LENGTH)
      Problem(EntryAt(index) + "file name longer than 12 characters");
    bool plain = length == 0 || IsPlainIndexFileName(record + kColFileName, std::size_t(length));
    if (!plain)
      Problem(EntryAt(index) + "file name \"" + entry.fileName +
              "\" is not a plain file name in the procedure folder (a path, a drive, .. or proc.dir)");
    entry.fileNameValid = length > 0 && length <= PROCDIR_FILE_NAME_LENGTH && plain;
  }
  open_ = entry;
  firstHeader_ = Header(record);
  reportedLong_ = false;
}

void Inspector::Record(const char* record, std::uint32_t index) {
  Layout(record, index);
  if (IsFree(record)) {
    ++report_.freeRecords;
    if (open_) {
      Problem(EntryAt(open_->first) + "ends without an 'L' record (free record " + std::to_string(index) +
              " follows)");
      Close();
    }
    return;
  }
  if (IsFirst(record)) {
    if (open_) {
      Problem(EntryAt(open_->first) + "ends without an 'L' record (record " + std::to_string(index) +
              " starts another)");
      Close();
    }
    Begin(record, index);
  } else if (!open_) {
    Problem(At(index) + "belongs to no entry (no 'F' record before it)");
    return;
  } else if (Header(record) != firstHeader_) {
    Problem(At(index) + "status, kind or file name differs from the entry's first record " +
            std::to_string(open_->first));
  }
  open_->last = index;
  std::size_t length = RecordNameLength(record);
  open_->names.emplace_back(record + kColName, length);
  if (open_->names.size() > std::size_t(PROCDIR_MAX_NAMES) && !reportedLong_) {
    reportedLong_ = true;
    Problem(EntryAt(open_->first) + "runs past six records before its 'L'");
  }
  if (IsLast(record)) Close();
}

void Inspector::End() {
  if (open_) {
    Problem(EntryAt(open_->first) + "ends without an 'L' record (end of file)");
    Close();
  }
}

void Inspector::Duplicates() {
  std::map<std::string, std::uint32_t> names;  // upper-case name -> entry's first record
  std::map<std::string, std::uint32_t> files;
  for (const InspectedEntry& entry : report_.entries) {
    for (const std::string& name : entry.names) {
      auto [it, added] = names.emplace(platform::AsciiUpper(name), entry.first);
      if (added) continue;
      if (it->second == entry.first)
        Problem(EntryAt(entry.first) + "name \"" + name + "\" appears twice");
      else
        Problem("name \"" + name + "\" is in the entries at records " + std::to_string(it->second) + " and " +
                std::to_string(entry.first));
    }
    if (!entry.fileNameValid) continue;
    auto [it, added] = files.emplace(platform::AsciiUpper(entry.fileName), entry.first);
    if (!added)
      Problem("file " + entry.fileName + " is named by the entries at records " + std::to_string(it->second) +
              " and " + std::to_string(entry.first));
  }
}

}  // namespace

IndexReport InspectIndex(const std::string& bytes) {
  IndexReport report;
  report.size = bytes.size();
  report.records = std::uint32_t(bytes.size() / kSize);
  if (bytes.size() % kSize != 0)
    report.problems.push_back("size " + std::to_string(bytes.size()) + " is not a whole number of 75-byte records (" +
                              std::to_string(bytes.size() % kSize) + " bytes left over at the end)");
  if (report.records > PROCDIR_MAX_RECORDS)
    report.problems.push_back("holds " + std::to_string(report.records) + " records, more than 65,536");
  Inspector inspector(report);
  for (std::uint32_t i = 0; i < report.records; ++i) inspector.Record(bytes.data() + std::size_t(i) * kSize, i);
  inspector.End();
  inspector.Duplicates();
  return report;
}

}  // namespace procdir
