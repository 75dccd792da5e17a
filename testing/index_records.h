// proc.dir bytes for tests: 75-byte records (status, kind, F on the first and
// L on the last record of an entry, file name in 13 columns, name in 55,
// CR LF), whole entries and free records.
#pragma once
#include <string>
#include <vector>

namespace orvik_testing {

std::string Record(char status, char kind, bool first, bool last, const std::string& file,
                   const std::string& name);
std::string Entry(char kind, const std::string& file, const std::vector<std::string>& names, char status = ' ');
std::string FreeRecord();

}  // namespace orvik_testing
