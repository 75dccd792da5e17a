#include "installer/catalogue/plain_file_name.h"

namespace catalogue {

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (c == '\\' || c == '/' || c == ':' || c == '\0') return false;
  }
  return true;
}

bool IsListableFileName(const std::string& name) {
  if (!IsPlainFileName(name) || name.size() > kListableNameMax) return false;
  if (name.find_first_of(",=") != std::string::npos) return false;
  if (name.front() == '[' || name.front() == ';') return false;
  if (name.front() == ' ' || name.front() == '\t' || name.back() == ' ' || name.back() == '\t') return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7f) return false;
  return true;
}

}  // namespace catalogue
