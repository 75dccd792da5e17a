// The host as DOS paths: a prefix folder whose dosdevices/ map drive letters
// (and \\server\share via dosdevices/unc/) onto host folders.
#pragma once
#include <string>

namespace platform {

// Host folder of the prefix: $ORVIK_PREFIX, else $HOME/.orvik. Created on
// first use with drive_c/, drive_c/windows/temp/, dosdevices/c: -> ../drive_c
// and dosdevices/z: -> /.
std::string PrefixDir();

// Forgets the cached prefix and current directory so that the next call reads
// the environment again (tests switch prefixes).
void ResetPlatformForTesting();

// Maps a DOS path (absolute, drive-relative, UNC or relative to the current
// directory) onto a host path. Existing components are matched without regard
// to ASCII case; missing ones keep the case as typed. Returns "" when the
// drive or share is not mapped.
std::string HostPath(const std::string& dosPath);

// Maps a host path back to a DOS path through the drive whose target is the
// longest prefix of it. Returns "" when no drive covers it.
std::string DosPath(const std::string& hostPath);

// Normalised absolute DOS form of a path ("C:\orvik\proc", "\\srv\share\x"),
// resolved against the current directory; "." and ".." are folded.
std::string FullDosPath(const std::string& dosPath);

// Current directory, kept in DOS form and mirrored on the host.
// _getcwd copies it into buf (at most size-1 characters) and returns buf,
// or nullptr when it does not fit or is unknown. _chdir returns 0 or -1.
char* _getcwd(char* buf, int size);
int _chdir(const char* dosPath);

// Maps drive `letter` onto host folder `hostTarget` in the prefix
// (dosdevices/<letter>: symlink; on Windows the session's drive letter),
// replacing an earlier mapping. Used by tools and tests.
bool MapDrive(char letter, const std::string& hostTarget);
// Removes the mapping MapDrive made.
bool UnmapDrive(char letter);

// Maps \\server\share onto host folder `hostTarget`
// (dosdevices/unc/<server>/<share> symlink). Used by tools and tests.
bool MapShare(const std::string& server, const std::string& share, const std::string& hostTarget);

}  // namespace platform
