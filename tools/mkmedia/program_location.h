// Where the running mkmedia and the zlib library it uses are on the host.
// One implementation per host (program_location_posix.cpp,
// program_location_win32.cpp), chosen by the build.
#pragma once
#include <string>

namespace mkmedia {

// The folder of the running program (where the build puts every program).
std::string OwnFolder();

// The host file of the zlib library this program has loaded (the same one
// the installer loads), or "" when it cannot be told.
std::string LoadedZlibFile();

}  // namespace mkmedia
