// The catalogue's diagnostic trace "c:\listrdbg.txt": opened once when the
// program starts and held for its whole run, always on.
#pragma once
#include <cstddef>
#include <string>

namespace catalogue {

// Opens the trace for appending (created when missing, earlier runs kept in
// front), held exclusively. A second call while it is open does nothing. When
// it cannot be opened, all trace lines are dropped silently.
void OpenCatalogueTrace();
// Writes `line` and a line end at once (inside a batch: with the batch).
// Dropped when the trace is not open.
void CatalogueTrace(const std::string& line);
// Closes the trace (at exit, and between tests); lines of a batch still
// pending are written first.
void CloseCatalogueTrace();

// While one lives, trace lines are gathered and written in blocks of some
// kilobytes, and the rest when the last batch ends: loading a long list file
// writes the same lines without a write per line. Batches nest. The lines of
// the outermost batch take at most kCatalogueTraceBatchLimit bytes; lines
// past it are left out, and a closing line says how many.
constexpr std::size_t kCatalogueTraceBatchLimit = 8u << 20;

class CatalogueTraceBatch {
 public:
  CatalogueTraceBatch();
  ~CatalogueTraceBatch();
  CatalogueTraceBatch(const CatalogueTraceBatch&) = delete;
  CatalogueTraceBatch& operator=(const CatalogueTraceBatch&) = delete;
};

}  // namespace catalogue
