// DOS paths onto host paths through the prefix's dosdevices/ folder, and the
// current directory kept in DOS form.
#include "platform/dos_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/folder_names.h"
#include "platform/host.h"
#include "platform/posix/posix_calls.h"
#include "platform/posix/recent_lookups.h"
#include "platform/types.h"

namespace platform {

namespace {

std::mutex g_mutex;
std::string g_prefix;      // "" until first use
std::string g_currentDos;  // "" until first use

bool IsSep(char c) { return c == '\\' || c == '/'; }

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string JoinHost(const std::string& base, const std::string& name) {
  if (base.empty() || base.back() == '/') return base + name;
  return base + "/" + name;
}

void EnsureLink(const std::string& link, const std::string& target) {
  struct stat st;
  if (::lstat(link.c_str(), &st) != 0) (void)::symlink(target.c_str(), link.c_str());
}

std::string MakePrefix() {
  std::string prefix;
  const char* env = std::getenv("ORVIK_PREFIX");
  if (env && *env) {
    prefix = env;
  } else {
    const char* home = std::getenv("HOME");
    prefix = std::string(home && *home ? home : "/tmp") + "/.orvik";
  }
  while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
  if (prefix.empty() || prefix[0] != '/') {
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd)) prefix = JoinHost(cwd, prefix);
  }
  detail::MakeHostDirs(prefix + "/drive_c/windows/temp");
  detail::MakeHostDirs(prefix + "/dosdevices/unc");
  EnsureLink(prefix + "/dosdevices/c:", "../drive_c");
  EnsureLink(prefix + "/dosdevices/z:", "/");
  return prefix;
}

std::string PrefixLocked() {
  if (g_prefix.empty()) g_prefix = MakePrefix();
  return g_prefix;
}

// A DOS path split into its root and folded components.
struct DosParts {
  bool valid = false;
  bool unc = false;
  char drive = 0;  // upper case
  std::string server, share;
  std::vector<std::string> parts;
};

void AddComponents(const std::string& text, size_t from, std::vector<std::string>& parts) {
  size_t i = from;
  while (i < text.size()) {
    while (i < text.size() && IsSep(text[i])) ++i;
    size_t start = i;
    while (i < text.size() && !IsSep(text[i])) ++i;
    if (i == start) break;
    std::string name = text.substr(start, i - start);
    if (name == ".") continue;
    if (name == "..") {
      if (!parts.empty()) parts.pop_back();  // ".." at a root stays at the root
      continue;
    }
    parts.push_back(name);
  }
}

// Parses an absolute DOS path ("X:\..." or "\\server\share\...").
DosParts ParseAbsolute(const std::string& path) {
  DosParts p;
  if (path.size() >= 2 && IsSep(path[0]) && IsSep(path[1])) {
    std::vector<std::string> comps;
    size_t i = 2;
    // The server and share are plain names, never folded.
    for (int k = 0; k < 2; ++k) {
      while (i < path.size() && IsSep(path[i])) ++i;
      size_t start = i;
      while (i < path.size() && !IsSep(path[i])) ++i;
      if (i == start) return p;
      comps.push_back(path.substr(start, i - start));
    }
    if (comps[0] == "." || comps[0] == ".." || comps[1] == "." || comps[1] == "..") return p;
    p.unc = true;
    p.server = comps[0];
    p.share = comps[1];
    AddComponents(path, i, p.parts);
    p.valid = true;
    return p;
  }
  if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') {
    p.drive = AsciiUpper(path[0]);
    AddComponents(path, 2, p.parts);
    p.valid = true;
  }
  return p;
}

std::string FormatDos(const DosParts& p) {
  std::string out;
  if (p.unc) {
    out = "\\\\" + p.server + "\\" + p.share;
    for (const auto& part : p.parts) out += "\\" + part;
    return out;
  }
  out = std::string(1, p.drive) + ":";
  if (p.parts.empty()) return out + "\\";
  for (const auto& part : p.parts) out += "\\" + part;
  return out;
}

std::string CurrentDosLocked();

// Parses any DOS path against the current directory.
DosParts Parse(const std::string& path) {
  if (path.empty()) return {};
  if ((path.size() >= 2 && IsSep(path[0]) && IsSep(path[1]))) return ParseAbsolute(path);
  std::string current;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    current = CurrentDosLocked();
  }
  DosParts cur = ParseAbsolute(current);
  if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') {
    if (path.size() > 2 && IsSep(path[2])) return ParseAbsolute(path);
    // "X:name": relative to the current directory when it is on X, else to X's root.
    DosParts p;
    p.drive = AsciiUpper(path[0]);
    if (!cur.unc && cur.drive == p.drive) p.parts = cur.parts;
    AddComponents(path, 2, p.parts);
    p.valid = true;
    return p;
  }
  if (IsSep(path[0])) {
    cur.parts.clear();  // "\x": the root of the current drive or share
    AddComponents(path, 1, cur.parts);
    return cur;
  }
  AddComponents(path, 0, cur.parts);
  return cur;
}

// Finds `name` in host folder `dir`: exact first, then ignoring ASCII case
// (the smallest such name, so the choice is stable). Empty when missing.
std::string MatchOtherCase(const std::string& dir, const std::string& name, const struct stat* dirStat = nullptr);

std::string MatchComponent(const std::string& dir, const std::string& name) {
  struct stat st;
  if (::lstat(JoinHost(dir, name).c_str(), &st) == 0) return name;
  return MatchOtherCase(dir, name);
}

// MatchComponent once `name` is known to be missing in its exact spelling;
// `dirStat`, when given, is what stat says of `dir` now.
std::string MatchOtherCase(const std::string& dir, const std::string& name, const struct stat* dirStat) {
  // A large folder's kept names answer at once (the smallest variant).
  std::string kept;
  if (dirStat && detail::FindKeptNameNoCase(*dirStat, name, &kept)) return kept;
  struct stat st;
  // The all-capitals spelling is the smallest of the case variants, so when
  // it exists it is the answer; media and installers mostly use it.
  std::string upper = AsciiUpper(name);
  if (upper != name && ::lstat(JoinHost(dir, upper).c_str(), &st) == 0) return upper;
  return detail::FindNameNoCase(dir, name, dirStat);
}

std::string RealPathOf(const std::string& path) {
  char buf[PATH_MAX];
  if (::realpath(path.c_str(), buf)) return buf;
  return "";
}

// What each drive or share link resolved to, by the link's host path, with
// the link's text then. Resolving a link walks and reads every component of
// its path; a link whose text is unchanged and whose folder is still there
// resolves the same way, which one readlink tells, and the folder's being
// there either the path looked up under it or one stat. Where the links'
// folder reports its changes, an unchanged change stamp tells it without
// the readlink (a link's text changes only by replacing the link).
struct ResolvedLink {
  std::string text;
  std::string real;
  long long stamp = -1;  // of the links' folder when the text was read
};
std::unordered_map<std::string, ResolvedLink> g_links;  // guarded by g_mutex

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// True when the folder a link resolved to before may be answered again:
// unchecked when the caller allows (and is told), else when it is there.
bool Usable(const std::string& known, bool* unchecked) {
  if (known.empty()) return false;
  if (!unchecked) return IsFolder(known);
  *unchecked = true;
  return true;
}

// The real path of the drive or share link `link`, or the link itself when
// it cannot be resolved; "" when there is no such link. With `unchecked`,
// a folder known from an earlier call is returned without checking that it
// is still there, and *unchecked tells whether that was done.
std::string ResolveRootLink(const std::string& link, bool* unchecked = nullptr) {
  if (unchecked) *unchecked = false;
  const size_t slash = link.find_last_of('/');
  const long long stamp = slash == std::string::npos ? -1 : detail::ChangeStamp(link.substr(0, slash));
  std::string known;
  if (stamp >= 0) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_links.find(link);
    if (it != g_links.end() && it->second.stamp == stamp) known = it->second.real;
  }
  if (Usable(known, unchecked)) return known;
  char text[PATH_MAX];
  const ssize_t length = ::readlink(link.c_str(), text, sizeof text);
  if (length < 0 || size_t(length) >= sizeof text) {
    // Not a link (a plain folder serves as well) or not there at all.
    struct stat st;
    if (::lstat(link.c_str(), &st) != 0) return "";
    std::string real = RealPathOf(link);
    return real.empty() ? link : real;
  }
  const std::string target(text, size_t(length));
  known.clear();
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_links.find(link);
    if (it != g_links.end() && it->second.text == target) {
      known = it->second.real;
      it->second.stamp = stamp;
    }
  }
  if (Usable(known, unchecked)) return known;
  std::string real = RealPathOf(link);
  if (real.empty()) return link;
  if (IsFolder(real)) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_links[link] = {target, real, stamp};
  }
  return real;
}

// Host folder that a drive letter or a share stands for; "" when unmapped.
// `unchecked` as for ResolveRootLink.
std::string RootHostDir(const DosParts& p, bool* unchecked = nullptr) {
  std::string prefix;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    prefix = PrefixLocked();
  }
  std::string link;
  if (p.unc) {
    std::string unc = prefix + "/dosdevices/unc";
    std::string server = MatchComponent(unc, p.server);
    if (server.empty()) return "";
    std::string share = MatchComponent(JoinHost(unc, server), p.share);
    if (share.empty()) return "";
    link = JoinHost(JoinHost(unc, server), share);
  } else {
    link = prefix + "/dosdevices/" + std::string(1, AsciiLower(p.drive)) + ":";
  }
  return ResolveRootLink(link, unchecked);
}

std::string HostPathOf(const DosParts& p) {
  if (!p.valid) return "";
  detail::OneLookUp lookUp;
  bool unchecked = false;
  std::string host = RootHostDir(p, p.parts.empty() ? nullptr : &unchecked);
  if (host.empty() || p.parts.empty()) return host;
  // Most paths are spelled as on the disk. When the whole path, or its
  // folder, exists as typed, every component on the way matches in its exact
  // spelling, as the walk below would find one by one (and the drive's
  // folder is there).
  std::string folder = host;
  for (size_t i = 0; i + 1 < p.parts.size(); ++i) folder = JoinHost(folder, p.parts[i]);
  const std::string& last = p.parts.back();
  // What the lstats tell is noted for the host call under way.
  struct stat st;
  const std::string full = JoinHost(folder, last);
  // A large folder's kept listing answers without a look-up in the folder:
  // one for a missing name waits while another thread creates or renames
  // in that folder.
  std::string kept;
  if (detail::KeptUnder(folder) && ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
      detail::FindKeptName(st, last, &kept)) {
    detail::RecentLookups::Note(folder, 0, &st);
    if (!kept.empty()) return JoinHost(folder, kept);
    detail::RecentLookups::Note(full, ENOENT, nullptr);
    return full;
  }
  if (::lstat(full.c_str(), &st) == 0) {
    detail::RecentLookups::Note(full, 0, &st);
    return full;
  }
  if (errno == ENOENT && ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    detail::RecentLookups::Note(folder, 0, &st);
    std::string found = MatchOtherCase(folder, last, &st);
    if (found.empty()) detail::RecentLookups::Note(full, ENOENT, nullptr);
    return JoinHost(folder, found.empty() ? last : found);
  }
  if (unchecked) host = RootHostDir(p);
  if (host.empty()) return "";
  bool exists = true;
  for (const auto& part : p.parts) {
    if (exists) {
      std::string found = MatchComponent(host, part);
      if (found.empty()) {
        exists = false;  // a missing component keeps the case as typed
        found = part;
      }
      host = JoinHost(host, found);
    } else {
      host = JoinHost(host, part);
    }
  }
  return host;
}

// Lexically folds "." and ".." of an absolute host path.
std::string FoldHost(const std::string& path) {
  std::vector<std::string> parts;
  size_t i = 0;
  while (i < path.size()) {
    while (i < path.size() && path[i] == '/') ++i;
    size_t start = i;
    while (i < path.size() && path[i] != '/') ++i;
    if (i == start) break;
    std::string name = path.substr(start, i - start);
    if (name == ".") continue;
    if (name == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(name);
  }
  std::string out;
  for (const auto& part : parts) out += "/" + part;
  return out.empty() ? "/" : out;
}

// realpath of the longest existing ancestor, with the missing rest appended.
std::string ResolveHost(const std::string& absolute) {
  std::string path = FoldHost(absolute);
  std::string rest;
  while (true) {
    std::string real = RealPathOf(path);
    if (!real.empty()) return rest.empty() ? real : JoinHost(real, rest);
    if (path == "/") return "/" + rest;
    size_t slash = path.find_last_of('/');
    std::string name = path.substr(slash + 1);
    rest = rest.empty() ? name : name + "/" + rest;
    path = slash == 0 ? "/" : path.substr(0, slash);
  }
}

std::string DosPathLocked(const std::string& hostPath) {
  if (hostPath.empty()) return "";
  std::string absolute = hostPath;
  if (absolute[0] != '/') {
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return "";
    absolute = JoinHost(cwd, absolute);
  }
  std::string resolved = ResolveHost(absolute);
  std::string prefix = PrefixLocked();
  char bestDrive = 0;
  size_t bestLength = 0;
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    std::string target = RealPathOf(prefix + "/dosdevices/" + std::string(1, letter) + ":");
    if (target.empty()) continue;
    size_t length = target == "/" ? 0 : target.size();
    bool covers = target == "/" || resolved == target ||
                  (resolved.compare(0, target.size(), target) == 0 && resolved[target.size()] == '/');
    if (!covers) continue;
    if (bestDrive == 0 || length > bestLength) {
      bestDrive = AsciiUpper(letter);
      bestLength = length;
    }
  }
  if (bestDrive == 0) return "";
  std::string rest = resolved.substr(bestLength);
  std::string out = std::string(1, bestDrive) + ":\\";
  for (char c : rest) {
    if (c == '/') {
      if (out.back() != '\\') out += '\\';
    } else {
      out += c;
    }
  }
  if (out.size() > 3 && out.back() == '\\') out.pop_back();
  return out;
}

std::string CurrentDosLocked() {
  if (g_currentDos.empty()) {
    char cwd[PATH_MAX];
    std::string dos;
    if (::getcwd(cwd, sizeof cwd)) dos = DosPathLocked(cwd);
    g_currentDos = dos.empty() ? "C:\\" : dos;
  }
  return g_currentDos;
}

}  // namespace

std::string PrefixDir() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return PrefixLocked();
}

void ResetPlatformForTesting() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_prefix.clear();
  g_currentDos.clear();
  g_links.clear();
  detail::ResetFolderNames();
}

std::string HostPath(const std::string& dosPath) { return HostPathOf(Parse(dosPath)); }

std::string DosPath(const std::string& hostPath) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return DosPathLocked(hostPath);
}

std::string FullDosPath(const std::string& dosPath) {
  DosParts p = Parse(dosPath);
  return p.valid ? FormatDos(p) : "";
}

char* posix::_getcwd(char* buf, int size) {
  std::string current;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    current = CurrentDosLocked();
  }
  if (!buf || size <= 0 || current.size() + 1 > size_t(size)) {
    detail::SetCrtErrno(34);  // ERANGE
    return nullptr;
  }
  std::memcpy(buf, current.c_str(), current.size() + 1);
  return buf;
}

int posix::_chdir(const char* dosPath) {
  DosParts p = Parse(dosPath ? dosPath : "");
  std::string host = HostPathOf(p);
  struct stat st;
  if (host.empty() || ::stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    detail::SetCrtErrno(CRT_ENOENT);
    return -1;
  }
  if (::chdir(host.c_str()) != 0) {
    detail::SetCrtErrno(detail::CrtErrnoFromHost(errno));
    return -1;
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  g_currentDos = FormatDos(p);
  return 0;
}

bool MapDrive(char letter, const std::string& hostTarget) {
  if (!IsLetter(letter) || hostTarget.empty()) return false;
  std::string target = hostTarget;
  if (target[0] != '/') {
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return false;
    target = JoinHost(cwd, target);
  }
  std::string link = PrefixDir() + "/dosdevices/" + std::string(1, AsciiLower(letter)) + ":";
  struct stat st;
  if (::lstat(link.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode) || ::unlink(link.c_str()) != 0) return false;
  }
  return ::symlink(target.c_str(), link.c_str()) == 0;
}

bool UnmapDrive(char letter) {
  if (!IsLetter(letter)) return false;
  std::string link = PrefixDir() + "/dosdevices/" + std::string(1, AsciiLower(letter)) + ":";
  struct stat st;
  return ::lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::unlink(link.c_str()) == 0;
}

bool MapShare(const std::string& server, const std::string& share, const std::string& hostTarget) {
  if (server.empty() || share.empty() || hostTarget.empty()) return false;
  if (server.find('/') != std::string::npos || share.find('/') != std::string::npos) return false;
  std::string target = hostTarget;
  if (target[0] != '/') {
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return false;
    target = JoinHost(cwd, target);
  }
  std::string dir = PrefixDir() + "/dosdevices/unc/" + server;
  if (!detail::MakeHostDirs(dir)) return false;
  std::string link = dir + "/" + share;
  struct stat st;
  if (::lstat(link.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode) || ::unlink(link.c_str()) != 0) return false;
  }
  return ::symlink(target.c_str(), link.c_str()) == 0;
}

std::string detail::CurrentHostDir() {
  std::string current;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    current = CurrentDosLocked();
  }
  return HostPathOf(ParseAbsolute(current));
}

}  // namespace platform
