// Initialisation-file reading with the host's semantics.
#pragma once
#include <string>

#include "platform/types.h"

namespace platform {

// Reads key `key` of section `section` from the initialisation file `file`.
// Section and key names ignore ASCII case; the first occurrence wins; blanks
// around key and value are trimmed; a value in matching quotes loses them. A
// missing file, section or key gives `defaultValue`. The result is cut to
// size-1 characters and zero-terminated; returns the count stored. A bare file
// name is looked up in C:\windows\.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* file);

// The same look-up in the text of an initialisation file already read.
DWORD ProfileStringFromText(const std::string& contents, const char* section, const char* key,
                            const char* defaultValue, char* buffer, DWORD size);

}  // namespace platform
