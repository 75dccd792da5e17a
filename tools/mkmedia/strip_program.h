// The programs and libraries a medium carries, without the debug information
// the build leaves in them: the first disk of a set of floppies has room for
// them only that way.
#pragma once
#include <string>

namespace mkmedia {

// The bytes of the program or shared library at `path` without its debug
// information and the symbols that neither loading nor running it needs
// (binutils' objcopy --strip-unneeded; the dynamic symbols stay). False,
// with the reason in `problem`, when it cannot be made.
bool StrippedProgram(const std::string& path, std::string* bytes, std::string* problem);

}  // namespace mkmedia
