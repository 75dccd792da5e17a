#include "installer/catalogue/plain_file_name.h"

namespace catalogue {

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (c == '\\' || c == '/' || c == ':' || c == '\0') return false;
  }
  return true;
}

}  // namespace catalogue
