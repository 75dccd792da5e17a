// mkmedia <source folder> <output folder> [--disk-size <bytes>] [--windows <folder>]
// mkmedia --check <source folder> [--disk-size <bytes>]
// mkmedia --generate-payloads <folder>
//
// Makes a distribution medium from a folder holding kelmar.lst, readme.txt
// and the payload files the catalogue names: one CD, or numbered disks of the
// given capacity. The programs come from the folder mkmedia itself is in, or
// with --windows from a Windows build's program folder (build-win/bin).
// Prints what each disk holds; --check does all but the writing. Warnings go
// to standard error and do not stop it. Exits 0, or 1 with one line per
// problem on standard error.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/mkmedia/build_medium.h"
#include "tools/mkmedia/payload_generator.h"
#include "tools/mkmedia/program_location.h"
#include "tools/mkmedia/staged_files.h"

namespace {

int Fail(const std::vector<std::string>& problems) {
  for (const std::string& p : problems) std::fprintf(stderr, "%s\n", p.c_str());
  return 1;
}

int Usage() {
  return Fail({"usage: mkmedia <source folder> <output folder> [--disk-size <bytes>]",
               "       mkmedia --check <source folder> [--disk-size <bytes>]",
               "       mkmedia --generate-payloads <folder>",
               "       mkmedia <source folder> <output folder> --windows <Windows program folder>"});
}

bool ParseSize(const std::string& text, std::uint64_t* size) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 15) return false;
  *size = std::strtoull(text.c_str(), nullptr, 10);
  return *size > 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> folders;
  mkmedia::MediumRequest request;
  bool generate = false;
  std::string windowsFolder;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--disk-size") {
      if (i + 1 >= argc || !ParseSize(argv[++i], &request.diskSize))
        return Fail({"--disk-size needs a number of bytes above 0"});
    } else if (arg == "--windows") {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') return Fail({"--windows needs the folder of the Windows programs"});
      windowsFolder = argv[++i];
    } else if (arg == "--generate-payloads") {
      generate = true;
    } else if (arg == "--check") {
      request.checkOnly = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Usage();
    } else {
      folders.push_back(arg);
    }
  }

  if (generate) {
    if (folders.size() != 1 || request.diskSize != 0 || request.checkOnly || !windowsFolder.empty()) return Usage();
    int written = 0, kept = 0;
    std::vector<std::string> problems;
    if (!mkmedia::GenerateMissingPayloads(folders[0], &written, &kept, &problems)) return Fail(problems);
    std::printf("%d payload files generated, %d already there (%s)\n", written, kept, folders[0].c_str());
    return 0;
  }

  if (folders.size() != (request.checkOnly ? 1u : 2u)) return Usage();
  request.source = folders[0];
  if (!request.checkOnly) request.output = folders[1];
  if (windowsFolder.empty()) {
    request.programFolder = mkmedia::OwnFolder();
    request.zlibFile = mkmedia::LoadedZlibFile();
#ifdef _WIN32
    // The Windows build's programs beside this one carry .exe.
    request.windowsPrograms = true;
#endif
  } else {
    // The Windows build ships zlib.dll beside its programs.
    request.programFolder = windowsFolder;
    request.zlibFile = windowsFolder + "/zlib.dll";
    request.windowsPrograms = true;
  }
  mkmedia::MediumReport report = mkmedia::BuildMedium(request);
  for (const std::string& w : report.warnings) std::fprintf(stderr, "%s\n", w.c_str());
  if (!report.problems.empty()) return Fail(report.problems);
  for (const std::string& line : report.summary) std::printf("%s\n", line.c_str());
  return 0;
}
