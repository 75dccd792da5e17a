#include "tools/mkmedia/media_catalogue.h"

#include <cstdio>
#include <set>

#include "installer/catalogue/list_file_reader.h"
#include "tools/mkmedia/calibrator_codes.h"

namespace mkmedia {

namespace {

const char* const kProcMarker = "instrument==========";
const char* const kSubMarker = "instrumentSub=======";
const char* const kKeywords[] = {kProcMarker, kSubMarker, "procfile",      "sub",
                                 "files",     "datafiles", "calibrator", "configuration", "end"};
const std::string kByteOrderMark = "\xEF\xBB\xBF";

std::string At(int line) { return "kelmar.lst:" + std::to_string(line) + ": "; }
std::string Warning(int line) { return At(line) + "warning: "; }

bool IsMarker(const std::string& line) { return line == kProcMarker || line == kSubMarker; }

bool IsKeyword(const std::string& line) {
  for (const char* k : kKeywords)
    if (line == k) return true;
  return false;
}

bool IsListKeyword(const std::string& line) { return IsKeyword(line) && !IsMarker(line); }

bool IsEdge(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

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
  if (IsKeyword(line)) return {};
  const std::string trimmed = Trimmed(line);
  for (const char* k : kKeywords) {
    if (trimmed == k) return {k, EdgeBlanks(line)};
    if (!inList && SameIgnoringCase(trimmed, k)) return {k, "letter case counts"};
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

class Parser {
 public:
  explicit Parser(const std::string& bytes) : lengths_(LineLengths(bytes)) { in_.Assign(bytes); }

  MediaCatalogue Run() {
    while (in_.More()) {
      int lineNumber = 0;
      std::string line;
      Next(line, &lineNumber, false);
      if (IsMarker(line)) {
        lostRecord_ = false;
        CloseOpenRecord();
        if (!ReadHead(line == kSubMarker, lineNumber, line)) break;
      } else if (open_ == nullptr && IsListKeyword(line)) {
        // The keywords of a record whose marker was mistyped are one fault.
        if (lostRecord_ && line == "end") lostRecord_ = false;
        else if (!lostRecord_) out_.problems.push_back(At(lineNumber) + "\"" + line + "\" outside a record");
        continue;
      } else if (open_ == nullptr) {
        NearMiss near = NearKeyword(line, false);
        if (IsMarker(near.keyword)) {
          out_.problems.push_back(At(lineNumber) + Quoted(line) + " is not the record marker " +
                                  Quoted(near.keyword) + " (" + near.cause + "): the record that follows is lost");
          lostRecord_ = true;
        }
      }
      if (open_ == nullptr) continue;
      // The chain: each part may follow the one before in the same pass.
      if (line == "sub" && !ReadList(open_->subProcs, "files", line)) break;
      if (line == "files" && !ReadList(open_->reqFiles, "datafiles", line)) break;
      if (line == "datafiles" && !ReadList(open_->dataFiles, "calibrator", line)) break;
      if (line == "calibrator" && !ReadCalibrator(line)) break;
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
  // The next line: the pieces the installer would read of a line of 79
  // characters or more are joined again, and such a line inside a record is
  // reported. Lines that are keywords but for blanks or case are warned
  // about. False at the end of the file.
  bool Next(std::string& line, int* lineNumber, bool inList) {
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
    // A mistyped marker between records is a fault, reported by the caller.
    if (!near.keyword.empty() && !(open_ == nullptr && IsMarker(near.keyword))) {
      const bool marker = IsMarker(near.keyword);
      out_.warnings.push_back(Warning(*lineNumber) + Quoted(line) + " is not the " +
                              (marker ? "record marker " : "keyword ") + Quoted(near.keyword) + ": " + near.cause);
      if (open_ != nullptr && open_->nearKeyword.empty())
        open_->nearKeyword = "line " + std::to_string(*lineNumber) + " reads " + Quoted(line) + " (" + near.cause +
                             "), not " + Quoted(near.keyword);
    }
    return true;
  }

  // The marker, the names and the file name; false at the end of the file.
  bool ReadHead(bool isSubProc, int lineNumber, std::string& line) {
    out_.records.emplace_back();
    open_ = &out_.records.back();
    open_->line = lineNumber;
    open_->isSubProc = isSubProc;
    for (;;) {
      int at = 0;
      if (!Next(line, &at, true)) return false;
      if (line == "procfile") break;
      if (IsKeyword(line) && !open_->overran) {
        open_->overran = true;
        out_.problems.push_back(At(at) + Quoted(line) + " among the names of " + WhoAt() + ": no \"procfile\" line "
                                "ends the names before it" + Hint());
      }
      if (!open_->overran && NearKeyword(line, true).keyword.empty()) {
        std::string edges = EdgeBlanks(line);
        if (!edges.empty())
          out_.warnings.push_back(Warning(at) + "the name " + Quoted(line) + " has " + edges +
                                  ", which the installer keeps as part of the name");
      }
      open_->names.push_back(line);
      open_->nameLines.push_back(at);
    }
    int at = 0;
    if (!Next(open_->procFile, &at, false)) return false;
    line = open_->procFile;
    return true;
  }

  // Entries up to `terminator`, which becomes the current line.
  bool ReadList(std::vector<std::string>& list, const char* terminator, std::string& line) {
    for (;;) {
      int at = 0;
      if (!Next(line, &at, true)) return false;
      if (line == terminator) return true;
      if (IsMarker(line) && !open_->overran) {
        open_->overran = true;
        out_.problems.push_back(At(at) + WhoAt() + " runs on into this record: no \"" + terminator +
                                "\" line before it" + Hint());
      }
      list.push_back(line);
    }
  }

  // The code line after "calibrator", which becomes the current line.
  bool ReadCalibrator(std::string& line) {
    int at = 0;
    if (!Next(open_->calibrator, &at, false)) return false;
    open_->calibratorLine = at;
    line = open_->calibrator;
    const std::string& code = open_->calibrator;
    if (IsKeyword(code)) {
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
    return true;
  }

  bool ReadConfiguration(std::string& line) {
    for (;;) {
      int at = 0;
      if (!Next(line, &at, true)) return false;
      if (line == "end") return true;
      bool seen = false;
      for (const std::string& l : open_->configLines) seen = seen || l == line;
      if (!seen) open_->configLines.push_back(line);
    }
  }

  std::string Who() const {
    return open_->names.empty() ? "a record without a name" : "the record of " + Quoted(open_->names[0]);
  }

  // The record, for a message at another line than its marker's.
  std::string WhoAt() const { return Who() + " (line " + std::to_string(open_->line) + ")"; }

  std::string Hint() const { return open_->nearKeyword.empty() ? "" : "; " + open_->nearKeyword; }

  void CloseOpenRecord() {
    if (open_ == nullptr) return;
    if (!open_->overran) out_.problems.push_back(At(open_->line) + Who() + " has no \"end\" line" + Hint());
    open_ = nullptr;
  }

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
  if (IsKeyword(first))
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
