// Build tool: checks the message source ovtext.txt and writes ovtext.mdb.
// Usage: ovtext_compile <source> <database>. The database is written beside
// its final name and renamed over it, so a failed run never leaves half a file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include "text/mdb_format.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <source> <database>\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot read\n", argv[1]);
    return 1;
  }
  std::stringstream source;
  source << in.rdbuf();
  ovtext::Texts texts;
  std::string error;
  if (!ovtext::ParseSource(source.str(), &texts, &error)) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    return 1;
  }
  std::string target = argv[2];
  std::string temporary = target + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << ovtext::FormatDatabase(texts);
    out.flush();
    if (!out) {
      std::fprintf(stderr, "%s: cannot write\n", temporary.c_str());
      std::remove(temporary.c_str());
      return 1;
    }
  }
  // std::filesystem::rename replaces an existing target on every host.
  std::error_code renamed;
  std::filesystem::rename(temporary, target, renamed);
  if (renamed) {
    std::fprintf(stderr, "%s: cannot rename to %s\n", temporary.c_str(), target.c_str());
    std::remove(temporary.c_str());
    return 1;
  }
  return 0;
}
