// The folder browser behind the directory dialog's Browse button: a tree of the
// shell's folders beside an edit field that the user may type into.
#pragma once

#include <windows.h>

inline constexpr int BROWSE_ROOT_DESKTOP = 0;
inline constexpr int BROWSE_ROOT_DRIVES = 1;
inline constexpr int BROWSE_ROOT_NETWORK = 2;
inline constexpr int BROWSE_PATH_SIZE = 260;
inline constexpr int BROWSE_FAILED = -999;  // the tree could not be built

// Where the tree starts; returns the previous mode.
int BROWSE_SetRoot(int mode);
// The path shown when the browser opens (at most 259 characters are kept).
void BROWSE_SetPath(const char* path);
// The path the user accepted with OK (or the one last set).
void BROWSE_GetPath(char* buffer, int size);
// Drive classes (bit 1 << class) left out of the tree; 0 lists every drive. Returns
// the previous mask.
int BROWSE_SetRefusedTypes(int mask);
// Runs the template (from the language library) modally: IDOK, IDCANCEL or BROWSE_FAILED.
int BROWSE_Run(const char* templateName, HWND owner);
