// The "Files" and "Protection Files" sections: copying the product's files with their
// attributes and overwrite rules, diskette changes, the disk-space check before the
// install, the file record of the change log and its undoing at uninstall.
#pragma once

#include "log/zynlog.h"
#include "script/errcodes.h"

inline constexpr int LOGFILE_COLUMNS = 13;
inline constexpr int LOGFILE_TOKEN_SIZE = 256;
inline constexpr int LOGFILE_DESTINATION_SIZE = 2600;
inline constexpr unsigned LOGFILE_SEARCH_MASK = 0x86;
inline constexpr char LOGFILE_KEY[] = "Files";

// The section handler of "Files" and "Protection Files": action 1 installs, action 2
// is the exclusivity test (-605 for a destination outside $(DestinationDirectory)),
// any other action is fatal (-606). Install returns 0 or 100 (cancelled); every
// other failure is fatal.
int LOGFILE_Install(int demo_id, const char* section, int action);
// Records path as installed by demo_id: under the current demo's "Files" key when it
// lies in $(DestinationDirectory), else under "Common"\"Files" with a demo id list.
// Failures are fatal; returns 0.
int LOGFILE_RecordFile(int demo_id, const char* path);
// Totals what the Files sections will copy and compares it, with $(ExtraSpace), to the
// free space of the destination drive: 0, or the failure (-1104 too little room) after
// telling the user.
int LOGFILE_CheckDiskSpace();
// Undoes the records of a "Files" key for demo_id (the demo's key or "Common"). 0;
// log failures are fatal.
int LOGFILE_Uninstall(ZYNLOG_KEY key, int demo_id);
// Makes sure a file matching source (a buffer of size bytes) exists, asking for
// diskette disk until it does; the path then names the directory the user gave.
// 0, 100 when the user gave up, -801 when the new path does not fit.
int LOGFILE_FindSource(int disk, char* source, int size);
