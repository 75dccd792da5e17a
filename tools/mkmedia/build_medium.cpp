#include "tools/mkmedia/build_medium.h"

#include "tools/mkmedia/catalogue_check.h"
#include "tools/mkmedia/disk_layout.h"
#include "tools/mkmedia/gzip_payload.h"
#include "tools/mkmedia/host_files.h"
#include "tools/mkmedia/media_catalogue.h"
#include "tools/mkmedia/medium_listing.h"
#include "tools/mkmedia/medium_writer.h"
#include "tools/mkmedia/staged_files.h"

namespace mkmedia {

namespace {

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

}  // namespace

MediumReport BuildMedium(const MediumRequest& request) {
  MediumReport report;
  std::string catalogueBytes;
  MediaCatalogue catalogue;
  if (!ReadHostFile(request.source + "/kelmar.lst", &catalogueBytes)) {
    report.problems.push_back(request.source + "/kelmar.lst cannot be read");
  } else {
    catalogue = ParseCatalogue(catalogueBytes);
    Append(report.problems, catalogue.problems);
    report.warnings = catalogue.warnings;
    Append(report.problems, CheckRecords(catalogue));
  }
  std::string readme;
  if (!ReadHostFile(request.source + "/readme.txt", &readme))
    report.problems.push_back(request.source + "/readme.txt cannot be read");
  std::vector<FoundFile> found;
  Append(report.problems, CheckPayloadFiles(catalogue, request.source, &found));

  MediumContents contents;
  contents.cd = request.diskSize == 0;
  contents.staged = StagedFiles(request.programFolder, request.zlibFile, request.source, request.windowsPrograms,
                                &report.problems);
  if (!report.problems.empty()) return report;

  std::vector<PayloadFile> names = PayloadFiles(catalogue);
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string data;
    if (!ReadHostFile(found[i].hostPath, &data)) {
      report.problems.push_back("cannot read " + found[i].hostPath);
      continue;
    }
    std::string gz = GzipBytes(data);
    if (gz.empty()) {
      report.problems.push_back("cannot compress " + found[i].hostPath);
      continue;
    }
    contents.files.push_back({names[i].name, data.size(), gz.size()});
    contents.gzipped.push_back(std::move(gz));
  }
  if (!report.problems.empty()) return report;

  contents.layout = contents.cd ? SingleDisk(contents.files)
                                : PackDisks(contents.files, request.diskSize, StagedSize(contents.staged));
  Append(report.problems, contents.layout.problems);
  if (!report.problems.empty()) return report;
  contents.diskMap = DiskMapText(contents.files, contents.layout);

  if (request.checkOnly) {
    report.summary = MediumListing(contents, request.diskSize, "");
  } else if (WriteMedium(request.output, contents, &report.problems)) {
    report.summary = MediumListing(contents, request.diskSize, request.output);
  }
  return report;
}

}  // namespace mkmedia
