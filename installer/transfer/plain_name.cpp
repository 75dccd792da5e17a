#include "installer/transfer/plain_name.h"

#include "installer/catalogue/plain_file_name.h"

namespace xfer {

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

}  // namespace xfer
