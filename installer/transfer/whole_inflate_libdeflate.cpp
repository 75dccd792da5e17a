// WholeInflate with libdeflate: about twice zlib's rate on whole buffers.
#include <libdeflate.h>

#include <memory>

#include "installer/transfer/whole_inflate.h"

namespace transfer {

namespace {

struct DecompressorFree {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

}  // namespace

bool WholeInflate(const unsigned char* in, std::size_t inSize, char* out, std::size_t capacity,
                  std::size_t* outSize) {
  // One decompressor per thread, kept for the thread's life: it is large
  // and costs more to make than a small file takes to decode.
  thread_local std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor(
      libdeflate_alloc_decompressor());
  if (!decompressor || inSize < 2 || in[0] != 0x1f || in[1] != 0x8b) return false;
  std::size_t used = 0;
  std::size_t produced = 0;
  const libdeflate_result result =
      libdeflate_gzip_decompress_ex(decompressor.get(), in, inSize, out, capacity, &used, &produced);
  if (result != LIBDEFLATE_SUCCESS || used != inSize) return false;
  *outSize = produced;
  return true;
}

}  // namespace transfer
