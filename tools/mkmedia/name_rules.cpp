#include "tools/mkmedia/name_rules.h"

#include "installer/catalogue/plain_file_name.h"

namespace mkmedia {

bool IsListableName(const std::string& name) { return catalogue::IsListableFileName(name); }

std::string FoldCase(const std::string& name) {
  std::string folded = name;
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

bool SameFileName(const std::string& a, const std::string& b) { return FoldCase(a) == FoldCase(b); }

}  // namespace mkmedia
