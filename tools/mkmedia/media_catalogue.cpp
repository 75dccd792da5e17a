#include "tools/mkmedia/media_catalogue.h"

#include <cstdio>
#include <set>

#include "installer/catalogue/list_file_reader.h"
#include "installer/catalogue/list_grammar.h"
#include "platform/ascii_case.h"
#include "tools/mkmedia/calibrator_codes.h"

namespace mkmedia {

namespace {

using catalogue::IsListKeyword;
using catalogue::IsRecordMarker;

const std::string kByteOrderMark = "\xEF\xBB\xBF";

std::string At(int line) { return "kelmar.lst:" + std::to_string(line) + ": "; }
std::string Warning(int line) { return At(line) + "warning: "; }

bool IsEdge(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Blanks, tabs and carriage returns off both ends.
std::string Trimmed(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsEdge(text[begin])) ++begin;
  while (end > begin && IsEdge(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// The keyword `line` was likely meant to be, with why it is not one, or ""
// when it is a keyword or not like one. Letter case counts only where a list
// is not being read: inside a list "End" may well be meant as an entry.
struct NearMiss {
  std::string keyword;
  std::string cause;
};
NearMiss NearKeyword(const std::string& line, bool inList) {
  if (IsListKeyword(line)) return {};
  const std::string trimmed = Trimmed(line);
  for (const char* k : catalogue::kListKeywords) {
    if (trimmed == k) return {k, EdgeBlanks(line)};
    if (!inList && platform::EqualNoCase(trimmed, k)) return {k, "letter case counts"};
  }
  return {};
}

// What one end of a text holds: "a tab", "2 blanks", "blanks and tabs".
std::string RunOf(const std::string& run) {
  std::size_t tabs = 0, blanks = 0, returns = 0;
  for (char c : run) (c == '\t' ? tabs : c == ' ' ? blanks : returns)++;
  if (returns > 0) return "a carriage return";
  if (tabs > 0 && blanks > 0) return "blanks and tabs";
  if (tabs > 0) return tabs == 1 ? "a tab" : std::to_string(tabs) + " tabs";
  return blanks == 1 ? "a blank" : std::to_string(blanks) + " blanks";
}

// The lengths of the file's lines, as the reader counts them (a carriage
// return before the line feed left out), indexed by line number.
std::vector<std::size_t> LineLengths(const std::string& text) {
  std::vector<std::size_t> lengths(1, 0);
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      lengths.push_back(length);
      length = 0;
    } else if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      ++length;
    }
  }
  lengths.push_back(length);
  return lengths;
}

// Reads the records with the installer's grammar, noting what would not
// load the way the file's writer meant.
class Parser : public catalogue::ListLines, public catalogue::ListRecords {
 public:
  explicit Parser(const std::string& bytes) : lengths_(LineLengths(bytes)) { in_.Assign(bytes); }

  MediaCatalogue Run() {
    catalogue::ReadListRecords(*this, *this);
    return std::move(out_);
  }

 private:
  bool More() const override { return in_.More(); }

  // The next line: the pieces the installer would read of a line of 79
  // characters or more are joined again, and such a line inside a record is
  // reported. Lines that are keywords but for blanks or case are warned
  // about. False at the end of the file.
  bool Next(std::string& line, int* lineNumber, bool inList) override {
    *lineNumber = in_.LineNumber();
    if (!in_.ReadLine(line)) return false;
    if (line.size() == catalogue::ListFileReader::kPieceLength) {
      std::string piece = line;
      while (piece.size() == catalogue::ListFileReader::kPieceLength && in_.More() &&
             in_.LineNumber() == *lineNumber) {
        in_.ReadLine(piece);
        line += piece;
      }
      if (open_ != nullptr) {
        const std::size_t length = lengths_[static_cast<std::size_t>(*lineNumber)];
        out_.problems.push_back(At(*lineNumber) + "this line is " + std::to_string(length) +
                                " characters long: the installer cuts a line of 79 characters or more into pieces "
                                "of 79 and reads each piece, and the rest, as lines of their own (keep lines to 78 "
                                "characters, names to 55)");
      }
    }
    NearMiss near = NearKeyword(line, inList);
    // A mistyped marker between records is a fault, reported by Outside.
    if (!near.keyword.empty() && !(open_ == nullptr && IsRecordMarker(near.keyword))) {
      const bool marker = IsRecordMarker(near.keyword);
      out_.warnings.push_back(Warning(*lineNumber) + Quoted(line) + " is not the " +
                              (marker ? "record marker " : "keyword ") + Quoted(near.keyword) + ": " + near.cause);
      if (open_ != nullptr && open_->nearKeyword.empty())
        open_->nearKeyword = "line " + std::to_string(*lineNumber) + " reads " + Quoted(line) + " (" + near.cause +
                             "), not " + Quoted(near.keyword);
    }
    return true;
  }

  void Opened(bool subProc, int line) override {
    lostRecord_ = false;
    out_.records.emplace_back();
    open_ = &out_.records.back();
    open_->line = line;
    open_->isSubProc = subProc;
  }

  void ProcFile(const std::string& name, int /*line*/) override { open_->procFile = name; }

  void Entry(catalogue::ListPart part, const std::string& entry, int at) override {
    switch (part) {
      case catalogue::ListPart::Names: return Name(entry, at);
      case catalogue::ListPart::SubProcs: return ListEntry(open_->subProcs, part, entry, at);
      case catalogue::ListPart::ReqFiles: return ListEntry(open_->reqFiles, part, entry, at);
      case catalogue::ListPart::DataFiles: return ListEntry(open_->dataFiles, part, entry, at);
      case catalogue::ListPart::Configuration:
        for (const std::string& l : open_->configLines)
          if (l == entry) return;
        open_->configLines.push_back(entry);
        return;
    }
  }

  void Name(const std::string& name, int at) {
    if (IsListKeyword(name) && !open_->overran) {
      open_->overran = true;
      out_.problems.push_back(At(at) + Quoted(name) + " among the names of " + WhoAt() + ": no \"procfile\" line "
                              "ends the names before it" + Hint());
    }
    if (!open_->overran && NearKeyword(name, true).keyword.empty()) {
      std::string edges = EdgeBlanks(name);
      if (!edges.empty())
        out_.warnings.push_back(Warning(at) + "the name " + Quoted(name) + " has " + edges +
                                ", which the installer keeps as part of the name");
    }
    open_->names.push_back(name);
    open_->nameLines.push_back(at);
  }

  void ListEntry(std::vector<std::string>& list, catalogue::ListPart part, const std::string& entry, int at) {
    if (IsRecordMarker(entry) && !open_->overran) {
      open_->overran = true;
      out_.problems.push_back(At(at) + WhoAt() + " runs on into this record: no \"" +
                              catalogue::ListTerminator(part) + "\" line before it" + Hint());
    }
    list.push_back(entry);
  }

  void Calibrator(const std::string& code, int at) override {
    open_->calibrator = code;
    open_->calibratorLine = at;
    if (IsListKeyword(code)) {
      out_.warnings.push_back(Warning(at) + "\"calibrator\" is directly followed by " + Quoted(code) +
                              ", which the installer takes as the calibrator code of " + Who() +
                              ": put the code on a line between them, or leave out \"calibrator\"");
    } else if (!IsCalibratorCode(code)) {
      std::string likely = LikelyCalibratorCode(code);
      out_.warnings.push_back(Warning(at) + "the calibrator code " + Quoted(code) + " of " + Who() +
                              " is none the installer knows (" + CalibratorCodeList() +
                              "; letter case counts): only \"All\" offers the procedure" +
                              (likely.empty() ? "" : "; meant " + Quoted(likely) + "?"));
    }
  }

  void Closed() override {
    open_->closed = true;
    open_ = nullptr;
  }

  void Unfinished() override {
    if (!open_->overran) out_.problems.push_back(At(open_->line) + Who() + " has no \"end\" line" + Hint());
    open_ = nullptr;
  }

  // A line between records: a list keyword there is a fault, and so is a
  // mistyped marker, which loses the record that follows.
  void Outside(const std::string& line, int lineNumber) override {
    if (IsListKeyword(line)) {
      // The keywords of a record whose marker was mistyped are one fault.
      if (lostRecord_ && line == catalogue::texts::kEnd) lostRecord_ = false;
      else if (!lostRecord_) out_.problems.push_back(At(lineNumber) + "\"" + line + "\" outside a record");
      return;
    }
    NearMiss near = NearKeyword(line, false);
    if (IsRecordMarker(near.keyword)) {
      out_.problems.push_back(At(lineNumber) + Quoted(line) + " is not the record marker " + Quoted(near.keyword) +
                              " (" + near.cause + "): the record that follows is lost");
      lostRecord_ = true;
    }
  }

  std::string Who() const {
    return open_->names.empty() ? "a record without a name" : "the record of " + Quoted(open_->names[0]);
  }

  // The record, for a message at another line than its marker's.
  std::string WhoAt() const { return Who() + " (line " + std::to_string(open_->line) + ")"; }

  std::string Hint() const { return open_->nearKeyword.empty() ? "" : "; " + open_->nearKeyword; }

  std::vector<std::size_t> lengths_;
  catalogue::ListFileReader in_;
  MediaCatalogue out_;
  CatalogueRecord* open_ = nullptr;  // the record being read, until its "end"
  bool lostRecord_ = false;          // after a mistyped marker, until an "end"
};

}  // namespace

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '\t') {
      out += "<TAB>";
    } else if (c == '\r') {
      out += "<CR>";
    } else if (c < 0x20 || c == 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "<0x%02X>", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string EdgeBlanks(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsEdge(text[begin])) ++begin;
  while (end > begin && IsEdge(text[end - 1])) --end;
  std::string atEnd = end < text.size() ? RunOf(text.substr(end)) + " at its end" : "";
  std::string atStart = begin > 0 ? RunOf(text.substr(0, begin)) + " at its start" : "";
  if (begin == text.size() && !text.empty()) return RunOf(text) + " only";
  if (!atEnd.empty() && !atStart.empty()) return atEnd + " and " + atStart;
  return atEnd + atStart;
}

MediaCatalogue ParseCatalogue(const std::string& bytes) {
  if (bytes.compare(0, kByteOrderMark.size(), kByteOrderMark) != 0) return Parser(bytes).Run();
  // The installer reads the mark as part of the first line. The rest is read
  // without it, so that its own faults are reported as they are.
  const std::string text = bytes.substr(kByteOrderMark.size());
  MediaCatalogue catalogue = Parser(text).Run();
  std::string first = text.substr(0, text.find('\n'));
  if (!first.empty() && first.back() == '\r') first.pop_back();
  const std::string mark = "the file begins with a UTF-8 byte-order mark (bytes EF BB BF), which the installer reads "
                           "as part of line 1";
  if (IsListKeyword(first))
    catalogue.problems.insert(catalogue.problems.begin(),
                              At(1) + mark + ", so " + Quoted(first) + " there is not a keyword and its record is "
                                      "lost: save the file without the mark");
  else
    catalogue.warnings.insert(catalogue.warnings.begin(), Warning(1) + mark);
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
