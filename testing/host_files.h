// Host files for tests: whole-file reads and writes, trees made and removed.
#pragma once
#include <string>
#include <vector>

namespace orvik_testing {

// The whole file, or "" when it cannot be read.
std::string ReadFile(const std::string& hostPath);
// Writes `contents` to the host file, making its folders; throws when it cannot.
void WriteFile(const std::string& hostPath, const std::string& contents);
// True when an entry of that name exists (a dangling link included).
bool Exists(const std::string& hostPath);
void MakeDirs(const std::string& hostPath);
// Removes a host tree, making folders writable first; links are not followed.
void RemoveTree(const std::string& hostPath);
// Sets a host file's permission bits (0755, 0444 ...). On Windows a file
// without write bits is read-only and the others do nothing.
void ChangeMode(const std::string& hostPath, unsigned bits);
// True when the file's owner may write it (Windows: not read-only).
bool OwnerWritable(const std::string& hostPath);
// Names in a host folder, sorted ("." and ".." left out).
std::vector<std::string> HostNames(const std::string& folder);
// The lines of `text` without their line ends.
std::vector<std::string> Lines(const std::string& text);
// The lines, each followed by "\n".
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace orvik_testing
