// Error reporting: error-text hooks per module, the fatal-error and warning dialogs.
#pragma once

#include <cstddef>

#include "script/errcodes.h"

using ZYNERROR_HOOK = const char* (*)(int code);  // the module's text for code, or null

inline constexpr int ZYNERROR_MAX_HOOKS = 75;

// Appends hook to the lookup order. 0, also for a hook already listed (and for
// null, which is never listed); -2801 when the table is full.
int ZYNERROR_AddHook(ZYNERROR_HOOK hook);
// Number of listed hooks (for tests and diagnostics).
int ZYNERROR_HookCount();
// Copies the text of code from the first hook that knows it, else "The following
// error has occured:", into buffer: at most size bytes, the terminator included.
void ZYNERROR_GetText(int code, char* buffer, size_t size);
// Shows the error dialog, saves the change log, runs the clean-up list, exits with -1.
[[noreturn]] void ZYNERROR_Fatal(int code, const char* source, int line);
// Shows the warning dialog; returns on Continue, ends like ZYNERROR_Fatal on Exit.
void ZYNERROR_Warning(int code, const char* source, int line);
// The orderly end after an error dialog: saves the change log, then runs the
// clean-up list. Used by both platform halves of ZYNERROR_Fatal and ZYNERROR_Warning.
void ZYNERROR_CloseDown();

// Registers the hooks of all modules in their fixed order (fatal on failure).
void COMMON_RegisterErrorHooks();

// Convenience for callers: reports code as fatal with this file's module name and line.
#define ZYN_FATAL(code, source) ZYNERROR_Fatal((code), (source), __LINE__)
