// Where the catalogue fuzz target gets its catalogue from: the bytes of a
// list file, loaded by the catalogue's own reader.
#pragma once
#include <cstddef>
#include <cstdint>

namespace catalogue {
class ProceduresList;
}  // namespace catalogue

namespace fuzz {

// Loads `procedures` (empty) from the list-file bytes; TextInput's result.
int LoadCatalogue(catalogue::ProceduresList& procedures, const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
