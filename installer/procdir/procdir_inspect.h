// Inspection of a whole proc.dir image: its entries as far as they can be
// read, and every problem found, for the people who look after procedure
// folders. Reads nothing and shows nothing itself.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace procdir {

struct InspectedEntry {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  char status = ' ';  // 'D', 'P' or blank
  char kind = ' ';    // 'E', 'H' or blank
  std::string fileName;
  bool fileNameValid = false;  // 1 to 12 characters, ending before column 17
  std::vector<std::string> names;
};

struct IndexReport {
  std::uint64_t size = 0;
  std::uint32_t records = 0;  // whole records
  std::uint32_t freeRecords = 0;
  std::vector<InspectedEntry> entries;
  std::vector<std::string> problems;  // one line each, without a line feed
};

IndexReport InspectIndex(const std::string& bytes);

}  // namespace procdir
