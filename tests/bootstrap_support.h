// A medium for bootstrap tests: the nine files setup.exe stages, each with
// its own recognisable contents, and stand-ins for the installer and the
// clean-up program that only note how they were started (tests/stand_in_program).
#pragma once
#include <string>
#include <vector>

#include "testing/program_runner.h"

namespace bootstrap_test {

// The files the bootstrap copies, in its order; ov_clean.exe goes to the
// temporary folder itself, the others into the staging folder.
const std::vector<std::string>& StagedNames();

// Writes the medium into `folder` with `setupProgram` (a host path) as
// `setupName`. The stand-in installer, when run, writes its arguments (each
// followed by "|") to <notes>/installer_args and its working folder to
// <notes>/installer_cwd; `notes` reaches it through this process's
// environment.
void MakeStubMedium(const std::string& folder, const std::string& setupProgram, const std::string& notes,
                    const std::string& setupName = "setup.exe");

// Makes every file of `folder` read-only (as on a CD), keeping the x bits.
void MakeReadOnly(const std::string& folder);


using orvik_testing::LinesStartingWith;
using orvik_testing::OwnerWritable;
using orvik_testing::Quoted;

}  // namespace bootstrap_test
