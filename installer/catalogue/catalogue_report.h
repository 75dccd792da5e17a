// The catalogue's own reports to the operator.
#pragma once
#include <string>

namespace catalogue {

// Warning box with OK, captioned "ORVIK - Procedure Installation".
void Warn(const std::string& text);

// Text of the box for a file name that is not a plain file name.
std::string UnsafeFileNameText(const std::string& procedure, const std::string& file);

// Text of the box for records of the list file that could not be read whole.
std::string DroppedRecordsText(const std::string& path, int count, int firstLine);

}  // namespace catalogue
