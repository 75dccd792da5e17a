// Numbered messages of the procedure index (texts in ovtext.mdb).
#pragma once

namespace procdir::msg {

constexpr int kSizeHandle = 249;       // %d file handle; followed by kSizeUnknown
constexpr int kSeek = 901;             // a seek failed
constexpr int kRead = 902;             // short read, or an entry without its 'L'
constexpr int kNameTaken = 903;        // %s a new name belongs to another entry
constexpr int kWrite = 904;            // a write stored fewer bytes than asked
constexpr int kFileNameField = 907;    // file-name field runs into CR/LF
constexpr int kSizeUnknown = 908;      // the file size cannot be queried
constexpr int kSizeNotRecords = 909;   // size not a multiple of 75
constexpr int kOpenFailed = 911;       // %s path
constexpr int kTooLarge = 915;         // more than 65,536 records
constexpr int kTooManyNames = 916;     // %d name count
constexpr int kBadMode = 917;          // %s mode
constexpr int kCloseFailed = 918;      // %s path
constexpr int kNoNames = 920;          // an entry must carry at least one name
constexpr int kNoFileNumber = 921;     // file number 99,999,999 reached
constexpr int kAlreadyOpen = 922;      // %s %s path asked, path open
constexpr int kEntryTooLong = 923;     // %d first record of an entry past six records
constexpr int kFileNameTooLong = 924;  // %d record of an entry with a long file name
constexpr int kIndexFull = 925;        // 65,536 records: append refused
constexpr int kFileNameNotPlain = 926; // %d %s record of an entry, its file name
constexpr int kIndexIsLink = 927;      // %s path: a symbolic link, never opened
constexpr int kIndexNotFile = 928;     // %s path: a device or a pipe

constexpr int kOpenUnexpected = 2506;  // %s path
constexpr int kFileNotFound = 2531;    // %s path
constexpr int kPathNotFound = 2532;    // %s path
constexpr int kAccessDenied = 2533;    // %s path
constexpr int kWriteProtected = 2534;  // %s path

}  // namespace procdir::msg
