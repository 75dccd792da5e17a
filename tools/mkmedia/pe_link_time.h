// Windows programs and DLLs (PE files) carry the time they were linked in
// their header; binutils' objcopy writes the current time there instead, so
// the same program would strip to other bytes on every run.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace mkmedia {

// The little-endian 32-bit word at `at` of a PE file's bytes, read and written.
std::uint32_t Le32(const std::string& s, std::size_t at);
void PutLe32(std::string* s, std::size_t at, std::uint32_t v);

// Gives `stripped` the link time of `original` (both PE files) and, when it
// carries a header checksum, the checksum of its new bytes. Leaves it as it
// is when either is not a PE file.
void KeepLinkTime(const std::string& original, std::string* stripped);

}  // namespace mkmedia
