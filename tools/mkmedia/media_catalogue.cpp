#include "tools/mkmedia/media_catalogue.h"

#include <set>

#include "installer/catalogue/list_file_reader.h"

namespace mkmedia {

namespace {

const char* const kProcMarker = "instrument==========";
const char* const kSubMarker = "instrumentSub=======";

std::string At(int line) { return "kelmar.lst:" + std::to_string(line) + ": "; }

bool IsListKeyword(const std::string& line) {
  return line == "procfile" || line == "sub" || line == "files" || line == "datafiles" ||
         line == "calibrator" || line == "configuration" || line == "end";
}

class Parser {
 public:
  explicit Parser(const std::string& bytes) { in_.Assign(bytes); }

  MediaCatalogue Run() {
    while (in_.More()) {
      int lineNumber = in_.LineNumber();
      std::string line;
      in_.ReadLine(line);
      if (line == kProcMarker || line == kSubMarker) {
        CloseOpenRecord();
        if (!ReadHead(line == kSubMarker, lineNumber, line)) break;
      } else if (open_ == nullptr && IsListKeyword(line)) {
        out_.problems.push_back(At(lineNumber) + "\"" + line + "\" outside a record");
        continue;
      }
      if (open_ == nullptr) continue;
      // The chain: each part may follow the one before in the same pass.
      if (line == "sub" && !ReadList(open_->subProcs, "files", line)) break;
      if (line == "files" && !ReadList(open_->reqFiles, "datafiles", line)) break;
      if (line == "datafiles" && !ReadList(open_->dataFiles, "calibrator", line)) break;
      if (line == "calibrator") {
        if (!in_.More()) break;
        in_.ReadLine(open_->calibrator);
        line = open_->calibrator;
      }
      if (line == "configuration" && !ReadConfiguration(line)) break;
      if (line == "end") {
        open_->closed = true;
        open_ = nullptr;
      }
    }
    CloseOpenRecord();
    return std::move(out_);
  }

 private:
  // The marker, the names and the file name; false at the end of the file.
  bool ReadHead(bool isSubProc, int lineNumber, std::string& line) {
    out_.records.emplace_back();
    open_ = &out_.records.back();
    open_->line = lineNumber;
    open_->isSubProc = isSubProc;
    for (;;) {
      if (!in_.More()) return false;
      in_.ReadLine(line);
      if (line == "procfile") break;
      open_->names.push_back(line);
    }
    if (!in_.More()) return false;
    in_.ReadLine(open_->procFile);
    line = open_->procFile;
    return true;
  }

  // Entries up to `terminator`, which becomes the current line.
  bool ReadList(std::vector<std::string>& list, const char* terminator, std::string& line) {
    for (;;) {
      if (!in_.More()) return false;
      in_.ReadLine(line);
      if (line == terminator) return true;
      if ((line == kProcMarker || line == kSubMarker) && !open_->overran) {
        open_->overran = true;
        out_.problems.push_back(At(in_.LineNumber() - 1) + Who() + " runs on into this record: no \"" +
                                terminator + "\" line before it");
      }
      list.push_back(line);
    }
  }

  bool ReadConfiguration(std::string& line) {
    for (;;) {
      if (!in_.More()) return false;
      in_.ReadLine(line);
      if (line == "end") return true;
      bool seen = false;
      for (const std::string& l : open_->configLines) seen = seen || l == line;
      if (!seen) open_->configLines.push_back(line);
    }
  }

  std::string Who() const {
    return open_->names.empty() ? "a record without a name" : "the record of \"" + open_->names[0] + "\"";
  }

  void CloseOpenRecord() {
    if (open_ == nullptr) return;
    if (!open_->overran) out_.problems.push_back(At(open_->line) + Who() + " has no \"end\" line");
    open_ = nullptr;
  }

  catalogue::ListFileReader in_;
  MediaCatalogue out_;
  CatalogueRecord* open_ = nullptr;  // the record being read, until its "end"
};

}  // namespace

MediaCatalogue ParseCatalogue(const std::string& bytes) {
  MediaCatalogue catalogue = Parser(bytes).Run();
  return catalogue;
}

std::vector<PayloadFile> PayloadFiles(const MediaCatalogue& catalogue) {
  std::vector<PayloadFile> files;
  std::set<std::string> seen;
  auto add = [&](const std::string& name, int line) {
    if (seen.insert(name).second) files.push_back({name, line});
  };
  for (const CatalogueRecord& r : catalogue.records) {
    add(r.procFile, r.line);
    if (r.overran) continue;  // its lists hold the next record's lines
    for (const std::string& f : r.reqFiles) add(f, r.line);
    for (const std::string& f : r.dataFiles) add(f, r.line);
  }
  return files;
}

}  // namespace mkmedia
