#include "installer/transfer/gz_file_copier.h"

#include <chrono>

#include "installer/transfer/transfer_texts.h"
#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/hfile.h"

namespace xfer {

namespace {

std::atomic<std::uint64_t> g_decodeNanoseconds{0};
std::atomic<std::uint64_t> g_decodedBytes{0};

bool Exists(const std::string& path) {
  return platform::GetFileAttributesA(path.c_str()) != platform::INVALID_FILE_ATTRIBUTES;
}

// Creates a new file beside `target` under a name no entry holds, so that
// another installer writing the same target at once writes a file of its own.
platform::HFILE CreatePart(const std::string& target, std::string* part) {
  for (int n = 0; n < 1000; ++n) {
    *part = target + ".~ov" + std::to_string(n);
    platform::HFILE file = platform::CreateNewFile(part->c_str());
    if (file != platform::HFILE_ERROR || platform::GetLastError() != platform::ERROR_FILE_EXISTS) return file;
  }
  return platform::HFILE_ERROR;
}

// True when the existing `target` could be opened for writing now: it is no
// folder, not read-only and not held by another program.
bool TargetWritable(const std::string& target) {
  platform::OFSTRUCT of;
  platform::HFILE probe =
      platform::OpenFile(target.c_str(), &of, platform::OF_WRITE | platform::OF_SHARE_DENY_NONE);
  if (probe == platform::HFILE_ERROR) return false;
  platform::_lclose(probe);
  return true;
}

}  // namespace

int GzFileCopier::Copy(const std::string& source, const std::string& target) {
  if (source == target) {
    ShowNumbered(8586, source, target);
    return 0;
  }
  const std::string sourceHost = platform::HostPath(source);
  input_ = sourceHost.empty() ? nullptr : gzopen(sourceHost.c_str(), "rb");
  if (input_ == nullptr) {
    ShowNumbered(8587, source);
    return 0;
  }
  gzbuffer(input_, kInputBuffer);
  const bool replacing = Exists(target);
  std::string part;
  output_ = !replacing || TargetWritable(target) ? CreatePart(target, &part) : platform::HFILE_ERROR;
  if (output_ == platform::HFILE_ERROR) {
    ShowNumbered(8588, target);
    gzclose(input_);
    input_ = nullptr;
    return 0;
  }
  const int complete = CopyStream(input_, output_);
  input_ = nullptr;
  output_ = platform::HFILE_ERROR;
  if (complete)
    Commit(part, target);
  else
    platform::DeleteFileA(part.c_str());
  return 1;
}

int GzFileCopier::CopyStream(gzFile input, platform::HFILE output) {
  using Clock = std::chrono::steady_clock;
  bool ok = true;
  std::uint64_t decodeNanoseconds = 0;
  std::uint64_t decodedBytes = 0;
  for (;;) {
    const auto start = Clock::now();
    const int count = gzread(input, buffer_, kChunk);
    decodeNanoseconds += static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count());
    if (count < 0) {
      ShowNumbered(8582);
      ok = false;
      break;
    }
    if (count == 0) break;
    decodedBytes += static_cast<unsigned>(count);
    const platform::UINT written = platform::_lwrite(output, buffer_, static_cast<platform::UINT>(count));
    if (written != static_cast<platform::UINT>(count)) {
      ShowNumbered(8583);
      ok = false;
      break;
    }
  }
  g_decodeNanoseconds.fetch_add(decodeNanoseconds, std::memory_order_relaxed);
  g_decodedBytes.fetch_add(decodedBytes, std::memory_order_relaxed);
  if (platform::_lclose(output) != 0) {
    ShowNumbered(8585);
    ok = false;
  }
  // A stream cut short reads as its end and shows here (Z_BUF_ERROR).
  if (gzclose(input) != Z_OK) {
    ShowNumbered(8584);
    ok = false;
  }
  return ok ? 1 : 0;
}

bool GzFileCopier::Commit(const std::string& part, const std::string& target) {
  // One rename replaces the old target, so it is never missing.
  if (!platform::MoveFileExA(part.c_str(), target.c_str(), platform::MOVEFILE_REPLACE_EXISTING)) {
    // The finished file stays beside the target rather than being lost.
    ShowNumbered(8588, target);
    return false;
  }
  return true;
}

std::uint64_t GzFileCopier::DecodeNanoseconds() { return g_decodeNanoseconds.load(); }
std::uint64_t GzFileCopier::DecodedBytes() { return g_decodedBytes.load(); }

}  // namespace xfer
