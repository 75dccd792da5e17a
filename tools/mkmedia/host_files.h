// Whole-file reading and writing on host paths.
#pragma once
#include <string>

namespace mkmedia {

bool ReadHostFile(const std::string& path, std::string* contents);
// Creates or replaces `path` with `contents` and the given permission bits.
bool WriteHostFile(const std::string& path, const std::string& contents, unsigned mode);
bool MakeHostDirs(const std::string& path);
bool IsEmptyFolder(const std::string& path);

}  // namespace mkmedia
