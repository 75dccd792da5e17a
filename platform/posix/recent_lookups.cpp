#include "platform/posix/recent_lookups.h"

#include <cerrno>

namespace platform::detail {

namespace {

struct Answer {
  std::string host;
  int error = 0;
  struct stat st {};
};

// A call maps at most a few paths (source and target, a file and its folder).
constexpr int kAnswers = 4;

struct Scope {
  int depth = 0;
  int next = 0;
  int used = 0;
  Answer answers[kAnswers];
};

thread_local Scope t_scope;

const Answer* Find(const std::string& host) {
  for (int i = 0; i < t_scope.used; ++i)
    if (t_scope.answers[i].host == host) return &t_scope.answers[i];
  return nullptr;
}

}  // namespace

RecentLookups::RecentLookups() { ++t_scope.depth; }

RecentLookups::~RecentLookups() {
  if (--t_scope.depth == 0) t_scope.used = t_scope.next = 0;
}

void RecentLookups::Note(const std::string& host, int error, const struct stat* st) {
  if (t_scope.depth == 0) return;
  Answer* slot = nullptr;
  for (int i = 0; i < t_scope.used && !slot; ++i)
    if (t_scope.answers[i].host == host) slot = &t_scope.answers[i];
  if (!slot) {
    slot = &t_scope.answers[t_scope.next];
    t_scope.next = (t_scope.next + 1) % kAnswers;
    if (t_scope.used < kAnswers) ++t_scope.used;
  }
  slot->host = host;
  slot->error = error;
  if (error == 0 && st) slot->st = *st;
}

bool RecentLookups::Lstat(const std::string& host, struct stat* st, int* error) {
  const Answer* a = t_scope.depth ? Find(host) : nullptr;
  if (!a) return false;
  *error = a->error;
  if (a->error == 0) *st = a->st;
  return true;
}

bool RecentLookups::KnownFolder(const std::string& host) {
  const Answer* a = t_scope.depth ? Find(host) : nullptr;
  return a && a->error == 0 && S_ISDIR(a->st.st_mode);
}

}  // namespace platform::detail
