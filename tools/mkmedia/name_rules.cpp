#include "tools/mkmedia/name_rules.h"

#include "installer/catalogue/plain_file_name.h"

namespace mkmedia {

bool IsListableName(const std::string& name) {
  if (!catalogue::IsPlainFileName(name)) return false;
  if (name.find_first_of(",=") != std::string::npos) return false;
  if (name.front() == '[' || name.front() == ';') return false;
  if (name.front() == ' ' || name.front() == '\t' || name.back() == ' ' || name.back() == '\t')
    return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7f) return false;
  return true;
}

std::string FoldCase(const std::string& name) {
  std::string folded = name;
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

bool SameFileName(const std::string& a, const std::string& b) { return FoldCase(a) == FoldCase(b); }

}  // namespace mkmedia
