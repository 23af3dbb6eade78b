// The uninstaller's window: a class of its own, served by the main window procedure,
// whose title names the demo so that a second uninstaller of the same demo finds it.
#pragma once

#include <windows.h>

inline constexpr char WMUNINS_CLASS_NAME[] = "ZYNUNINSTALL";

// The window of an uninstaller already running for the demo titled title, or null.
HWND WMUNINS_FindRunning(const char* title);
// Registers the class; false when the system refuses.
bool WMUNINS_RegisterClass(HINSTANCE instance);
void WMUNINS_UnregisterClass(HINSTANCE instance);
// Creates the window titled title and shows it maximised; null when it cannot be made.
HWND WMUNINS_CreateWindow(HINSTANCE instance, const char* title);
