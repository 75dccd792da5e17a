// Listings of large host folders as tables of folded name -> real names, so
// that a case-blind look-up does not list the folder each time.
//
// A table is kept per folder (device and inode) for folders of more than a
// few dozen entries, at most kMaxFolders of them and kMaxNames names in all,
// the least recently used going first. It stays right in one of two ways:
//  - on local file systems, a change notification watch on the folder reports
//    every entry created, deleted or renamed by any process, and the table is
//    updated from those reports before each use (the kernel queues them before
//    the changing call returns, so nothing done before a look-up is missed);
//  - elsewhere, the folder's modification and change times are compared on
//    each use, and a listing taken too soon after the last change to tell the
//    next one from it is not kept.
#include "platform/folder_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/change_times.h"

namespace platform::detail {

namespace {

struct LookupScope {
  int depth = 0;
  bool drained = false;
};
thread_local LookupScope t_lookup;

constexpr size_t kMinEntries = 48;   // smaller folders are listed on each look-up
constexpr size_t kMaxFolders = 32;
constexpr size_t kMaxNames = 250000;
constexpr uint32_t kWatchMask =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_ONLYDIR;

// File systems whose change notifications cover changes made by every
// process (network and user-space file systems do not report remote ones).
bool NotifiesEveryChange(int fd) {
  struct statfs fs;
  if (::fstatfs(fd, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53UL:      // ext2/3/4
    case 0x58465342UL:  // xfs
    case 0x9123683EUL:  // btrfs
    case 0x01021994UL:  // tmpfs
    case 0x858458F6UL:  // ramfs
    case 0x794C7630UL:  // overlay
    case 0xF2F52010UL:  // f2fs
    case 0x2FC12FC1UL:  // zfs
    case 0xCA451A4EUL:  // bcachefs
      return true;
    default:
      return false;
  }
}

struct Folder {
  std::string path;  // where it was listed (a hint: it is known by dev and ino)
  dev_t dev = 0;
  ino_t ino = 0;
  int wd = -1;  // change watch; -1 when checked by its times
  struct stat st {};      // when listed
  bool settled = false;  // listed long enough after its last change
  std::uint64_t lastUse = 0;
  size_t count = 0;
  std::unordered_map<std::string, std::vector<std::string>> names;  // folded -> real

  void Add(const std::string& name) {
    std::vector<std::string>& real = names[AsciiLower(name)];
    if (std::find(real.begin(), real.end(), name) != real.end()) return;
    real.push_back(name);
    ++count;
  }
  void Remove(const std::string& name) {
    auto it = names.find(AsciiLower(name));
    if (it == names.end()) return;
    auto pos = std::find(it->second.begin(), it->second.end(), name);
    if (pos == it->second.end()) return;
    it->second.erase(pos);
    if (it->second.empty()) names.erase(it);
    --count;
  }
  std::string Find(const std::string& name, bool exactFirst = false) const {
    auto it = names.find(AsciiLower(name));
    if (it == names.end()) return "";
    if (exactFirst && std::find(it->second.begin(), it->second.end(), name) != it->second.end()) return name;
    return *std::min_element(it->second.begin(), it->second.end());
  }
};

class Cache;
Cache& TheCache();

class Cache {
 public:
  // A forked child shares the parent's notification queue: reading it, or
  // removing a watch, would take reports and watches from the parent. The
  // child starts with no tables and a queue of its own.
  Cache() {
    ::pthread_atfork([] { TheCache().mutex_.lock(); }, [] { TheCache().mutex_.unlock(); },
                     [] { TheCache().AfterFork(); });
  }

  std::string Find(const std::string& dir, const std::string& name, const struct stat* dirStat) {
    struct stat st;
    if (dirStat) st = *dirStat;
    else if (::stat(dir.c_str(), &st) != 0) return "";
    if (!S_ISDIR(st.st_mode)) return "";
    std::lock_guard<std::mutex> lock(mutex_);
    Drain();
    Folder* folder = Lookup(st.st_dev, st.st_ino);
    if (folder && folder->wd < 0 &&
        !(folder->settled && SameTimes(folder->st, st))) {
      Drop(folder);
      folder = nullptr;
    }
    if (folder) {
      folder->lastUse = ++clock_;
      return folder->Find(name);
    }
    std::string found;
    std::unique_ptr<Folder> listed = List(dir, name, found);
    if (listed && listed->count >= kMinEntries && (listed->wd >= 0 || listed->settled)) {
      Keep(std::move(listed));
    } else if (listed && listed->wd >= 0) {
      Unwatch(listed->wd);
    }
    return found;
  }

  // The answer of the kept table of the folder `st` describes, when there
  // is one that is known to match the folder.
  bool FindKept(const struct stat& st, const std::string& name, std::string* found, bool exactFirst) {
    if (!S_ISDIR(st.st_mode)) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    Drain();
    Folder* folder = Lookup(st.st_dev, st.st_ino);
    if (!folder || (folder->wd < 0 && !(folder->settled && SameTimes(folder->st, st)))) return false;
    folder->lastUse = ++clock_;
    *found = folder->Find(name, exactFirst);
    return true;
  }

  // True when a listing taken under the path `dir` is kept (a hint only).
  bool KeptUnder(const std::string& dir) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& f : folders_)
      if (f->path == dir) return true;
    return false;
  }

  // The change stamp of `dir` (see ChangeStamp in folder_names.h).
  long long Stamp(const std::string& dir) {
    std::lock_guard<std::mutex> lock(mutex_);
    Drain();
    for (const Stamped& s : stamped_)
      if (s.dir == dir) return s.stamp;
    if (!watch_ || Notify() < 0 || stamped_.size() >= kMaxFolders) return -1;
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    const bool watchable = NotifiesEveryChange(fd);
    ::close(fd);
    if (!watchable) return -1;
    // IN_MASK_ADD: a kept listing of the same folder keeps its own reports.
    int wd = ::inotify_add_watch(notify_, dir.c_str(), kWatchMask | IN_MOVE_SELF | IN_MASK_ADD);
    if (wd < 0) return -1;
    stamped_.push_back({dir, wd, ++stamps_});
    return stamped_.back().stamp;
  }

  void AfterFork() {
    if (notify_ >= 0) ::close(notify_);
    notify_ = -1;
    folders_.clear();
    stamped_.clear();
    total_ = 0;
    mutex_.unlock();
  }

  void Reset(bool watch) {
    std::lock_guard<std::mutex> lock(mutex_);
    while (!folders_.empty()) Drop(folders_.back().get());
    std::vector<Stamped> stamped;
    stamped.swap(stamped_);
    for (const Stamped& s : stamped) Unwatch(s.wd);
    watch_ = watch;
  }

 private:
  Folder* Lookup(dev_t dev, ino_t ino) {
    for (auto& f : folders_)
      if (f->dev == dev && f->ino == ino) return f.get();
    return nullptr;
  }

  Folder* ByWatch(int wd) {
    for (auto& f : folders_)
      if (f->wd == wd) return f.get();
    return nullptr;
  }

  // A watch that a stamped folder also uses stays.
  void Unwatch(int wd) {
    for (const Stamped& s : stamped_)
      if (s.wd == wd) return;
    if (wd >= 0 && notify_ >= 0) ::inotify_rm_watch(notify_, wd);
  }

  void Drop(Folder* folder, bool unwatch = true) {
    if (unwatch) Unwatch(folder->wd);
    for (size_t i = 0; i < folders_.size(); ++i) {
      if (folders_[i].get() != folder) continue;
      total_ -= folders_[i]->count;
      folders_.erase(folders_.begin() + long(i));
      return;
    }
  }

  void Keep(std::unique_ptr<Folder> folder) {
    folder->lastUse = ++clock_;
    total_ += folder->count;
    folders_.push_back(std::move(folder));
    Trim(folders_.back().get());
  }

  // Drops the least recently used tables beyond the limits, never `keep`.
  void Trim(const Folder* keep) {
    while (folders_.size() > kMaxFolders || (total_ > kMaxNames && folders_.size() > 1)) {
      Folder* oldest = nullptr;
      for (auto& f : folders_)
        if (f.get() != keep && (!oldest || f->lastUse < oldest->lastUse)) oldest = f.get();
      if (!oldest) return;
      Drop(oldest);
    }
  }

  int Notify() {
    if (notify_ == -1) {
      notify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
      if (notify_ < 0) notify_ = -2;  // not offered: every folder is checked by its times
    }
    return notify_;
  }

  // Applies the queued change reports to the kept tables.
  void Drain() {
    if (notify_ < 0) return;
    // Within one look-up the reports are read once: its answers are those of
    // that moment.
    if (t_lookup.depth > 0) {
      if (t_lookup.drained) return;
      t_lookup.drained = true;
    }
    alignas(struct inotify_event) char buffer[65536];
    while (true) {
      ssize_t got = ::read(notify_, buffer, sizeof buffer);
      if (got <= 0) return;
      // A read returns every report queued when it ran that fits; with room
      // for one more left over, what came after is no older than this look-up.
      const bool all = size_t(got) + sizeof(struct inotify_event) + NAME_MAX + 1 <= sizeof buffer;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + at);
        at += ssize_t(sizeof(struct inotify_event) + event->len);
        if (event->mask & IN_Q_OVERFLOW) {
          while (!folders_.empty()) Drop(folders_.back().get());
          stamped_.clear();  // their next stamps are new ones
          continue;
        }
        Restamp(event->wd, (event->mask & (IN_IGNORED | IN_MOVE_SELF)) != 0);
        Folder* folder = ByWatch(event->wd);
        if (!folder) continue;
        if (event->mask & IN_IGNORED) {
          Drop(folder, false);  // the folder is gone; so is its watch
          continue;
        }
        if (event->len == 0) continue;
        std::string name = event->name;  // zero-padded
        size_t before = folder->count;
        if (event->mask & (IN_CREATE | IN_MOVED_TO)) folder->Add(name);
        if (event->mask & (IN_DELETE | IN_MOVED_FROM)) folder->Remove(name);
        total_ = total_ - before + folder->count;
        if (folder->count > before) Trim(folder);
      }
      if (all) return;
    }
  }

  // Lists `dir` and sets `found` to the answer for `name`. A folder large
  // enough to keep is, on local file systems, watched and listed again: a
  // change made while that listing runs is applied after it. Small folders
  // are never watched (setting and removing a watch costs more than their
  // listing). A listing that cannot be kept is only searched (null result).
  std::unique_ptr<Folder> List(const std::string& dir, const std::string& name, std::string& found) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    auto folder = std::make_unique<Folder>();
    folder->path = dir;
    timespec listedAt{};
    ::clock_gettime(CLOCK_REALTIME, &listedAt);
    struct stat st;
    DIR* d = ::fstat(fd, &st) == 0 ? ::fdopendir(fd) : nullptr;
    if (!d) {
      ::close(fd);
      return nullptr;
    }
    folder->dev = st.st_dev;
    folder->ino = st.st_ino;
    folder->st = st;
    folder->settled = ChangedLongBefore(st, listedAt);
    bool watchable = watch_ && NotifiesEveryChange(fd);
    if (!folder->settled && !watchable) {
      found = Search(d, name);
      ::closedir(d);
      return nullptr;
    }
    ReadNames(d, *folder);
    if (folder->count >= kMinEntries && watchable && Notify() >= 0) {
      std::string self = "/proc/self/fd/" + std::to_string(fd);
      int wd = ::inotify_add_watch(notify_, self.c_str(), kWatchMask);
      if (wd >= 0 && !ByWatch(wd)) {  // a watch already in use stays with its table
        folder->wd = wd;
        folder->names.clear();
        folder->count = 0;
        ::rewinddir(d);
        ReadNames(d, *folder);
      }
    }
    ::closedir(d);
    found = folder->Find(name);
    return folder;
  }

  // The smallest entry equal to `name` ignoring case, "" when none is.
  static std::string Search(DIR* d, const std::string& name) {
    const std::string folded = AsciiLower(name);
    std::string best;
    while (struct dirent* e = ::readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      if (std::strlen(e->d_name) != name.size() || AsciiLower(e->d_name) != folded) continue;
      if (best.empty() || best > e->d_name) best = e->d_name;
    }
    return best;
  }

  static void ReadNames(DIR* d, Folder& folder) {
    while (struct dirent* e = ::readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      folder.Add(e->d_name);
    }
  }

  // A report on a stamped folder's watch gives it a new stamp; a folder that
  // was removed or moved is forgotten (its next stamp comes from a new watch).
  void Restamp(int wd, bool gone) {
    for (size_t i = 0; i < stamped_.size(); ++i) {
      if (stamped_[i].wd != wd) continue;
      if (!gone) {
        stamped_[i].stamp = ++stamps_;
        return;
      }
      stamped_.erase(stamped_.begin() + long(i));
      if (!ByWatch(wd)) Unwatch(wd);
      return;
    }
  }

  struct Stamped {
    std::string dir;
    int wd;
    long long stamp;
  };
  std::vector<Stamped> stamped_;
  long long stamps_ = 0;

  std::mutex mutex_;
  int notify_ = -1;  // -1 not opened yet, -2 not offered
  bool watch_ = true;
  std::uint64_t clock_ = 0;
  size_t total_ = 0;
  std::vector<std::unique_ptr<Folder>> folders_;
};

Cache& TheCache() {
  static Cache* cache = new Cache;  // never destroyed: look-ups may run during exit
  return *cache;
}

}  // namespace

std::string FindNameNoCase(const std::string& dir, const std::string& name, const struct stat* dirStat) {
  return TheCache().Find(dir, name, dirStat);
}

bool FindKeptNameNoCase(const struct stat& dirStat, const std::string& name, std::string* found) {
  return TheCache().FindKept(dirStat, name, found, false);
}

bool FindKeptName(const struct stat& dirStat, const std::string& name, std::string* found) {
  return TheCache().FindKept(dirStat, name, found, true);
}

bool KeptUnder(const std::string& dir) { return TheCache().KeptUnder(dir); }

void ResetFolderNames(bool watch) { TheCache().Reset(watch); }

long long ChangeStamp(const std::string& dir) { return TheCache().Stamp(dir); }

OneLookUp::OneLookUp() { ++t_lookup.depth; }

OneLookUp::~OneLookUp() {
  if (--t_lookup.depth == 0) t_lookup.drained = false;
}

}  // namespace platform::detail
