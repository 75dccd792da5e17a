// Decoding a small gzip file held whole in memory in one call, with the
// fastest inflate the build has. Anything the call cannot settle alone (no
// gzip header, several members, trailing bytes, damage, more output than
// room) is left to the streaming reader, which handles and reports every
// such case.
#pragma once
#include <cstddef>

namespace transfer {

// Files declared up to this size are decoded whole; larger ones stream.
inline constexpr std::size_t kWholeInflateLimit = 4u << 20;

// Decodes `in` (`inSize` bytes), a single gzip member, into `out` (room for
// `capacity` bytes). True, with the decoded size in *outSize, only when the
// member decoded whole, its check values matched and it used every input
// byte; false otherwise (nothing of `out` is then meaningful).
bool WholeInflate(const unsigned char* in, std::size_t inSize, char* out, std::size_t capacity,
                  std::size_t* outSize);

}  // namespace transfer
