// gzip compression of payload files, as the installer's reader expects them.
#pragma once
#include <string>

namespace mkmedia {

// The gzip form of `data` (best compression, no file name and a zero time
// in the header, so the same input always gives the same bytes). Empty when
// zlib fails.
std::string GzipBytes(const std::string& data);

// The data of a gzip stream, for checks; false when it is not one.
bool GunzipBytes(const std::string& gz, std::string* data);

}  // namespace mkmedia
