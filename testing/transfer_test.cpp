#include "testing/transfer_test.h"

#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/dos_path.h"
#include "platform/hfile.h"
#include "resources/kelmar_resources.h"
#include "text/text.h"
#include "testing/fake_instance.h"
#include "ui/frontend.h"
#include "ui/msgbox.h"

namespace xfertest {

namespace fs = std::filesystem;

void WriteGzipHost(const std::string& path, const std::string& contents) {
  fs::create_directories(fs::path(path).parent_path());
  gzFile out = gzopen(path.c_str(), "wb6");
  ASSERT_NE(out, nullptr) << path;
  if (!contents.empty()) {
    ASSERT_EQ(gzwrite(out, contents.data(), static_cast<unsigned>(contents.size())),
              static_cast<int>(contents.size()));
  }
  ASSERT_EQ(gzclose(out), Z_OK);
}

std::string Payload(size_t size, unsigned seed) {
  std::string out(size, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    out[i] = static_cast<char>(x & 0xff);
  }
  return out;
}

std::string TextPayload(size_t size, unsigned seed) {
  static const char* words[] = {"calibrate ", "voltage ", "range ", "step ", "MEAS ", "10.000 ",
                                "procedure ", "DISP ", "\r\n", "tolerance ", "OHMS ", "2W "};
  std::string out;
  unsigned x = seed + 7;
  while (out.size() < size) {
    x = x * 1103515245u + 12345u;
    out += words[(x >> 16) % 12];
  }
  out.resize(size);
  return out;
}

RecordingFrontend& InstallRecorder() {
  return orvik_testing::InstallRecorder(RecordingFrontend::Unhandled::kRunTimers);
}

void TransferTest::SetUp() {
  box_ = std::make_unique<orvik_testing::Sandbox>(orvik_testing::Sandbox::kThisProcess);
  root_ = box_->root;
  box_->Answers("");
  ui::SetResources(&resources::Kelmar());
  ASSERT_TRUE(orvik_testing::OpenMessages()) << "ovtext.mdb is built beside the programs";

  for (const char* dir : {"work", "orvik/proc", "orvik/pic", "orvik/prog", "orvik/data"})
    fs::create_directories(CHost(dir));
  paths.transferListPath = "C:\\work\\orvik.lst";
  paths.diskMapPath = "C:\\work\\_diskmap.lst";
  paths.sourceDir = "D:\\";
  paths.procDir = "C:\\orvik\\proc\\";
  paths.tempDir = "C:\\orvik\\proc\\_temp";
  paths.picDir = "C:\\orvik\\pic\\";
  paths.passwordDir = "C:\\orvik\\prog\\";
  paths.userProgDir = "C:\\orvik\\prog\\";
  paths.dataDir = "C:\\orvik\\data\\";
  plan.bytesPerSector = 512;
}

void TransferTest::TearDown() {
  text_close();
  box_.reset();
}

std::string TransferTest::CHost(const std::string& rel) const {
  return box_->OnC("C:\\") + rel;
}

std::string TransferTest::Medium(const std::string& name) const {
  std::string path = root_ + "/media/" + name;
  fs::create_directories(path + "/proc_data");
  return path;
}

void TransferTest::AddPayload(const std::string& medium, const std::string& file,
                              const std::string& contents, bool gzip) const {
  std::string path = Medium(medium) + "/proc_data/" + file;
  if (gzip)
    WriteGzipHost(path, contents);
  else
    orvik_testing::WriteFile(path, contents);
}

void TransferTest::AddMarker(const std::string& medium, const std::string& marker) const {
  orvik_testing::WriteFile(Medium(medium) + "/" + marker, "");
}

void TransferTest::Insert(const std::string& medium) const {
  ASSERT_TRUE(platform::MapDrive('d', Medium(medium)));
}

void TransferTest::WriteDiskMap(const std::string& text) const { orvik_testing::WriteFile(CHost("work/_diskmap.lst"), text); }

std::string TransferTest::ListText() const { return orvik_testing::ReadFile(CHost("work/orvik.lst")); }

void TransferTest::Answers(const std::vector<std::string>& lines) { box_->Answers(orvik_testing::JoinLines(lines)); }

std::vector<std::string> TransferTest::Transcript() const { return box_->TranscriptFile().Lines(); }

std::vector<BoxLine> TransferTest::Boxes() const { return box_->TranscriptFile().Boxes(); }

int TransferTest::BoxCount(const std::string& part) const { return box_->TranscriptFile().BoxCount(part); }

int TransferTest::LineCount(const std::string& prefix) const { return box_->TranscriptFile().Count(prefix); }

bool TransferTest::HasLine(const std::string& line) const { return box_->TranscriptFile().Has(line); }

}  // namespace xfertest
