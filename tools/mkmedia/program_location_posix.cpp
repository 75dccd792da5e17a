#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>

#include "tools/mkmedia/program_location.h"

namespace mkmedia {

std::string OwnFolder() {
  char exe[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return "";
  std::string path(exe, static_cast<std::size_t>(n));
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string LoadedZlibFile() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&gzopen), &info) == 0 || info.dli_fname == nullptr) return "";
  // dli_fname is the name the loader used; resolve it to the file itself.
  char* real = ::realpath(info.dli_fname, nullptr);
  if (real == nullptr) return "";
  std::string path = real;
  std::free(real);
  return path;
}

}  // namespace mkmedia
