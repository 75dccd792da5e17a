// The reader takes a path: the bytes go to one scratch file of this process
// on the memory file system, rewritten for each input. The dump file that
// TextInput appends to is a folder here, so the dump is dropped instead of
// growing with every input.
#include "fuzz/catalogue_source.h"

#include <filesystem>
#include <string>

#include "fuzz/fuzz_host.h"
#include "installer/catalogue/procedures_list.h"
#include "platform/dos_path.h"

namespace fuzz {

int LoadCatalogue(ProceduresList& procedures, const std::uint8_t* data, std::size_t size) {
  static const std::string listHost = [] {
    PrepareHost();
    const std::string driveC = platform::PrefixDir() + "/drive_c";
    std::filesystem::create_directories(driveC + "/listread.txt");
    return driveC + "/kelmar.lst";
  }();
  WriteScratch(listHost, data, size);
  return procedures.TextInput("C:\\kelmar.lst");
}

}  // namespace fuzz
