#include "installer/catalogue/catalogue_trace.h"

#include <mutex>

#include "installer/catalogue/line_file.h"

namespace {

constexpr const char* kTracePath = "c:\\listrdbg.txt";

struct Trace {
  std::mutex lock;
  catalogue::LineFile file;
  bool opened = false;  // an open was attempted since the last close
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
  trace.file.WriteLine(line);
}

void CloseCatalogueTrace() {
  Trace& trace = TheTrace();
  std::lock_guard<std::mutex> guard(trace.lock);
  trace.file.Close();
  trace.opened = false;
}
