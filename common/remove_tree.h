// Recursive removal of folders, shared by the installer and the bootstrap.
#pragma once

namespace common {

// Removes `folder` (with or without a trailing backslash) and everything in
// it: read-only files are made writable and deleted, sub-folders are removed
// recursively, files with the system attribute stay. Symbolic links are
// removed as entries and never followed. Returns 0 when the folder is gone,
// -1 otherwise. `quiet` suppresses this call's own boxes about the listing
// and the folder removal; nested folders and file deletions always report.
int RemoveDirectoryTree(const char* folder, int quiet);
// Clears the read-only attribute of a file and deletes it; 0 or -1.
int DeleteFileForced(const char* path);

}  // namespace common
