// Process control: starts a program, watches it from a worker thread, brings its windows
// to the front, and tells whether anything started since the launch is still running
// (a started program often hands its work to further processes and returns at once).
#pragma once

#include "script/errcodes.h"

inline constexpr int PROC_MAX_SNAPSHOT = 200;  // thread entries considered per snapshot
inline constexpr int PROC_MAX_WINDOWS = 200;
inline constexpr int PROC_SLOTS = 2;

// The seven operations of a process driver, in table order.
struct PROC_DRIVER {
    int (*init)();
    int (*terminate)();
    int (*start)(int show, const char* program, const char* arguments);
    int (*close)();
    int (*bring_to_front)();
    int (*stop)();
    int (*is_running)();
};

// The driver carried by the program: thread snapshots from the tool-help functions.
const PROC_DRIVER* PROC_SystemDriver();

// Initialises each driver of the null-terminated list; those that fail are dropped.
int PROC_Init(const PROC_DRIVER* const* drivers);
int PROC_Start(const char* program, const char* arguments);  // slot 0 or 1, or negative
void PROC_BringToFront(int slot);
int PROC_IsRunning(int slot);
void PROC_Stop(int slot);
int PROC_SetRestoreFront(int flag);
void PROC_Terminate();
