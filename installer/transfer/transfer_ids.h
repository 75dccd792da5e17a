// Resource ids of the transfer windows.
#pragma once

namespace xfer {

constexpr int IDD_COPY_PROGRESS = 1046;
constexpr int IDD_DISK_SPACE = 1047;
constexpr int IDD_INSERT_DISK = 1048;

// CopyProgressDlg
constexpr int IDC_COPY_HEADING = 1037;
constexpr int IDC_COPY_LABEL = 1038;
constexpr int IDC_COPY_FILE = 1039;
constexpr int IDC_COPY_PROGRESS = 1015;
constexpr int kProgressTimer = 4322;
constexpr unsigned kProgressTimerMs = 10;

// DiskSpaceDlg
constexpr int IDC_REQUIRED_SPACE = 1012;

// InsertDiskDlg
constexpr int IDC_INSERT_PROMPT = 1040;

}  // namespace xfer
