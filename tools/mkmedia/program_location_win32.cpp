// gzopen declared as imported from zlib.dll, so that its address is the
// function in the DLL, not the jump to it in this program.
#define ZLIB_DLL
#include <windows.h>
#include <zlib.h>

#include "tools/mkmedia/program_location.h"

namespace mkmedia {

namespace {

// The file of a loaded module; "" when it cannot be told.
std::string ModuleFile(HMODULE module) {
  char path[MAX_PATH];
  DWORD n = ::GetModuleFileNameA(module, path, sizeof path);
  return n > 0 && n < sizeof path ? std::string(path, n) : "";
}

}  // namespace

std::string OwnFolder() {
  std::string path = ModuleFile(nullptr);
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

std::string LoadedZlibFile() {
  // The module that holds gzopen: zlib.dll beside the programs.
  HMODULE module = nullptr;
  if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&gzopen), &module))
    return "";
  return ModuleFile(module);
}

}  // namespace mkmedia
