#include "tools/mkmedia/catalogue_check.h"

#include <cstdint>
#include <filesystem>
#include <map>

#include "platform/ascii_case.h"
#include "tools/mkmedia/name_rules.h"

namespace mkmedia {

namespace {

std::string At(int line) { return "kelmar.lst:" + std::to_string(line) + ": "; }
std::string Quote(const std::string& text) { return Quoted(text); }
std::string Who(const CatalogueRecord& r) { return r.names.empty() ? "a record without a name" : Quote(r.names[0]); }

}  // namespace

std::vector<std::string> CheckRecords(const MediaCatalogue& catalogue) {
  std::vector<std::string> problems;
  std::map<std::string, int> nameLine;  // folded name -> line of its first record
  std::map<std::string, int> procLine;  // folded procedure file -> line
  for (const CatalogueRecord& r : catalogue.records) {
    for (const std::string& name : r.names) nameLine.emplace(platform::AsciiLower(name), r.line);
  }
  std::map<std::string, int> seenNames;  // folded name -> line where it is given
  for (const CatalogueRecord& r : catalogue.records) {
    const std::string at = At(r.line);
    // Names or lists that ran on hold other lines; the overrun itself is
    // reported, and what it swallowed would only add false faults.
    if (r.overran) continue;
    if (r.names.empty() && r.closed) problems.push_back(at + "a record without a name");
    if (r.names.size() > kMostNames)
      problems.push_back(at + Quote(r.names[0]) + " has " + std::to_string(r.names.size()) +
                         " names; an installed procedure carries at most 6");
    for (std::size_t i = 0; i < r.names.size(); ++i) {
      const std::string& name = r.names[i];
      const std::string nameAt = At(r.nameLines[i]);
      if (name.empty()) {
        problems.push_back(nameAt + "an empty procedure name (a blank line among the names of the record of line " +
                           std::to_string(r.line) + ")");
        continue;
      }
      // A line the installer cuts into pieces is reported where it is read.
      if (name.size() > kLongestName && name.size() < kLongestLine)
        problems.push_back(nameAt + "the name " + Quote(name) + " is " + std::to_string(name.size()) +
                           " characters long; the procedure index keeps at most 55");
      auto [it, fresh] = seenNames.emplace(platform::AsciiLower(name), r.nameLines[i]);
      if (!fresh)
        problems.push_back(nameAt + "the name " + Quote(name) + " is also given on line " + std::to_string(it->second));
    }
    for (const std::string& sub : r.subProcs) {
      if (nameLine.count(platform::AsciiLower(sub)) == 0)
        problems.push_back(at + "the sub-procedure " + Quote(sub) + " of " + Who(r) + " has no record");
    }
    if (!r.procFile.empty()) {
      char last = r.procFile.back();
      if (last != 'o' && last != 'O')
        problems.push_back(at + "the procedure file " + Quote(r.procFile) + " of " + Who(r) +
                           " does not end in \"o\" or \"O\" (as .pro does)");
      auto [it, fresh] = procLine.emplace(platform::AsciiLower(r.procFile), r.line);
      if (!fresh)
        problems.push_back(at + "the procedure file " + Quote(r.procFile) + " is also the procedure file of line " +
                           std::to_string(it->second));
    }
  }
  return problems;
}

FoundFile FindInFolder(const std::string& folder, const std::string& name) {
  namespace fs = std::filesystem;
  FoundFile found;
  // The folder's own spelling of the name, on hosts whose names ignore
  // letter case as on those that keep it.
  std::string exact, folded;
  int foldedMatches = 0;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    std::string entryName = entry.path().filename().string();
    if (entryName == name) {
      exact = folder + "/" + entryName;
    } else if (platform::EqualNoCase(entryName, name)) {
      folded = folder + "/" + entryName;
      ++foldedMatches;
    }
  }
  if (exact.empty() && foldedMatches != 1) return found;
  found.hostPath = exact.empty() ? folded : exact;
  fs::file_status status = fs::status(found.hostPath, ec);
  if (!ec && fs::is_regular_file(status)) {
    std::uintmax_t size = fs::file_size(found.hostPath, ec);
    found.regular = !ec;
    if (!ec) found.size = static_cast<unsigned long long>(size);
  }
  return found;
}

std::vector<std::string> CheckPayloadFiles(const MediaCatalogue& catalogue, const std::string& folder,
                                           std::vector<FoundFile>* found) {
  std::vector<std::string> problems;
  std::map<std::string, PayloadFile> byFold;
  found->clear();
  for (const PayloadFile& file : PayloadFiles(catalogue)) {
    const std::string at = At(file.line);
    FoundFile result;
    if (!IsListableName(file.name)) {
      problems.push_back(at + Quote(file.name) + " is not a plain file name that the media lists can carry");
      found->push_back(result);
      continue;
    }
    auto [it, fresh] = byFold.emplace(platform::AsciiLower(file.name), file);
    if (!fresh) {
      problems.push_back(at + "the file names " + Quote(file.name) + " and " + Quote(it->second.name) + " (line " +
                         std::to_string(it->second.line) + ") differ only in letter case: one file on the target");
      found->push_back(result);
      continue;
    }
    result = FindInFolder(folder, file.name);
    if (result.hostPath.empty()) {
      problems.push_back(at + "the file " + Quote(file.name) + " is not in " + folder);
    } else if (!result.regular) {
      problems.push_back(at + "the file " + Quote(file.name) + " in " + folder + " is not a regular file");
    } else if (result.size == 0) {
      problems.push_back(at + "the file " + Quote(file.name) + " is empty: the disk map cannot list a file of 0 bytes");
    } else if (result.size > static_cast<unsigned long long>(INT32_MAX)) {
      problems.push_back(at + "the file " + Quote(file.name) + " is larger than the disk map can list (" +
                         std::to_string(INT32_MAX) + " bytes)");
    }
    found->push_back(result);
  }
  return problems;
}

}  // namespace mkmedia
