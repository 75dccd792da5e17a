#include "installer/transfer/plain_name.h"

#include "installer/catalogue/plain_file_name.h"

namespace xfer {

bool IsListableName(const std::string& name) { return catalogue::IsListableFileName(name); }

}  // namespace xfer
