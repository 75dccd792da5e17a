#include "tools/mkmedia/host_files.h"
#include "tools/mkmedia/strip_program.h"

namespace mkmedia {

// A Windows workstation has no objcopy; the Windows build ships its programs
// and DLLs in bin/ stripped already (their debug information is kept in the
// build's debug/ folder), and zlib.dll comes stripped. So the file is taken
// as it is.
bool StrippedProgram(const std::string& path, std::string* bytes, std::string* problem) {
  if (ReadHostFile(path, bytes)) return true;
  *problem = path + " cannot be read";
  return false;
}

}  // namespace mkmedia
