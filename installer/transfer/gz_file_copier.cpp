#include "installer/transfer/gz_file_copier.h"

#include "installer/transfer/background_put.h"
#include "installer/transfer/decoded_payload.h"
#include "installer/transfer/part_file.h"
#include "installer/transfer/transfer_texts.h"
#include "platform/files.h"
#include "platform/hfile.h"

namespace transfer {

std::uint64_t GzFileCopier::SizeLimit(std::int64_t declared) {
  const std::uint64_t size = declared > 0 ? std::uint64_t(declared) : 0;
  const std::uint64_t margin = size / 16 > kMarginFloor ? size / 16 : kMarginFloor;
  return size + margin;
}

int GzFileCopier::Copy(const std::string& source, const std::string& target, std::int64_t declared) {
  using namespace platform;
  if (source == target) {
    BeforeMessage();
    ShowNumbered(8586, source, target);
    return 0;
  }
  // Opened here rather than by zlib, so that a pipe or a device in place of
  // the payload is refused without blocking.
  OFSTRUCT of;
  HFILE in = OpenFile(source.c_str(), &of, OF_READ | OF_SHARE_DENY_NONE);
  input_ = in == HFILE_ERROR ? nullptr : gzdopen(CrtDescriptor(in), "rb");
  if (input_ == nullptr) {
    if (in != HFILE_ERROR) _lclose(in);
    BeforeMessage();
    ShowNumbered(in == HFILE_ERROR && of.nErrCode == ERROR_BAD_FILE_TYPE ? 8590 : 8587, source);
    return 0;
  }
  // zlib allocates its buffers (three times this size) for every file: a
  // small file gets one no larger than itself, so that 20,000 small files do
  // not each map and release most of a megabyte.
  DWORD high = 0;
  const DWORD low = GetFileSize(in, &high);
  const unsigned bufferSize = high != 0 || low >= kInputBuffer ? kInputBuffer : low < 8192 ? 8192 : low;
  ReleaseHandle(in);  // gzclose closes it
  gzbuffer(input_, bufferSize);
  if (!StartPart(target)) {
    gzclose(input_);
    input_ = nullptr;
    return 0;
  }
  limit_ = declared == kUndeclared ? UINT64_MAX : SizeLimit(declared);
  oversize_ = false;
  const int complete = CopyStream(input_, part_.Output());
  input_ = nullptr;
  if (complete)
    Commit(part_.Path(), target, part_.TakeGuard());
  else if (!part_.Path().empty())
    DeleteFileA(part_.Path().c_str());
  part_.Release();
  limit_ = UINT64_MAX;
  if (oversize_) {
    BeforeMessage();
    ShowNumbered(8589, source, std::to_string(declared > 0 ? declared : 0));
  }
  return 1;
}

bool GzFileCopier::StartPart(const std::string& target) {
  platform::DWORD error = 0;
  if (part_.Create(target, &error)) return true;
  BeforeMessage();
  ShowNumbered(error == platform::ERROR_BAD_FILE_TYPE ? 8590 : 8588, target);
  return false;
}

int GzFileCopier::CopyDecoded(const std::string& source, const std::string& target, std::int64_t declared,
                              DecodedPayload& payload) {
  using namespace platform;
  if (source == target) {
    payload.Abandon();
    BeforeMessage();
    ShowNumbered(8586, source, target);
    return 0;
  }
  if (payload.OpenFailure() != 0) {
    BeforeMessage();
    ShowNumbered(payload.OpenFailure(), source);
    return 0;
  }
  // Written whole ahead by a decoding thread: it only needs its name.
  const platform::HFILE written = payload.TakeWritten();
  if (written != HFILE_ERROR) {
    if (interrupted_ && interrupted_())
      _lclose(written);  // a file with no name goes with its handle
    else
      Commit("", target, written);
    return 1;
  }
  if (!StartPart(target)) {
    payload.Abandon();
    return 0;
  }
  limit_ = declared == kUndeclared ? UINT64_MAX : SizeLimit(declared);
  oversize_ = false;
  const int complete = WritePayload(payload, part_.Output());
  if (complete)
    Commit(part_.Path(), target, part_.TakeGuard());
  else if (!part_.Path().empty())
    DeleteFileA(part_.Path().c_str());
  part_.Release();
  limit_ = UINT64_MAX;
  if (oversize_) {
    BeforeMessage();
    ShowNumbered(8589, source, std::to_string(declared > 0 ? declared : 0));
  }
  return 1;
}

int GzFileCopier::WritePayload(DecodedPayload& payload, platform::HFILE output) {
  bool ok = true;
  bool ended = false;
  std::uint64_t written = 0;
  for (;;) {
    if (interrupted_ && interrupted_()) {
      ok = false;
      break;
    }
    const char* data = nullptr;
    std::size_t count = 0;
    if (!payload.Next(&data, &count)) {
      ended = true;
      if (payload.Ended() == PayloadStream::End::kDamaged) {
        BeforeMessage();
        ShowNumbered(8582);
        ok = false;
      } else if (payload.Ended() == PayloadStream::End::kOversize) {
        oversize_ = true;
        ok = false;
      }
      break;
    }
    if (!WriteChunk(output, data, count, &written)) {
      ok = false;
      break;
    }
  }
  // The decoding stops when the rest is not wanted.
  payload.Abandon();
  if (platform::_lclose(output) != 0) {
    BeforeMessage();
    ShowNumbered(8585);
    ok = false;
  }
  // A stream cut short shows when its input is closed, once read to its end.
  if (ended && payload.CloseFailed()) {
    BeforeMessage();
    ShowNumbered(8584);
    ok = false;
  }
  return ok ? 1 : 0;
}

// Nothing past the limit is written: a stream that decodes to more than its
// declared size is refused.
bool GzFileCopier::WriteChunk(platform::HFILE output, const char* data, std::size_t count, std::uint64_t* written) {
  *written += count;
  if (*written > limit_) {
    oversize_ = true;
    return false;
  }
  if (platform::_lwrite(output, data, static_cast<platform::UINT>(count)) != static_cast<platform::UINT>(count)) {
    BeforeMessage();
    ShowNumbered(8583);
    return false;
  }
  return true;
}

int GzFileCopier::CopyStream(gzFile input, platform::HFILE output) {
  bool ok = true;
  std::uint64_t written = 0;
  for (;;) {
    if (interrupted_ && interrupted_()) {
      ok = false;
      break;
    }
    const int count = gzread(input, buffer_, kChunk);
    if (count < 0) {
      BeforeMessage();
      ShowNumbered(8582);
      ok = false;
      break;
    }
    if (count == 0) break;
    if (!WriteChunk(output, buffer_, static_cast<std::size_t>(count), &written)) {
      ok = false;
      break;
    }
  }
  if (platform::_lclose(output) != 0) {
    BeforeMessage();
    ShowNumbered(8585);
    ok = false;
  }
  // A stream cut short reads as its end and shows here (Z_BUF_ERROR).
  if (gzclose(input) != Z_OK) {
    BeforeMessage();
    ShowNumbered(8584);
    ok = false;
  }
  return ok ? 1 : 0;
}

bool GzFileCopier::Commit(const std::string& part, const std::string& target, platform::HFILE guard) {
  // A part with no name ("") is named `target` when put in place.
  auto add = [&](platform::ReplaceBatch& batch) {
    if (part.empty())
      batch.AddUnnamed(target, guard);
    else
      batch.Add(part, target, guard);
  };
  if (batch_ != nullptr) {
    // The file waits locked, so that no other installer on a shared folder
    // removes it as a leftover; a full batch goes in place now, which keeps
    // the number of open handles bounded.
    add(*batch_);
    if (batch_->Size() < kBatchLimit) return true;
    if (put_ != nullptr) {
      put_->Hand(*batch_);
      return true;
    }
    return Report(batch_->PutInPlace());
  }
  // One rename replaces the old target, so it is never missing.
  platform::ReplaceBatch one;
  add(one);
  return Report(one.PutInPlace());
}

bool GzFileCopier::Report(const std::vector<platform::ReplaceBatch::Failure>& failures) {
  if (failures.empty()) return true;
  BeforeMessage();
  ReportUnplaced(failures);
  return false;
}

int GzFileCopier::ReportUnplaced(const std::vector<platform::ReplaceBatch::Failure>& failures) {
  for (const platform::ReplaceBatch::Failure& f : failures) {
    // A finished file that could not be renamed stays beside the target
    // rather than being lost.
    if (f.flushed)
      ShowNumbered(8588, f.target);
    else
      ShowNumbered(8583);
  }
  return static_cast<int>(failures.size());
}

}  // namespace transfer
