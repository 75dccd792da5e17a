// Buffered sequential record reading.
#include "installer/procdir/procdir_scan.h"

#include <cstring>

#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_image.h"
#include "platform/hfile.h"

namespace procdir {

namespace {
constexpr std::size_t kBufferRecords = 1024;
}

RecordScanner::RecordScanner(platform::HFILE file) : file_(file) {
  if (const IndexImage* image = ImageOf(file)) {
    image_ = image->Bytes().data();
    imageSize_ = image->Bytes().size();
  } else {
    buffer_.resize(kBufferRecords * PROCDIR_RECORD_SIZE);
  }
}

bool RecordScanner::Rewind() {
  have_ = pos_ = 0;
  atEnd_ = failed_ = false;
  index_ = next_ = 0;
  if (image_ != nullptr) {
    have_ = imageSize_;
    atEnd_ = true;
    return true;
  }
  return platform::_llseek(file_, 0, 0) != platform::HFILE_ERROR;
}

bool RecordScanner::Fill() {
  if (image_ != nullptr) return have_ > pos_;
  // Keep an unfinished record's bytes at the front.
  std::size_t left = have_ - pos_;
  if (left > 0) std::memmove(buffer_.data(), buffer_.data() + pos_, left);
  have_ = left;
  pos_ = 0;
  while (!atEnd_ && !failed_ && have_ < buffer_.size()) {
    platform::UINT want = platform::UINT(buffer_.size() - have_);
    platform::UINT got = platform::_lread(file_, buffer_.data() + have_, want);
    if (got == platform::UINT(platform::HFILE_ERROR)) {
      failed_ = true;
    } else {
      have_ += got;
      if (got < want) atEnd_ = true;
    }
  }
  return have_ > 0;
}

RecordScanner::Result RecordScanner::Next(const char** record) {
  std::uint32_t count = 0;
  return Take(record, &count, 1);
}

RecordScanner::Result RecordScanner::NextBlock(const char** records, std::uint32_t* count) {
  return Take(records, count, UINT32_MAX);
}

RecordScanner::Result RecordScanner::Take(const char** records, std::uint32_t* count, std::uint32_t most) {
  constexpr std::size_t kSize = PROCDIR_RECORD_SIZE;
  if (have_ - pos_ < kSize) {
    Fill();
    if (have_ - pos_ < kSize) {
      index_ = next_;
      // Nothing left and nothing failed: the clean end of the file.
      if (have_ == pos_ && !failed_) return kEnd;
      return kShort;
    }
  }
  std::size_t whole = (have_ - pos_) / kSize;
  *count = whole < most ? std::uint32_t(whole) : most;
  *records = (image_ != nullptr ? image_ : buffer_.data()) + pos_;
  pos_ += std::size_t(*count) * kSize;
  index_ = next_;
  next_ += *count;
  return kRecord;
}

}  // namespace procdir
