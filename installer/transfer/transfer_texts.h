// The plain texts of the transfer (the numbered ones live in ovtext.mdb) and
// the boxes that show them.
#pragma once
#include <string>

namespace transfer {

inline constexpr const char* kListLocationFormat = "orvik.lst location: %s";
inline constexpr const char* kListNotWritableFormat = "%s : file could not be opened for writing.";
inline constexpr const char* kKeyNotFound = "Key values not found in ORVIK.LST";
inline constexpr const char* kInsertDiskFormat = "Please insert %s";
inline constexpr const char* kCopyingDiskFormat = "Copying Disk #%d";
inline constexpr const char* kFileLabel = "File:";
// Names that cannot be a file in a target folder, and entries of an unknown
// kind, are refused instead of being copied.
inline constexpr const char* kNameRefusedFormat =
    "%s : not a plain file name; the file is not transferred.";
inline constexpr const char* kKindUnknownFormat =
    "%s : unknown kind of file in ORVIK.LST; the file is not transferred.";

// `format` with each "%s" / "%d" replaced in turn by the values given.
std::string FormatText(const std::string& format, const std::string& value);
std::string FormatText(const std::string& format, const std::string& first,
                       const std::string& second);
std::string FormatNumber(const std::string& format, int value);

// A box with OK and the installer's caption.
void ShowPlain(const std::string& text);
// Numbered message `number` fetched from the text service, shown as it is or
// filled with the values given, in an OK box.
void ShowNumbered(int number);
void ShowNumbered(int number, const std::string& value);
void ShowNumbered(int number, const std::string& first, const std::string& second);
// Numbered message `number` asked as a Yes/No question; true for Yes.
bool AskNumbered(int number);

}  // namespace transfer
