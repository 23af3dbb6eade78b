// The copy engine: copies, deletes, renames and measures files named by wildcard
// patterns, optionally through whole directory trees, with the install's overwrite
// rules, progress hooks and message pumping during long copies. Results are 0, a
// negative code of the ZYNDISK or SYS band, 100 when a hook cancelled, or whatever
// non-zero value a caller's step returned.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "script/errcodes.h"
#include "sys/sys32.h"

inline constexpr int ZYNDISK_PATH_SIZE = 264;
inline constexpr uint32_t ZYNDISK_COPY_BUFFER = 0xFFF0;  // bytes per block
inline constexpr unsigned long ZYNDISK_PUMP_INTERVAL = 50;  // ms between two drains of the queue

// Operation flags, one word shared by every walk operation.
inline constexpr uint32_t ZYNDISK_RECURSE = 0x1;
inline constexpr uint32_t ZYNDISK_DIRECTORIES = 0x2;  // hand each walked directory itself to the step
inline constexpr uint32_t ZYNDISK_APPEND = 0x4;
inline constexpr uint32_t ZYNDISK_COMPRESSED = 0x8;  // not supported: -1115
inline constexpr uint32_t ZYNDISK_REPORT_CREATED = 0x10;
inline constexpr uint32_t ZYNDISK_ASK_OVERWRITE = 0x20;
inline constexpr uint32_t ZYNDISK_IF_NOT_NEWER = 0x40;
inline constexpr uint32_t ZYNDISK_BY_VERSION = 0x80;  // not supported: -1115
inline constexpr uint32_t ZYNDISK_GIVEN_SIZE = 0x100;
inline constexpr uint32_t ZYNDISK_NEVER_OVERWRITE = 0x200;

// In the attributes of a copy: start from each source file's own attributes instead of
// normal; the read-only, hidden, system and archive bits given beside it are added.
inline constexpr uint32_t ZYNDISK_ATTR_FROM_SOURCE = 0x80000000u;

// One file or directory handed to a step.
struct ZYNDISK_WALK {
    char source[ZYNDISK_PATH_SIZE];
    char destination[ZYNDISK_PATH_SIZE];
    uint32_t mask;        // the search mask, without the directory bit
    uint32_t attributes;  // for the destination
    uint32_t flags;
    int32_t extra;        // passed through from the caller
    // The file's directory entry as the walk found it (null for a directory handed over
    // as itself): size, times and attributes without another look at the disk.
    const SYS_FINDINFO* entry;
};

// 0 goes on; anything else ends the walk with that result.
using ZYNDISK_STEP = int (*)(ZYNDISK_WALK* record);
// 1 refuses to overwrite destination (the copy returns 100).
using ZYNDISK_OVERWRITE_HOOK = int (*)(const char* destination);
using ZYNDISK_COPY_START_HOOK = void (*)(const ZYNDISK_WALK* record);
// Bytes just copied and the file's size; non-zero cancels (the copy returns 100).
using ZYNDISK_PROGRESS_HOOK = int (*)(uint32_t done, uint32_t size);
using ZYNDISK_CREATED_HOOK = void (*)(const char* path);

// Hands every entry of pattern that passes mask (and with ZYNDISK_RECURSE those of
// every sub-directory, deepest directories first) to step. A destination ending in
// "\" receives the entry's path below the pattern's directory; any other destination
// is passed as it is. -1108 when nothing was handed to the step; -1114 when a path
// does not fit in a walk record.
int ZYNDISK_Walk(ZYNDISK_STEP step, const char* pattern, uint32_t mask, const char* destination,
                 uint32_t attributes, uint32_t flags, int32_t extra);
int ZYNDISK_Copy(const char* pattern, uint32_t mask, const char* destination, uint32_t attributes,
                 uint32_t flags, int32_t extra);
// A wildcard pattern in a drive root or the Windows or system directory is refused
// with a warning (-1117) and counts as done: 0.
int ZYNDISK_Delete(const char* pattern, uint32_t mask, uint32_t flags, int32_t extra);
// Without ZYNDISK_RECURSE removes the directory when it is empty; with it, everything
// below it first, deepest first, and the directory last.
int ZYNDISK_DeleteTree(const char* directory, uint32_t mask, uint32_t flags, int32_t extra);
int ZYNDISK_Rename(const char* pattern, uint32_t mask, const char* destination, uint32_t flags, int32_t extra);
// Creates the one directory (a trailing backslash is ignored): 0 or -1011.
int ZYNDISK_CreateDirectory(const char* path);

// Size totals for the disk-space check: exact bytes and bytes in whole clusters of
// the destination drive. Both saturate at 0xFFFFFFFF instead of wrapping.
int ZYNDISK_BeginSize(const char* destination);
int ZYNDISK_AddSize(const char* pattern, uint32_t mask, uint32_t flags, uint32_t size);
int ZYNDISK_GetTotalSize(uint32_t* total);
int ZYNDISK_GetTotalAllocated(uint32_t* total);
int ZYNDISK_GetFreeSpace(const char* path, double* free_bytes);

void ZYNDISK_SetOverwriteHook(ZYNDISK_OVERWRITE_HOOK hook);
void ZYNDISK_SetCopyStartHook(ZYNDISK_COPY_START_HOOK hook);
void ZYNDISK_SetProgressHook(ZYNDISK_PROGRESS_HOOK hook);
void ZYNDISK_SetCreatedHook(ZYNDISK_CREATED_HOOK hook);

// --- portable decisions (zyndisk_text.cpp) ---

struct ZYNDISK_PATTERN {
    std::string drive;      // "C:" or empty
    std::string directory;  // with its trailing backslash, or empty
    std::string file;       // name and extension: the part matched by the search
};
ZYNDISK_PATTERN ZYNDISK_SplitPattern(std::string_view pattern);
// "*" any run, "?" one character, letters compared ignoring case.
bool ZYNDISK_WildcardMatch(std::string_view pattern, std::string_view text);
// The destination of an entry found in directory below root: destination followed
// by the directory's part below root (and a backslash) and the name when destination
// ends with a backslash, else destination itself.
std::string ZYNDISK_EntryDestination(std::string_view destination, std::string_view root,
                                     std::string_view directory, std::string_view name);
// 1 when a delete of pattern must be refused: it holds "*" or "?" and its drive and
// directory are a drive root or contain the Windows or system directory (ignoring case).
int ZYNDISK_IsProhibited(std::string_view pattern, std::string_view windows_directory,
                         std::string_view system_directory);
// size rounded up to a multiple of cluster (a cluster of 0 counts as 1), saturating.
uint32_t ZYNDISK_RoundToClusters(uint32_t size, uint32_t cluster);
// a + b, saturating at 0xFFFFFFFF.
uint32_t ZYNDISK_AddSaturating(uint32_t a, uint32_t b);

// Serves every window message waiting in the queue (a long operation on the one thread
// keeps its windows alive this way); a quit message is put back for a later loop.
void ZYNDISK_DispatchPending();
