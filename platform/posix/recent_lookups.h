// What the path mapping learned of host paths during one host call, so that
// the call does not ask the file system the same question again right after:
// mapping a path looks at the path itself (lstat) and, when it is missing, at
// its folder. A call that wants those answers opens a RecentLookups scope;
// outside one nothing is kept, and nothing outlives the call, so an answer is
// never older than the call that asked for it.
#pragma once
#include <sys/stat.h>

#include <string>

namespace platform::detail {

class RecentLookups {
 public:
  RecentLookups();
  ~RecentLookups();
  RecentLookups(const RecentLookups&) = delete;
  RecentLookups& operator=(const RecentLookups&) = delete;

  // Notes the answer of lstat(host): `error` 0 with `st`, or errno.
  static void Note(const std::string& host, int error, const struct stat* st);
  // lstat(host) as noted in this call; false when nothing is known.
  // On a noted failure *error is its errno.
  static bool Lstat(const std::string& host, struct stat* st, int* error);
  // True when lstat(host) was noted to be a folder in this call.
  static bool KnownFolder(const std::string& host);
};

}  // namespace platform::detail
