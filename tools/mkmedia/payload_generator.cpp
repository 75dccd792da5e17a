#include "tools/mkmedia/payload_generator.h"

#include <cstdint>
#include <cstdio>

#include "platform/ascii_case.h"
#include "tools/mkmedia/catalogue_check.h"
#include "tools/mkmedia/host_files.h"
#include "tools/mkmedia/media_catalogue.h"
#include "tools/mkmedia/name_rules.h"

namespace mkmedia {

namespace {

// A small generator seeded from the name (FNV-1a, then xorshift64*).
class Noise {
 public:
  explicit Noise(const std::string& name) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : name) h = (h ^ c) * 0x100000001b3ull;
    state_ = h ? h : 1;
  }
  std::uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545f4914f6cdd1dull;
  }
  unsigned Below(unsigned n) { return static_cast<unsigned>(Next() % n); }

 private:
  std::uint64_t state_;
};

bool HasExtension(const std::string& name, const char* ext) {
  std::string folded = platform::AsciiLower(name), e = ext;
  return folded.size() >= e.size() && folded.compare(folded.size() - e.size(), e.size(), e) == 0;
}

void Put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

struct Rgb {
  unsigned char r, g, b;
};

// A grey panel with a dark display, a row of keys and a few terminals.
std::string Bitmap(Noise& noise) {
  const unsigned width = 64 + noise.Below(96), height = 40 + noise.Below(56);
  const unsigned stride = (width * 3 + 3) & ~3u;
  const std::uint32_t pixels = stride * height;
  std::string out = "BM";
  Put32(out, 54 + pixels);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, pixels);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  const Rgb panel{static_cast<unsigned char>(170 + noise.Below(40)), static_cast<unsigned char>(170 + noise.Below(40)),
                  static_cast<unsigned char>(165 + noise.Below(40))};
  const Rgb display{20, static_cast<unsigned char>(60 + noise.Below(60)), 30};
  const unsigned keys = 3 + noise.Below(5);
  const unsigned terminals = 2 + noise.Below(3);
  for (unsigned y = 0; y < height; ++y) {
    std::string row;
    for (unsigned x = 0; x < width; ++x) {
      Rgb c = panel;
      unsigned top = height - 1 - y;  // rows are stored bottom up
      if (x == 0 || y == 0 || x == width - 1 || y == height - 1) c = {60, 60, 60};
      if (x > width / 10 && x < width * 6 / 10 && top > height / 8 && top < height * 4 / 10) c = display;
      if (top > height * 6 / 10 && top < height * 8 / 10 && x > width / 10 && x < width * 6 / 10) {
        unsigned slot = (x - width / 10) * keys / (width / 2 + 1);
        if ((x - width / 10) % (width / 2 / keys + 1) > 1) c = {static_cast<unsigned char>(80 + slot * 20), 80, 90};
      }
      for (unsigned t = 0; t < terminals; ++t) {
        unsigned cx = width * 3 / 4, cy = height * (t + 1) / (terminals + 1);
        unsigned dx = x > cx ? x - cx : cx - x, dy = top > cy ? top - cy : cy - top;
        if (dx * dx + dy * dy <= 9) c = t % 2 ? Rgb{200, 30, 30} : Rgb{25, 25, 25};
      }
      row += static_cast<char>(c.b);
      row += static_cast<char>(c.g);
      row += static_cast<char>(c.r);
    }
    row.resize(stride, '\0');
    out += row;
  }
  return out;
}

std::string ProcedureListing(const std::string& name, Noise& noise) {
  static const char* const kFunctions[] = {"DCV", "ACV", "DCI", "ACI", "OHMS", "FREQ", "TEMP"};
  static const char* const kUnits[] = {"V", "V", "A", "A", "Ohm", "Hz", "degC"};
  std::string out = "ORVIK COMPILED PROCEDURE 4.2\r\nFILE " + name + "\r\n";
  const unsigned steps = 80 + noise.Below(220);
  char line[160];
  for (unsigned i = 1; i <= steps; ++i) {
    unsigned f = noise.Below(7);
    double nominal = static_cast<double>(1 + noise.Below(1000)) * (noise.Below(2) ? 0.01 : 1.0);
    double tolerance = static_cast<double>(1 + noise.Below(50)) / 100.0;
    std::snprintf(line, sizeof line, "%05u %-5s NOM %10.3f %-4s TOL %5.2f%% WAIT %u\r\n", i * 10, kFunctions[f],
                  nominal, kUnits[f], tolerance, noise.Below(8));
    out += line;
  }
  return out;
}

std::string ProgramImage(Noise& noise) {
  std::string out = "MZ";
  out.resize(64, '\0');
  out += "This program runs beside a calibration procedure.\r\n$";
  const unsigned size = 6000 + noise.Below(18000);
  while (out.size() < size) {
    std::uint64_t v = noise.Next();
    // Code is neither text nor noise: repeat some words, vary others.
    unsigned count = noise.Below(4) == 0 ? 8 : 2;
    for (unsigned k = 0; k < count; ++k) out += static_cast<char>((v >> (8 * k)) & 0xff);
    out.append(6, static_cast<char>(0x90 + noise.Below(4)));
  }
  return out;
}

std::string PointTable(const std::string& name, Noise& noise) {
  std::string out = "; calibration points for " + name + "\r\npoint,nominal,lower,upper\r\n";
  const unsigned points = 20 + noise.Below(140);
  char line[120];
  for (unsigned i = 1; i <= points; ++i) {
    double nominal = static_cast<double>(noise.Below(100000)) / 100.0;
    double spread = nominal * static_cast<double>(1 + noise.Below(30)) / 10000.0 + 0.001;
    std::snprintf(line, sizeof line, "%u,%.3f,%.4f,%.4f\r\n", i, nominal, nominal - spread, nominal + spread);
    out += line;
  }
  return out;
}

}  // namespace

std::string GeneratePayload(const std::string& name) {
  Noise noise(name);
  if (HasExtension(name, ".bmp")) return Bitmap(noise);
  if (HasExtension(name, ".pro")) return ProcedureListing(name, noise);
  if (HasExtension(name, ".exe")) return ProgramImage(noise);
  return PointTable(name, noise);
}

bool GenerateMissingPayloads(const std::string& folder, int* written, int* kept, std::vector<std::string>* problems) {
  *written = *kept = 0;
  std::string bytes;
  if (!ReadHostFile(folder + "/kelmar.lst", &bytes)) {
    problems->push_back(folder + "/kelmar.lst cannot be read");
    return false;
  }
  MediaCatalogue catalogue = ParseCatalogue(bytes);
  std::vector<PayloadFile> files = PayloadFiles(catalogue);
  for (const PayloadFile& f : files) {
    if (!IsListableName(f.name))
      problems->push_back("kelmar.lst:" + std::to_string(f.line) + ": \"" + f.name +
                          "\" is not a plain file name that the media lists can carry");
  }
  if (!problems->empty()) return false;
  for (const PayloadFile& f : files) {
    if (!FindInFolder(folder, f.name).hostPath.empty()) {
      ++*kept;
      continue;
    }
    std::string path = folder + "/" + f.name;
    std::string partial = folder + "/." + f.name + ".partial";
    if (!WriteHostFile(partial, GeneratePayload(f.name), 0644) || std::rename(partial.c_str(), path.c_str()) != 0) {
      std::remove(partial.c_str());
      problems->push_back("cannot write " + path);
      return false;
    }
    ++*written;
  }
  return true;
}

}  // namespace mkmedia
