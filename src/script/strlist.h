// The program-wide ordered string list. The recursive directory walker collects paths
// here so that every directory comes before the directories that contain it.
#pragma once

#include "script/errcodes.h"

// 0, or -1201 when the list is not empty; enters STRLIST_Terminate on the clean-up list
// in either case.
int STRLIST_Init();
// Removes every item and leaves the clean-up list. Always 0.
int STRLIST_Terminate();
// Inserts before the first item that occurs inside text (case-sensitive substring test),
// else at the tail; nothing happens when that item equals text ignoring case.
// 0 or -1203 (the list is then unchanged).
int STRLIST_Insert(const char* text);
// Adds text after the tail. 0 or -1203.
int STRLIST_Append(const char* text);
// The item's own string (valid until it is removed); -1202 past the end.
int STRLIST_Get(int index, const char** text);
// Unlinks and frees the item; -1202 past the end.
int STRLIST_Remove(int index);
// 1 when an item equals text ignoring case, else 0.
int STRLIST_Contains(const char* text);
