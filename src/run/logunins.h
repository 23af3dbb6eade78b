// The uninstall proper: unins.ini names the demo and its change log; the demo's records
// and the shared "Common" records are replayed through the uninstall handlers, one per
// record key, registry and other settings before files; the demo is then released and
// the log saved, or dropped with its last demo. Also the uninstall's progress count.
#pragma once

#include "log/zynlog.h"
#include "script/errcodes.h"

inline constexpr int LOGUNINS_PATH_SIZE = 260;
inline constexpr char LOGUNINS_INFO_FILE[] = "unins.ini";
inline constexpr char LOGUNINS_WORK_FILE[] = "Z_Y_N_T_.TMP";  // in the Windows directory
inline constexpr int LOGUNINS_AUTOSAVE = 30;

// Undoes the records under key (a section's key in the change log) for demo_id and
// deletes each record undone. 0 or a negative code.
using LOGUNINS_HANDLER = int (*)(ZYNLOG_KEY key, int demo_id);
struct LOGUNINS_ENTRY {
    const char* keyName;
    LOGUNINS_HANDLER handler;
};

// Replays the records of the demo named by unins.ini in $(UninstallDirectory), tells
// the user the outcome and saves what is left of the log. 0 or an error code.
int LOGUNINS_Run();
// Reads unins.ini: the log path (a buffer of LOGUNINS_PATH_SIZE bytes) and the demo id;
// [VARS] UninstallCleanDirs becomes the variable of that name. -1902 (after telling
// the user) when the id or the log is missing.
int LOGUNINS_ReadInfo(char* log_path, int* demo_id);
// The two-pass replay of one top-level key of the log through the uninstall handlers,
// for the demo of this run. -207 when there is no such key.
int LOGUNINS_ReplayKey(ZYNLOG_KEY parent, const char* key_name);

// Starts a new count: total steps planned (0 counts as 1), none done.
void LOGUNINS_SetProgressTotal(int total);
// Adds steps done and shows done * 100 / total.
void LOGUNINS_Progress(int steps);

// --- the log-tree part (logunins_text.cpp) ---

// 1 for the keys replayed in the first pass (those that must be undone before any
// file goes: registry, DLL registrations, launches, INI settings).
int LOGUNINS_IsFirstPassKey(const char* key_name);
// LOGUNINS_ReplayKey with an explicit handler table and demo: in each pass the sub-keys
// of that pass in the order first written; a sub-key name not in the table stops the
// replay with -1903, a failing handler with its code; sub-keys emptied are removed.
int LOGUNINS_ReplayKeyWith(ZYNLOG_KEY parent, const char* key_name, int demo_id, const LOGUNINS_ENTRY* table,
                           int count);
// Number of values in key and every key below it.
int LOGUNINS_CountValues(ZYNLOG_KEY key);
// 1 when demo_id is registered in "HEADER" and no other demo is.
int LOGUNINS_IsOnlyDemo(int demo_id);
