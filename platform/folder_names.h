// Case-blind name look-up in host folders, with the listings of large folders
// kept between calls; not part of the platform's interface.
#pragma once
#include <string>

struct stat;

namespace platform::detail {

// The entry of host folder `dir` whose name equals `name` ignoring ASCII case;
// when several do, the smallest of them (byte order), so the choice is stable.
// "" when none does or the folder cannot be read. A kept listing is used only
// while it is known to match the folder: changes made by any process show at
// once. `dirStat`, when given, is what stat says of `dir` at the call.
std::string FindNameNoCase(const std::string& dir, const std::string& name, const struct stat* dirStat = nullptr);

// FindNameNoCase answered from a kept listing alone: false, without looking
// at the folder, when none of the folder `dirStat` describes is kept.
bool FindKeptNameNoCase(const struct stat& dirStat, const std::string& name, std::string* found);

// A number that changes whenever an entry of host folder `dir` is created,
// removed or renamed, by any process, and stays the same otherwise; -1 when
// that cannot be known (no change notifications there), so nothing may be
// assumed. Reports are read before the answer: a change made before the call
// always shows.
long long ChangeStamp(const std::string& dir);

// FindKeptNameNoCase, but `name` itself when the folder holds it in that
// spelling: the answer of an exact look-up, without looking into the folder.
bool FindKeptName(const struct stat& dirStat, const std::string& name, std::string* found);
// True when a listing of a folder that was at host path `dir` is kept; only
// a hint that FindKeptName may answer (the folder there may be another now).
bool KeptUnder(const std::string& dir);

// While one lives on a thread, the calls above read the change reports only
// once: a path's look-up, component by component, sees the folders as they
// were when it began.
class OneLookUp {
 public:
  OneLookUp();
  ~OneLookUp();
  OneLookUp(const OneLookUp&) = delete;
  OneLookUp& operator=(const OneLookUp&) = delete;
};

// Forgets every kept listing. With `watch` false, kept listings are checked
// against the folder's times alone instead of change notifications (tests run
// both ways).
void ResetFolderNames(bool watch = true);

}  // namespace platform::detail
