// kelmar.lst as a media builder needs it: every record with its names and
// the files it brings, read with the installer's own line rules, and the
// places where the file would not load the way its writer meant.
#pragma once
#include <string>
#include <vector>

namespace mkmedia {

struct CatalogueRecord {
  int line = 0;            // file line of the record marker
  bool isSubProc = false;  // opened by "instrumentSub======="
  std::vector<std::string> names;
  std::string procFile;
  std::vector<std::string> subProcs;
  std::vector<std::string> reqFiles;
  std::vector<std::string> dataFiles;
  std::string calibrator;
  std::vector<std::string> configLines;
  bool closed = false;  // reached its "end" line
  bool overran = false; // a list ran on into the next record's marker
};

struct MediaCatalogue {
  std::vector<CatalogueRecord> records;  // in file order, complete or not
  // Structural faults, each as "kelmar.lst:<line>: <text>".
  std::vector<std::string> problems;
};

// Reads the bytes of a list file. Records follow the installer's reader: the
// name lines up to "procfile", the file name, then any tail of the chain
// "sub", "files", "datafiles", "calibrator", an optional "configuration"
// text and "end". A record that does not reach its "end" (the file ends, or
// the next record begins), a list that runs on into the next record (its
// terminator missing) and a list keyword outside any record are reported.
MediaCatalogue ParseCatalogue(const std::string& bytes);

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
