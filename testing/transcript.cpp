#include "testing/transcript.h"

#include <algorithm>
#include <filesystem>

#include "platform/transcript.h"
#include "testing/host_files.h"

namespace orvik_testing {

namespace {

// Reads a string in quotes starting at `pos`; moves `pos` past it.
std::string Unquote(const std::string& line, size_t& pos) {
  std::string out;
  if (pos >= line.size() || line[pos] != '"') return out;
  for (++pos; pos < line.size() && line[pos] != '"'; ++pos) {
    char c = line[pos];
    if (c == '\\' && pos + 1 < line.size()) {
      char e = line[++pos];
      c = e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
    }
    out += c;
  }
  ++pos;
  return out;
}

}  // namespace

std::string Transcript::Text() const { return ReadFile(path_); }

std::vector<std::string> Transcript::Lines() const { return orvik_testing::Lines(Text()); }

bool Transcript::Has(const std::string& line) const {
  std::vector<std::string> lines = Lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int Transcript::Count(const std::string& prefix) const { return static_cast<int>(StartingWith(prefix).size()); }

std::vector<std::string> Transcript::StartingWith(const std::string& prefix) const {
  return LinesStartingWith(Text(), prefix);
}

std::vector<BoxLine> Transcript::Boxes() const {
  std::vector<BoxLine> boxes;
  for (const std::string& line : Lines()) {
    if (line.rfind("box ", 0) != 0) continue;
    size_t pos = 4;
    BoxLine box;
    box.caption = Unquote(line, pos);
    ++pos;
    box.text = Unquote(line, pos);
    boxes.push_back(box);
  }
  return boxes;
}

int Transcript::BoxCount(const std::string& part) const {
  int count = 0;
  for (const BoxLine& box : Boxes()) count += box.text.find(part) != std::string::npos;
  return count;
}

void Transcript::Clear() const {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& line : Lines(text))
    if (line.rfind(prefix, 0) == 0) out.push_back(line);
  return out;
}

std::string Quoted(const std::string& text) { return platform::TranscriptQuote(text); }

}  // namespace orvik_testing
