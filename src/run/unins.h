// The uninstall driver: started when the executable runs under the uninstaller's name.
#pragma once

#include <windows.h>

// The whole uninstall of the demo named by unins.ini beside the executable. 0.
int UNINS_Main(HINSTANCE instance, const char* command_line);
