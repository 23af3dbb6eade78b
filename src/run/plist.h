// The section list: the install sections with their handlers, in the fixed order in
// which the install pass runs them.
#pragma once

#include "script/errcodes.h"

// A section handler: demo id, section name, action; 0 (or a positive value other than
// 100) done, 100 cancelled, negative an error.
using PLIST_HANDLER = int (*)(int demo_id, const char* section, int action);

inline constexpr int PLIST_INSTALL = 1;
inline constexpr int PLIST_EXCLUSIVE_TEST = 2;
inline constexpr int PLIST_NAME_SIZE = 50;  // a name of at most 49 characters, cut to fit

// -601 when the list is not empty; lists PLIST_Terminate on the clean-up list.
int PLIST_Init();
// Empties the list and leaves the clean-up list. Always 0.
int PLIST_Terminate();
// Inserts after the last entry whose handler is reference (searched from the tail), or
// at the tail when there is none or it is the tail. -603 without memory.
int PLIST_InsertAfter(int id, const char* name, PLIST_HANDLER handler, PLIST_HANDLER reference);
// Removes every entry with id and, when name is given, that name (ignoring case); -602
// when none was removed.
int PLIST_Remove(int id, const char* name);
// The head entry; -602 with id -1 and an empty name for an empty list. name: 50 bytes.
int PLIST_GetFirst(int* id, char* name, PLIST_HANDLER* handler);
// The entry at index from the head; -602 when there is none, -604 when size is
// negative or not greater than the name's length.
int PLIST_GetByIndex(int index, int* id, char* name, int size, PLIST_HANDLER* handler);
// The name of the index-th entry (from the head) among those with handler; -602, -604.
int PLIST_GetNameByHandler(int index, PLIST_HANDLER handler, char* name, int size);
// Calls every handler from the head with (demo id, its name, action); the first negative
// result or 100 is returned at once. With remove set each entry leaves the list once run.
int PLIST_Run(int demo_id, int action, int remove);
