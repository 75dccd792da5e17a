// kelmar.lst as a media builder needs it: every record with its names and
// the files it brings, read with the installer's own line and record rules, and the
// places where the file would not load the way its writer meant.
#pragma once
#include <string>
#include <vector>

namespace mkmedia {

struct CatalogueRecord {
  int line = 0;            // file line of the record marker
  bool isSubProc = false;  // opened by "instrumentSub======="
  std::vector<std::string> names;
  std::vector<int> nameLines;  // file line of each name
  std::string procFile;
  std::vector<std::string> subProcs;
  std::vector<std::string> reqFiles;
  std::vector<std::string> dataFiles;
  std::string calibrator;
  int calibratorLine = 0;  // file line of the code, 0 without a "calibrator" line
  std::vector<std::string> configLines;
  bool closed = false;  // reached its "end" line
  bool overran = false; // its names or a list ran on into other lines
  // The first line that is a keyword but for blanks, tabs or case, as
  // "line <n> reads ...": the likely cause of a record that reads wrongly.
  std::string nearKeyword;
};

struct MediaCatalogue {
  std::vector<CatalogueRecord> records;  // in file order, complete or not
  // Structural faults, each as "kelmar.lst:<line>: <text>".
  std::vector<std::string> problems;
  // Lines that load, but likely not as meant, as "kelmar.lst:<line>: warning: <text>".
  std::vector<std::string> warnings;
};

// Reads the bytes of a list file. Records follow the installer's reader: the
// name lines up to "procfile", the file name, then any tail of the chain
// "sub", "files", "datafiles", "calibrator", an optional "configuration"
// text and "end". Reported as faults: a record that does not reach its "end"
// (the file ends, or the next record begins), names or a list running on
// into other keywords or records, a list keyword outside any record, a line
// inside a record that the installer cuts into pieces (79 characters or
// more; such a line is kept whole here), and a byte-order mark that hides
// the first line's keyword (it is otherwise skipped here, so the rest of the
// file is checked as meant). Warned about: keywords and names with blanks or
// tabs at either end, a "calibrator" line directly followed by a keyword, and
// calibrator codes the installer does not know.
MediaCatalogue ParseCatalogue(const std::string& bytes);

// `text` in double quotes, with tabs shown as <TAB>, carriage returns as <CR>
// and other control bytes as <0xNN>, so a message shows what the line holds.
std::string Quoted(const std::string& text);

// What lies at the ends of `text` that a reader would not see ("a tab at its
// end", "a blank at its start"), or "" when both ends are plain.
std::string EdgeBlanks(const std::string& text);

// One payload file with the first record that names it.
struct PayloadFile {
  std::string name;
  int line = 0;
};

// Every file the records name (procedure file, required files, data files,
// record by record), each exact name once, in that order. The lists of a
// record that ran on into the next one are left out.
std::vector<PayloadFile> PayloadFiles(const MediaCatalogue& catalogue);

}  // namespace mkmedia
