// Diskette changes: the names of the diskettes from the script's [Disks] section and
// the "DLG_DISKETTE" prompt that asks for the one holding a missing source file.
#pragma once

#include <string>
#include <string_view>

#include "script/errcodes.h"

inline constexpr char NEXTDISK_FIELD_NAME[] = "Diskette Path";

// Reads [Disks] into the name table. The script has one read position, so callers
// load the table before they position the reader on their own section. A script
// without [Disks] gives an empty table: 0; otherwise a reader code.
int NEXTDISK_LoadDiskNames();
// The name of diskette number: the [Disks] entry whose key is that number, else
// $(ApplicationName), a blank and the number.
std::string NEXTDISK_GetDiskName(int number);
// Shows "DLG_DISKETTE" for the diskette and the file looked for until the user gives
// a usable path (then $(SourceDirectory) holds it: 1) or confirms giving up (2).
int NEXTDISK_Prompt(const char* disk_name, const char* file);

// --- portable decisions (nextdisk_text.cpp) ---

// One "number = name" line of [Disks], blanks trimmed on both sides of both parts;
// false for a line without "=".
bool NEXTDISK_ParseDiskLine(std::string_view line, std::string* number, std::string* name);
// A diskette path as typed: trailing blanks, and blanks before a final backslash, are
// removed in place; then it must begin with a drive letter and colon (a bare drive is
// fine) or "\\", hold only letters, digits and the characters !@#^_-\.~ ()[], and
// have no empty component. 1 usable, 0 not.
int NEXTDISK_IsValidPath(std::string& path);
