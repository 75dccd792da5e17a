// Resource ids of the bootstrap (kelmar_setup), shared by its template and
// its window.
#pragma once

constexpr int IDD_STAGING = 102;       // "Setup - Creating Temporary Files"
constexpr int IDI_SETUP = 128;         // the application icon, also the window's icon control
constexpr int IDC_STAGING_BAR = 1000;  // progress 0 to 100

// Text of the bootstrap's box when the staging folder cannot be made.
inline constexpr const char* kNoStagingFolder = "Failure creating folder in the temporary folder.";
