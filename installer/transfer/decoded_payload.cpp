#include "installer/transfer/decoded_payload.h"

#include "installer/transfer/gz_file_copier.h"
#include "installer/transfer/part_file.h"
#include "installer/transfer/whole_inflate.h"
#include "platform/files.h"
#include "platform/hfile.h"

namespace transfer {

std::shared_ptr<DecodedPayload> DecodedPayload::Open(const std::string& source, std::int64_t declared,
                                                     std::uint64_t limit) {
  using namespace platform;
  std::shared_ptr<DecodedPayload> payload(new DecodedPayload);
  payload->limit_ = limit;
  // Opened here rather than by zlib, so that a pipe or a device in place of
  // the payload is refused without blocking.
  OFSTRUCT of;
  HFILE in = OpenFile(source.c_str(), &of, OF_READ | OF_SHARE_DENY_NONE);
  if (in == HFILE_ERROR) {
    payload->openFailure_ = of.nErrCode == ERROR_BAD_FILE_TYPE ? 8590 : 8587;
    return payload;
  }
  DWORD high = 0;
  const DWORD low = GetFileSize(in, &high);
  const std::uint64_t size = (std::uint64_t(high) << 32) | low;
  // A compressed file is at most a little larger than what it decodes to.
  if (declared >= 0 && std::uint64_t(declared) <= kWholeInflateLimit && size <= limit + 1024 &&
      payload->TryWhole(in, size)) {
    _lclose(in);
    return payload;
  }
  // Everything else goes through zlib's reader from the start.
  if (_llseek(in, 0, 0) != 0) {
    _lclose(in);
    payload->openFailure_ = 8587;
    return payload;
  }
  payload->input_ = gzdopen(CrtDescriptor(in), "rb");
  if (payload->input_ == nullptr) {
    _lclose(in);
    payload->openFailure_ = 8587;
    return payload;
  }
  ReleaseHandle(in);  // gzclose closes it
  // zlib allocates its buffers (three times this size) for every file: a
  // small file gets one no larger than itself.
  const unsigned buffer = size >= GzFileCopier::kInputBuffer ? GzFileCopier::kInputBuffer
                          : size < 8192                      ? 8192
                                                             : unsigned(size);
  gzbuffer(payload->input_, buffer);
  return payload;
}

DecodedPayload::~DecodedPayload() {
  if (input_ != nullptr) gzclose(input_);
  if (written_ != platform::HFILE_ERROR) platform::_lclose(written_);  // dropped unnamed
}

void DecodedPayload::WriteAhead(const std::string& target) {
  using namespace platform;
  if (!whole_ || written_ != HFILE_ERROR) return;
  PartFile part;
  if (!part.CreateUnnamed(target)) return;
  bool ok = true;
  for (std::size_t at = 0; ok && at < wholeSize_; at += kSlice) {
    const UINT count = UINT(wholeSize_ - at < kSlice ? wholeSize_ - at : kSlice);
    ok = _lwrite(part.Output(), whole_.get() + at, count) == count;
  }
  ok = _lclose(part.Output()) == 0 && ok;
  if (ok) written_ = part.TakeGuard();  // else the guard closes with `part`: the file goes
}

platform::HFILE DecodedPayload::TakeWritten() {
  const platform::HFILE written = written_;
  written_ = platform::HFILE_ERROR;
  return written;
}

bool DecodedPayload::TryWhole(platform::HFILE file, std::uint64_t size) {
  std::unique_ptr<unsigned char[]> packed(new unsigned char[size ? size : 1]);
  std::uint64_t got = 0;
  while (got < size) {
    const platform::UINT count = platform::_lread(file, packed.get() + got, platform::UINT(size - got));
    if (count == platform::UINT(platform::HFILE_ERROR) || count == 0) return false;
    got += count;
  }
  whole_.reset(new char[limit_ ? limit_ : 1]);
  if (WholeInflate(packed.get(), size, whole_.get(), limit_, &wholeSize_)) return true;
  whole_.reset();
  return false;
}

void DecodedPayload::Pump() {
  if (input_ == nullptr) return;
  PayloadStream::End end = PayloadStream::End::kComplete;
  std::uint64_t decoded = 0;
  std::vector<char> chunk(PayloadStream::kChunk);
  std::size_t fill = 0;
  bool abandoned = false;
  for (;;) {
    const int count = gzread(input_, chunk.data() + fill, GzFileCopier::kChunk);
    if (count < 0) {
      end = PayloadStream::End::kDamaged;
      break;
    }
    if (count == 0) break;
    // Nothing past the limit is handed on, as the copier does.
    decoded += unsigned(count);
    if (decoded > limit_) {
      end = PayloadStream::End::kOversize;
      break;
    }
    fill += unsigned(count);
    if (fill + GzFileCopier::kChunk > chunk.size()) {
      chunk.resize(fill);
      if (!stream_.Push(std::move(chunk))) {
        abandoned = true;
        break;
      }
      chunk.assign(PayloadStream::kChunk, 0);
      fill = 0;
    }
  }
  if (!abandoned && fill > 0) {
    chunk.resize(fill);
    stream_.Push(std::move(chunk));
  }
  // A stream cut short reads as its end and shows here (Z_BUF_ERROR).
  const bool closeFailed = gzclose(input_) != Z_OK;
  input_ = nullptr;
  stream_.Close(end, closeFailed);
}

bool DecodedPayload::Next(const char** data, std::size_t* size) {
  if (openFailure_ != 0) return false;
  if (whole_) {
    if (offset_ >= wholeSize_) return false;
    *data = whole_.get() + offset_;
    *size = wholeSize_ - offset_ < kSlice ? wholeSize_ - offset_ : kSlice;
    offset_ += *size;
    return true;
  }
  if (!stream_.Pop(&current_)) return false;
  *data = current_.data();
  *size = current_.size();
  return true;
}

PayloadStream::End DecodedPayload::Ended() const {
  return whole_ ? PayloadStream::End::kComplete : stream_.Ended();
}

bool DecodedPayload::CloseFailed() const { return !whole_ && stream_.CloseFailed(); }

void DecodedPayload::Abandon() {
  if (!whole_) stream_.Abandon();
}

}  // namespace transfer
