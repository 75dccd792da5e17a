#include "installer/selection/conflict_check.h"

#include <cstring>
#include <string>

#include "installer/procdir/procdir_entry.h"
#include "installer/selection/conflict_dialogs.h"
#include "installer/selection/names_text.h"
#include "text/text.h"

namespace selection {
namespace {

// A descriptor carrying the one name `name`, cut to the index's 55 characters.
void SetSingleName(procdir::ProcDirEntry& entry, const std::string& name) {
  std::memset(&entry, 0, sizeof entry);
  entry.nameCount = 1;
  std::size_t length = name.size() < procdir::PROCDIR_NAME_LENGTH ? name.size() : procdir::PROCDIR_NAME_LENGTH;
  std::memcpy(entry.names[0], name.data(), length);
}

// The names of an installed entry, CR LF after each.
std::string InstalledNames(const procdir::ProcDirEntry& entry) {
  int count = entry.nameCount < procdir::PROCDIR_MAX_NAMES ? entry.nameCount : procdir::PROCDIR_MAX_NAMES;
  return LinesOf(entry.names, count);
}

}  // namespace

int CheckProcConflicts(platform::HFILE index, const catalogue::StringList& aliases, std::uint8_t& alwaysOverwrite,
                       ui::Dialog* owner) {
  int result = 1;
  int looked = 0;  // names looked up
  int found = 0;   // names found installed
  bool stop = false;
  procdir::ProcDirEntry installed;  // the entry of the first name found
  std::memset(&installed, 0, sizeof installed);
  procdir::ProcDirEntry entry;

  for (const std::string& alias : aliases) {
    if (stop) break;
    ++looked;
    SetSingleName(entry, alias);
    if (procdir::ProcDirFind(index, entry) == 0) {
      errp(9222);
      continue;  // counted as not installed
    }
    if ((entry.flags & procdir::PD_EXISTS) == 0) continue;
    if (found == 0) {
      installed = entry;
      if (aliases.GetCount() != installed.nameCount) {
        stop = true;
        result = AskNameConflict1(owner, InstalledNames(installed), LinesOf(aliases));
      }
    } else if (std::strncmp(entry.fileName, installed.fileName, sizeof entry.fileName) != 0) {
      stop = true;
      ShowNameConflict2(owner, LinesOf(aliases));
      result = 0;
    }
    ++found;
  }

  if (!stop && found != 0) {
    if (found == looked) {
      // Every name installed, in one entry of as many names: the same procedure.
      result = alwaysOverwrite ? 1 : AskConfirmOverwrite(owner, alwaysOverwrite);
    } else {
      result = AskNameConflict1(owner, InstalledNames(installed), LinesOf(aliases));
    }
  }
  return result;
}

}  // namespace selection
