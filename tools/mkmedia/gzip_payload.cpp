#include "tools/mkmedia/gzip_payload.h"

#include <zlib.h>

namespace mkmedia {

namespace {

constexpr int kGzipWindow = 15 + 16;  // deflate window with a gzip wrapper
constexpr std::size_t kChunk = 16384;

}  // namespace

std::string GzipBytes(const std::string& data) {
  z_stream s{};
  if (deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, kGzipWindow, 8, Z_DEFAULT_STRATEGY) != Z_OK) return "";
  // The same bytes whichever host makes the medium: zlib would name its own
  // system in the header; this one always names Unix (3), as on POSIX hosts.
  gz_header header{};
  header.os = 3;
  if (deflateSetHeader(&s, &header) != Z_OK) {
    deflateEnd(&s);
    return "";
  }
  std::string out;
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  s.avail_in = static_cast<uInt>(data.size());
  char buffer[kChunk];
  int rc;
  do {
    s.next_out = reinterpret_cast<Bytef*>(buffer);
    s.avail_out = sizeof buffer;
    rc = deflate(&s, Z_FINISH);
    if (rc == Z_STREAM_ERROR) break;
    out.append(buffer, sizeof buffer - s.avail_out);
  } while (rc != Z_STREAM_END);
  deflateEnd(&s);
  return rc == Z_STREAM_END ? out : "";
}

bool GunzipBytes(const std::string& gz, std::string* data) {
  z_stream s{};
  if (inflateInit2(&s, kGzipWindow) != Z_OK) return false;
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gz.data()));
  s.avail_in = static_cast<uInt>(gz.size());
  data->clear();
  char buffer[kChunk];
  int rc;
  do {
    s.next_out = reinterpret_cast<Bytef*>(buffer);
    s.avail_out = sizeof buffer;
    rc = inflate(&s, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END) break;
    data->append(buffer, sizeof buffer - s.avail_out);
  } while (rc != Z_STREAM_END);
  inflateEnd(&s);
  return rc == Z_STREAM_END && s.avail_in == 0;
}

}  // namespace mkmedia
