#include "testing/index_records.h"

namespace orvik_testing {

namespace {

std::string Pad(const std::string& text, std::size_t width) {
  std::string out = text.substr(0, width);
  out.resize(width, ' ');
  return out;
}

}  // namespace

std::string Record(char status, char kind, bool first, bool last, const std::string& file,
                   const std::string& name) {
  std::string r;
  r += status;
  r += kind;
  r += first ? 'F' : ' ';
  r += last ? 'L' : ' ';
  r += ' ';
  r += Pad(file, 13);
  r += Pad(name, 55);
  r += "\r\n";
  return r;
}

std::string Entry(char kind, const std::string& file, const std::vector<std::string>& names, char status) {
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) out += Record(status, kind, i == 0, i + 1 == names.size(), file, names[i]);
  return out;
}

std::string FreeRecord() { return "X" + std::string(72, ' ') + "\r\n"; }

}  // namespace orvik_testing
