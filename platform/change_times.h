// Whether an entry's times can tell a later change from the last one; shared
// by the caches of folder listings and initialisation files.
#pragma once
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cstdint>

namespace platform::detail {

inline std::int64_t Nanos(const timespec& t) { return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; }

inline bool SameTimes(const struct stat& a, const struct stat& b) {
  return Nanos(a.st_mtim) == Nanos(b.st_mtim) && Nanos(a.st_ctim) == Nanos(b.st_ctim);
}

// True when `st`, taken at or after `readAt` (CLOCK_REALTIME), shows a last
// change so long before `readAt` that any change from then on stamps other
// times. A second change within the file system's timestamp granularity
// leaves the times as they were, so a copy read closer to the last change
// than that granularity must not be trusted. Times with sub-millisecond
// digits come from the kernel's clock tick (10 ms at most); others may be
// as coarse as 2 s.
inline bool ChangedLongBefore(const struct stat& st, const timespec& readAt) {
  bool fine = st.st_mtim.tv_nsec % 1000000 != 0 || st.st_ctim.tv_nsec % 1000000 != 0;
  std::int64_t granularity = fine ? 50000000 : 3000000000;
  return Nanos(readAt) - std::max(Nanos(st.st_mtim), Nanos(st.st_ctim)) >= granularity;
}

}  // namespace platform::detail
