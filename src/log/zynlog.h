// The change log store: a tree of keys with case-insensitive names holding string
// values, kept in memory and written to one text file. Keys and values keep the
// order in which they were first created, in enumeration and in the file.
#pragma once

#include "script/errcodes.h"

struct ZYNLOG_KEY_NODE;
// A key handle: the address of its node, valid until that key or one above it is
// deleted or the store is terminated.
using ZYNLOG_KEY = ZYNLOG_KEY_NODE*;

// The root of the tree ("ZYNLOG_ROOT_KEY"); the parent of the top-level keys.
extern ZYNLOG_KEY const ZYNLOG_ROOT_KEY;

inline constexpr int ZYNLOG_MAX_FILENAME = 260;  // names of this length or longer are refused
inline constexpr int ZYNLOG_MAX_KEY_NAME = 512;  // key names must be shorter than this
inline constexpr int ZYNLOG_DEFAULT_AUTOSAVE = 30;

// Sets the file (null: an in-memory log that is never written) and the autosave
// interval, loads the file (creating it empty if missing) and merges it into the tree.
// -203 name of 260 or more characters, -214 its directory is missing, or the load's code.
// Registers ZYNLOG_Terminate on the clean-up list in every case.
int ZYNLOG_Init(const char* file_name, int autosave_interval);
// Saves, then empties the tree. A failed save is returned and leaves everything as it was.
int ZYNLOG_Terminate();
int ZYNLOG_SetFileName(const char* file_name);
int ZYNLOG_GetFileName(char* buffer, int size);  // -202 none set, -201 does not fit
int ZYNLOG_Save();                               // 0 without a file name; -204 or a SYS code
int ZYNLOG_IsInitialized();

// Every operation taking a key returns -213 for a null key.
int ZYNLOG_CreateKey(ZYNLOG_KEY parent, const char* name, ZYNLOG_KEY* key);  // finds or appends
int ZYNLOG_OpenKey(ZYNLOG_KEY parent, const char* name, ZYNLOG_KEY* key);    // -207 if none
int ZYNLOG_CloseKey(ZYNLOG_KEY key);
int ZYNLOG_DeleteKey(ZYNLOG_KEY parent, const char* name);  // with everything below it; -207
int ZYNLOG_SetValue(ZYNLOG_KEY key, const char* name, const char* data);
int ZYNLOG_GetValue(ZYNLOG_KEY key, const char* name, char* buffer, int size);  // -209, -201
int ZYNLOG_CopyValue(ZYNLOG_KEY key, const char* source, const char* target);
int ZYNLOG_DeleteValue(ZYNLOG_KEY key, const char* name);  // -209
// By position in creation order; on failure the buffers are emptied.
int ZYNLOG_EnumKey(ZYNLOG_KEY key, int index, char* buffer, int size);  // -207, -201
int ZYNLOG_EnumValue(ZYNLOG_KEY key, int index, char* name, int name_size, char* data,
                     int data_size);  // -209, -201
// Counts and longest lengths (without terminator) of the key's sub-keys and values;
// each out field may be null.
int ZYNLOG_QueryKeyInfo(ZYNLOG_KEY key, int* sub_keys, int* max_sub_key_name, int* values, int* max_value_name,
                        int* max_value_data);
