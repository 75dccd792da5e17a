// The media lists _diskmap.lst and orvik.lst as the installer reads them: the
// disk map's sizes, and the transfer list walked disk by disk as the copy
// worker walks it. A name the lists can carry, written as the installer
// writes it, reads back as itself with its kind.
#include <string>

#include "fuzz/fuzz_host.h"
#include "installer/catalogue/plain_file_name.h"
#include "installer/transfer/disk_map.h"
#include "installer/transfer/xfer_entry.h"
#include "platform/profile.h"

namespace {

std::string Value(const std::string& list, const std::string& section, const std::string& key,
                  const char* missing) {
  char buffer[260];
  platform::ProfileStringFromText(list, section.c_str(), key.c_str(), missing, buffer, sizeof buffer);
  return buffer;
}

// The leading number by long arithmetic, held to the 32-bit range.
long long ReferenceNumber(const std::string& value) {
  size_t i = value.find_first_not_of(" \t\n\r\v\f");
  if (i == std::string::npos) return 0;
  bool negative = value[i] == '-';
  if (value[i] == '+' || value[i] == '-') ++i;
  long long magnitude = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (value[i] - '0');
    if (magnitude > 2147483648LL) magnitude = 2147483648LL;
  }
  long long n = negative ? -magnitude : magnitude;
  if (n > 2147483647LL) n = 2147483647LL;
  return n;
}

void WalkDisk(const std::string& list, int disk) {
  const std::string section = transfer::DiskSection(disk);
  for (int entry = 1; entry <= 16; ++entry) {
    std::string value = Value(list, section, "F" + std::to_string(entry), transfer::kKeyMissing);
    if (value == transfer::kKeyMissing || value == transfer::kNextDisk || value == transfer::kLastDiskEntry) return;
    transfer::XferEntry split = transfer::SplitXferEntry(value);
    fuzz::Check(value.compare(0, split.name.size(), split.name) == 0, "the name is not the start of the entry");
    if (split.kind != 0) {
      fuzz::Check(value.size() > split.name.size() + 1 && value[split.name.size()] == ',' &&
                      value[split.name.size() + 1] == split.kind,
                  "the kind is not the letter after the first comma");
      fuzz::Check(split.name.find(',') == std::string::npos, "the name holds a comma");
    }
    // Disk map look-up of the same name.
    std::string size = Value(list, section, split.name, "-1");
    fuzz::Check(transfer::LeadingInteger(size.c_str()) == ReferenceNumber(size), "a size is read as another number");
  }
}

// A carried name written as the installer writes it reads back unchanged.
void RoundTrip(const std::string& name, char kind) {
  if (!catalogue::IsListableFileName(name)) return;
  const std::string list = "[Disk1]\r\nF1=" + name + "," + kind + "\r\nF2=last disk\r\n";
  transfer::XferEntry back = transfer::SplitXferEntry(Value(list, "Disk1", "F1", transfer::kKeyMissing));
  fuzz::Check(back.name == name && back.kind == kind, "a listable name does not read back: " + name);
  const std::string map = "[Disk1]\r\n" + name + "=1234\r\n";
  fuzz::Check(transfer::LeadingInteger(Value(map, "Disk1", name, "-1").c_str()) == 1234,
              "a listable name is not found in the disk map: " + name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // One byte picks the disk walked, the rest is the list.
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  WalkDisk(text, 1 + data[0] % 3);
  // The first lines of the input as names.
  size_t start = 0;
  for (int lines = 0; start <= text.size() && lines < 4; ++lines) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    RoundTrip(text.substr(start, end - start), "PBMA"[(data[0] + lines) % 4]);
    start = end + 1;
  }
  return 0;
}
