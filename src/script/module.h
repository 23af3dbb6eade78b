// The clean-up list: terminate functions of the modules that hold program-wide
// state, run newest first when the program stops early.
#pragma once

#include <cstdint>

#include "script/errcodes.h"

using MODULE_FUNCTION = int (*)();

inline constexpr int MODULE_MAX_SLOTS = 100;

// Stores the pair in the first free slot; a full table is fatal (-2901).
void MODULE_Register(MODULE_FUNCTION function, uint32_t argument);
// Removes the highest slot holding function; later slots move down.
void MODULE_Unregister(MODULE_FUNCTION function);
// Calls every listed function from slot 99 down to 0 and empties the table.
void MODULE_RunAll();
// Number of occupied slots (for tests and diagnostics).
int MODULE_Count();
