// Demo records in the change log: the register of installed demos under "HEADER",
// the key of the current demo, and the lists of demo ids that shared records carry.
#pragma once

#include "log/zynlog.h"
#include "script/errcodes.h"

inline constexpr const char* LOGCOMN_HEADER_KEY = "HEADER";
inline constexpr const char* LOGCOMN_MAX_DEMO = "Max Demo";
inline constexpr const char* LOGCOMN_COMMON_KEY = "Common";
inline constexpr const char* LOGCOMN_DEMO_FORMAT = "Demo %d";  // demo keys and register values

// Registers a demo under the next id ("Max Demo"), creates its top-level key and
// makes it the current demo key.
int LOGCOMN_NewDemo(const char* demo_name, int* demo_id);
// Takes the demo off the register, lowering "Max Demo" when it had the highest id;
// -209 when it was not registered. Its key stays.
int LOGCOMN_ReleaseDemo(int demo_id);
// The registered name; -207 without "HEADER", -302 when size is below the longest
// data in "HEADER" plus one, -209 when the demo is not registered.
int LOGCOMN_GetDemoName(int demo_id, char* buffer, int size);
// The key of the demo created in this run; -303 before LOGCOMN_NewDemo.
int LOGCOMN_GetDemoKey(ZYNLOG_KEY* key);
// Deletes key (named key_name under parent) if it holds nothing: 1; else 2.
int LOGCOMN_TidyKey(ZYNLOG_KEY parent, ZYNLOG_KEY key, const char* key_name);

// Demo id lists: decimal ids separated by ","; blanks before an id are ignored.
int LOGCOMN_IsDemoInList(const char* list, int demo_id);  // 1 or 0
// out = list with the id appended unless it is in it already; -302 if it does not fit.
int LOGCOMN_AddDemoToList(const char* list, int demo_id, char* out, int size);
// Rewrites list in place with its other ids joined by ",".
int LOGCOMN_RemoveDemoFromList(int demo_id, char* list);
int LOGCOMN_MaxDemoInList(const char* list);  // -1 for an empty list
// Reads the ids in the names of key's values (last value first) and reports the exact
// match, the nearest higher and the nearest lower id, each with its value index (ids
// -1 and indices 0 when absent). Any out field may be null.
int LOGCOMN_FindDemoNeighbours(ZYNLOG_KEY key, int demo_id, const char* separators, const char* skip, int* exact,
                               int* exact_index, int* higher, int* higher_index, int* lower, int* lower_index);
