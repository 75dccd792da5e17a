#include "installer/catalogue/catalogue_trace.h"

#include <mutex>

#include "installer/catalogue/line_file.h"

namespace catalogue {

namespace {

constexpr const char* kTracePath = "c:\\listrdbg.txt";
constexpr std::size_t kBlock = 64 * 1024;  // pending text written at once

struct Trace {
  std::mutex lock;
  catalogue::LineFile file;
  bool opened = false;  // an open was attempted since the last close
  int batches = 0;      // batches alive
  std::string pending;  // lines of the batches not yet written
  std::size_t kept = 0;     // bytes taken in since the outermost batch began
  std::size_t dropped = 0;  // lines left out since then for the limit

  void WritePending() {
    file.WriteLines(pending);
    pending.clear();
  }
};

Trace& TheTrace() {
  static Trace* trace = new Trace;  // never destroyed: usable until the very end
  return *trace;
}

}  // namespace

void OpenCatalogueTrace() {
  Trace& trace = TheTrace();
  std::lock_guard<std::mutex> guard(trace.lock);
  if (trace.opened) return;
  trace.opened = true;
  trace.file.Open(kTracePath);
}

void CatalogueTrace(const std::string& line) {
  Trace& trace = TheTrace();
  std::lock_guard<std::mutex> guard(trace.lock);
  if (!trace.file.IsOpen()) return;
  if (trace.batches == 0) {
    trace.file.WriteLine(line);
    return;
  }
  if (line.size() + 1 > kCatalogueTraceBatchLimit - trace.kept) {
    ++trace.dropped;
    return;
  }
  trace.kept += line.size() + 1;
  trace.pending += line;
  trace.pending += '\n';
  if (trace.pending.size() >= kBlock) trace.WritePending();
}

void CloseCatalogueTrace() {
  Trace& trace = TheTrace();
  std::lock_guard<std::mutex> guard(trace.lock);
  trace.WritePending();
  trace.file.Close();
  trace.opened = false;
}

CatalogueTraceBatch::CatalogueTraceBatch() {
  Trace& trace = TheTrace();
  std::lock_guard<std::mutex> guard(trace.lock);
  ++trace.batches;
}

CatalogueTraceBatch::~CatalogueTraceBatch() {
  Trace& trace = TheTrace();
  std::lock_guard<std::mutex> guard(trace.lock);
  if (--trace.batches != 0) return;
  if (trace.dropped > 0 && trace.file.IsOpen()) {
    trace.pending += "Trace stopped at its limit of " + std::to_string(kCatalogueTraceBatchLimit) +
                     " bytes: " + std::to_string(trace.dropped) + " line(s) left out\n";
  }
  trace.WritePending();
  trace.kept = 0;
  trace.dropped = 0;
}

}  // namespace catalogue
