// The catalogue is loaded from the bytes in memory, with no dump file and
// no trace: nothing of the file system is touched per input.
#include "fuzz/catalogue_source.h"

#include <string_view>

#include "fuzz/fuzz_host.h"
#include "installer/catalogue/procedures_list.h"

namespace fuzz {

int LoadCatalogue(catalogue::ProceduresList& procedures, const std::uint8_t* data, std::size_t size) {
  static const bool prepared = (PrepareHost(), true);
  (void)prepared;
  return procedures.TextInputFromMemory(std::string_view(reinterpret_cast<const char*>(data), size));
}

}  // namespace fuzz
