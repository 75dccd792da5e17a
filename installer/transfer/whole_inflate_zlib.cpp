// WholeInflate with zlib, where the build has no libdeflate.
#include <zlib.h>

#include <climits>

#include "installer/transfer/whole_inflate.h"

namespace transfer {

bool WholeInflate(const unsigned char* in, std::size_t inSize, char* out, std::size_t capacity,
                  std::size_t* outSize) {
  if (inSize < 2 || in[0] != 0x1f || in[1] != 0x8b || inSize > UINT_MAX || capacity > UINT_MAX) return false;
  z_stream stream{};
  // 16 + the largest window: a gzip member only, header and trailer checked.
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return false;
  stream.next_in = const_cast<unsigned char*>(in);
  stream.avail_in = static_cast<uInt>(inSize);
  stream.next_out = reinterpret_cast<unsigned char*>(out);
  stream.avail_out = static_cast<uInt>(capacity);
  const int result = inflate(&stream, Z_FINISH);
  const bool whole = result == Z_STREAM_END && stream.avail_in == 0;
  *outSize = whole ? stream.total_out : 0;
  inflateEnd(&stream);
  return whole;
}

}  // namespace transfer
