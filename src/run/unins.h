// The uninstall driver: started when the executable runs under the uninstaller's name.
#pragma once

#include <windows.h>

// The whole uninstall of the demo named by unins.ini beside the executable: its window,
// the confirmation, the replay, and at the end the removal helper. 0.
int UNINS_Main(HINSTANCE instance, const char* command_line);
// Loads the language library, asks the user and runs the uninstall: 0, -1 when the
// user declined, or the language library's failure. A failed uninstall is fatal.
int UNINS_Confirm();
