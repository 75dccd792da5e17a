// The procedure index from any bytes: its inspection, and the record
// operations the installer runs on it (find, then replace or add), with the
// operator's answers to every message taken from the input. What an
// operation wrote reads back as the entry it was given, through the index's
// own reader and through the inspection; the records it did not own are
// unchanged, and an index of whole records stays one.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_host.h"
#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_inspect.h"
#include "installer/procdir/procdir_open.h"
#include "platform/dos_path.h"

namespace {

constexpr const char* kIndex = "C:\\proc\\proc.dir";
constexpr size_t kRecord = procdir::PROCDIR_RECORD_SIZE;

std::string TrimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// A descriptor name as a record holds it.
std::string Held(const char* slot) { return TrimRight(std::string(slot, strnlen(slot, procdir::PROCDIR_NAME_LENGTH))); }

void CheckInspection(const std::string& bytes) {
  procdir::IndexReport report = procdir::InspectIndex(bytes);
  fuzz::Check(report.size == bytes.size() && report.records == bytes.size() / kRecord, "wrong size or count");
  fuzz::Check(report.freeRecords <= report.records, "more free records than records");
  for (const procdir::InspectedEntry& e : report.entries) {
    fuzz::Check(e.first <= e.last && e.last < report.records, "an entry outside the index");
    fuzz::Check(!e.fileNameValid || (!e.fileName.empty() && e.fileName.size() <= 12), "a valid file name too long");
  }
}

// The entry that an operation wrote, as the index reads it now.
void CheckWritten(const procdir::ProcDirEntry& wrote, const std::string& after) {
  fuzz::Check(wrote.first <= wrote.last && size_t(wrote.last) < after.size() / kRecord, "the entry lies outside the file");
  fuzz::Check(wrote.last - wrote.first + 1 == wrote.nameCount, "the entry's span is not one record per name");
  for (unsigned i = wrote.first; i <= wrote.last; ++i) {
    const char* record = after.data() + size_t(i) * kRecord;
    fuzz::Check(record[73] == '\r' && record[74] == '\n', "a written record does not end in CR LF");
    fuzz::Check((record[2] == 'F') == (i == wrote.first) && (record[3] == 'L') == (i == wrote.last),
                "a written record has the wrong first or last mark");
  }
  procdir::ProcDirEntry back;
  std::memset(&back, 0, sizeof back);
  platform::HFILE file = procdir::ProcDirOpen(kIndex, "r");
  fuzz::Check(file != platform::HFILE_ERROR, "the written index cannot be opened");
  int read = procdir::ProcDirReadEntry(file, wrote.first, back);
  procdir::ProcDirClose(file);
  fuzz::Check(read == 1, "the written entry cannot be read");
  fuzz::Check(back.first == wrote.first && back.last == wrote.last && back.nameCount == wrote.nameCount &&
                  std::strcmp(back.fileName, wrote.fileName) == 0,
              "the written entry reads back with another span or file name");
  bool inspected = false;
  for (const procdir::InspectedEntry& e : procdir::InspectIndex(after).entries) {
    if (e.first != wrote.first) continue;
    inspected = e.last == wrote.last && e.fileName == wrote.fileName && e.names.size() == wrote.nameCount;
    for (size_t i = 0; inspected && i < e.names.size(); ++i) inspected = e.names[i] == Held(wrote.names[i]);
  }
  fuzz::Check(inspected, "the inspection does not see the written entry");
  for (int i = 0; i < wrote.nameCount; ++i)
    fuzz::Check(Held(back.names[i]) == Held(wrote.names[i]), "a written name reads back otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string indexHost = [] {
    fuzz::PrepareHost();
    const std::string folder = platform::PrefixDir() + "/drive_c/proc";
    std::filesystem::create_directories(folder);
    return folder + "/proc.dir";
  }();
  FuzzedDataProvider in(data, size);
  const int op = in.ConsumeIntegralInRange(0, 2);
  procdir::ProcDirEntry entry;
  std::memset(&entry, 0, sizeof entry);
  entry.nameCount = in.ConsumeIntegralInRange<std::uint8_t>(0, 7);
  entry.flags = in.ConsumeIntegral<std::uint8_t>() & (procdir::PD_COL0_D | procdir::PD_COL0_P | procdir::PD_KIND_E | procdir::PD_KIND_H);
  for (int i = 0; i < procdir::PROCDIR_MAX_NAMES; ++i) {
    std::string name = in.ConsumeRandomLengthString(60);
    std::strncpy(entry.names[i], name.c_str(), procdir::PROCDIR_NAME_LENGTH);
  }
  fuzz::SetBoxAnswers(in.ConsumeRandomLengthString(8));
  const std::vector<std::uint8_t> image = in.ConsumeRemainingBytes<std::uint8_t>();
  const std::string before(image.begin(), image.end());
  CheckInspection(before);

  fuzz::WriteScratch(indexHost, image.data(), image.size());
  platform::HFILE file = procdir::ProcDirOpen(kIndex, "w");
  if (file == platform::HFILE_ERROR) return 0;
  const int boxesAtOpen = fuzz::BoxesShown();
  procdir::ProcDirEntry wrote = entry;
  int result = 0;
  bool appended = false;  // Add put a new entry after the old end
  bool replaced = false;  // Replace rewrote an entry
  auto add = [&] {
    result = procdir::ProcDirAdd(file, wrote);
    appended = !(wrote.flags & procdir::PD_EXISTS);
  };
  if (op == 0) {
    // As the index update does: find, then replace what is there or add.
    result = procdir::ProcDirFind(file, wrote);
    if (result == 1 && (wrote.flags & procdir::PD_EXISTS)) {
      procdir::ProcDirEntry replace = entry;
      replace.first = wrote.first;
      replace.last = wrote.last;
      std::memcpy(replace.fileName, wrote.fileName, sizeof replace.fileName);
      wrote = replace;
      result = procdir::ProcDirReplace(file, wrote);
      replaced = true;
    } else if (result == 1) {
      wrote = entry;
      add();
    }
  } else if (op == 1) {
    add();
  } else {
    // A descriptor whose span the input names, as a damaged caller might.
    wrote.first = static_cast<std::uint16_t>(size);
    wrote.last = static_cast<std::uint16_t>(size + entry.nameCount);
    std::memcpy(wrote.fileName, "1.pro", 6);
    result = procdir::ProcDirReplace(file, wrote);
    replaced = true;
  }
  procdir::ProcDirClose(file);
  const std::string after = fuzz::ReadScratch(indexHost);
  if (before.size() % kRecord == 0) fuzz::Check(after.size() % kRecord == 0, "the index is no longer whole records");
  CheckInspection(after);
  if (result != 1 && op != 2) fuzz::Check(after.size() >= before.size(), "a failed operation shortened the index");
  // An operation that reported a problem returns the operator's answer,
  // which may be 1 too: only a run without a message wrote an entry.
  if (result != 1 || fuzz::BoxesShown() != boxesAtOpen || !(appended || replaced)) return 0;
  if (appended) {
    const size_t whole = before.size() - before.size() % kRecord;
    fuzz::Check(after.compare(0, whole, before, 0, whole) == 0, "adding changed records before the end");
    fuzz::Check(wrote.first == before.size() / kRecord, "the added entry is not at the end");
  }
  CheckWritten(wrote, after);
  return 0;
}
