// The programs and libraries a medium carries, without the debug information
// the build leaves in them: the first disk of a set of floppies has room for
// them only that way.
#pragma once
#include <string>

namespace mkmedia {

// The bytes of the program or shared library at `path` without its debug
// information and the symbols that neither loading nor running it needs.
// On a POSIX host binutils' objcopy --strip-unneeded makes them (the dynamic
// symbols stay); on Windows the build has stripped its programs already and
// they are taken as they are. False, with the reason in `problem`, when they
// cannot be made.
bool StrippedProgram(const std::string& path, std::string* bytes, std::string* problem);

}  // namespace mkmedia
