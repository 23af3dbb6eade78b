// The Registry32 section: keys added and deleted, values set and deleted, with whatever
// is overwritten or deleted kept as a backup key or value beside it, and the records of
// all demos under "Common" \ "Reg32", mirroring the registry paths.
#pragma once

#include <windows.h>

#include "log/zynlog.h"
#include "sections/logreg_text.h"

inline constexpr char LOGREG_KEY[] = "Reg32";
inline constexpr char LOGREG_DEFAULT_VALUE[] = "(Default)";

int LOGREG_Install(int demo_id, const char* section, int action);
// One line's whole install-time work; the arguments after the id are the expanded columns.
int LOGREG_ChangeRegistry(int demo_id, const char* operation, const char* key_path, const char* data_type,
                          const char* value_name, const char* value_data, const char* uninstall,
                          const char* install);
// Replays the "Reg32" key of "Common" for demo_id.
int LOGREG_Uninstall(ZYNLOG_KEY key, int demo_id);

// With a null parent, name is one of the six root names (-1803 otherwise); else the
// sub-key is opened (-1807) or created (-1808). Root handles must not be closed.
int LOGREG_OpenKey(HKEY parent, const char* key_class, const char* name, int create, HKEY* key);
// In these four a null log key means the line is not recorded. CreateKey returns the key
// open (the caller closes it) with its log key; both stay null for an empty name.
int LOGREG_CreateKey(HKEY parent, ZYNLOG_KEY parent_log, const char* name, HKEY* key, ZYNLOG_KEY* log_key);
int LOGREG_DeleteKey(HKEY parent, ZYNLOG_KEY parent_log, const char* name);
int LOGREG_SetValue(HKEY key, ZYNLOG_KEY log_key, const char* value_name, const char* data, const char* type,
                    const char* operation);
int LOGREG_DeleteValue(HKEY key, ZYNLOG_KEY log_key, const char* value_name);
// Undoes the records of the current demo below the log key name of parent_log, where
// parent (null at the top: name is a root name) is the registry key that stands for it.
int LOGREG_UndoWalk(HKEY parent, ZYNLOG_KEY parent_log, const char* name);
int LOGREG_CopyKeyTree(HKEY source, HKEY target);
int LOGREG_DeleteKeyTree(HKEY parent, const char* name);
int LOGREG_WriteValue(HKEY key, const char* value_name, const char* type, const char* data);
int LOGREG_CopyValue(HKEY key, const char* source_name, HKEY target, const char* target_name);
// Deletes the value; "(Default)" is emptied instead.
int LOGREG_RemoveValue(HKEY key, const char* value_name);
