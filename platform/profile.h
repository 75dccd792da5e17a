// Initialisation-file reading with the host's semantics.
#pragma once
#include <memory>
#include <string>

#include "platform/types.h"

namespace platform {

// Reads key `key` of section `section` from the initialisation file `file`.
// Section and key names ignore ASCII case; sections of one name count as
// one and the first occurrence of the key wins; blanks and tabs around key
// and value are trimmed; a value in matching quotes loses them; a zero byte
// ends a value. Lines end in LF, CR LF or CR; a line without '=' is no key
// and one without its ']' no section header. A file with a UTF-8 mark, or
// in UTF-16 with its mark (either byte order), is read as UTF-8 text. A
// missing file, section or key gives `defaultValue`. The result is cut to
// size-1 characters and zero-terminated; returns the count stored. A bare file
// name is looked up in C:\windows\.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* file);

// The same look-up in the text of an initialisation file already read.
DWORD ProfileStringFromText(const std::string& contents, const char* section, const char* key,
                            const char* defaultValue, char* buffer, DWORD size);

// An initialisation file read once for many look-ups: GetString answers as
// GetPrivateProfileStringA would for the file as it was when read (a missing
// file gives every default).
class ProfileFile {
 public:
  explicit ProfileFile(const char* file);
  DWORD GetString(const char* section, const char* key, const char* defaultValue, char* buffer,
                  DWORD size) const;

 private:
  std::shared_ptr<const void> parsed_;
};

}  // namespace platform
