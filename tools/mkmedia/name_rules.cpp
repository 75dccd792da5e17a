#include "tools/mkmedia/name_rules.h"

#include "installer/catalogue/plain_file_name.h"

namespace mkmedia {

bool IsListableName(const std::string& name) { return catalogue::IsListableFileName(name); }

}  // namespace mkmedia
