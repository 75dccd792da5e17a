// windows_doc <ovtext.txt> <output file>
// windows_doc --check <ovtext.txt> <committed file>
//
// Writes the window reference (resources/window_reference.h), or checks that
// a committed copy is the same. Exits 0, or 1 with the reason on standard
// error.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "resources/window_reference.h"

namespace {

bool ReadAll(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  *bytes = all.str();
  return !in.bad();
}

int Fail(const std::string& text) {
  std::fprintf(stderr, "windows_doc: %s\n", text.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 4 && std::string(argv[1]) == "--check";
  if (argc != 3 && !check) return Fail("usage: windows_doc [--check] <ovtext.txt> <file>");
  const std::string textsPath = argv[check ? 2 : 1], target = argv[check ? 3 : 2];
  std::string source;
  if (!ReadAll(textsPath, &source)) return Fail(textsPath + " cannot be read");
  std::vector<std::string> problems;
  std::string reference = resources::WindowReference(resources::ParseMessageTexts(source, &problems), &problems);
  for (const std::string& p : problems) Fail(p);
  if (!problems.empty()) return 1;

  if (check) {
    std::string committed;
    if (!ReadAll(target, &committed)) return Fail(target + " cannot be read");
    if (committed != reference)
      return Fail(target + " differs from the reference the templates make now: build the target "
                           "windows_reference and copy build/doc/windows.md over it");
    return 0;
  }
  // Written beside the target and renamed, so a reader never sees half of it.
  const std::string temporary = target + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << reference;
    out.flush();
    if (!out) return Fail(temporary + " cannot be written");
  }
  if (std::rename(temporary.c_str(), target.c_str()) != 0) return Fail(target + " cannot be replaced");
  return 0;
}
