// Process set-up shared by the fuzz targets: a private prefix on a memory
// file system, a frontend that answers every box from the input, and the
// message text service showing its messages through that frontend.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Makes the prefix and installs the frontend; only the first call does work.
void PrepareHost();
// Host path of the prefix (PrepareHost first).
const std::string& PrefixHost();

// The answers for the boxes of the next run: each box takes one byte and
// picks one of the answers it offers; once they are used up every box gets
// the answer that gives up (Cancel, No, Abort), so no retry loop goes on.
void SetBoxAnswers(std::string answers);
// Boxes shown since the last SetBoxAnswers.
int BoxesShown();

// Replaces the contents of the host file `path` (one write, no rename: the
// fuzz files are scratch).
void WriteScratch(const std::string& path, const std::uint8_t* data, std::size_t size);
std::string ReadScratch(const std::string& path);

// Stops the run with a message when an invariant does not hold.
[[noreturn]] void Broken(const std::string& what);
inline void Check(bool holds, const std::string& what) {
  if (!holds) Broken(what);
}

}  // namespace fuzz
