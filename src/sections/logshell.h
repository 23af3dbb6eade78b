// The Shell section: the "shell" entry of SYSTEM.INI's [boot], with the shell from before
// the first demo and each demo's shell kept under "Common" \ "Shell".
#pragma once

#include "log/zynlog.h"

inline constexpr char LOGSHELL_KEY[] = "Shell";

int LOGSHELL_Install(int demo_id, const char* section, int action);
int LOGSHELL_Uninstall(ZYNLOG_KEY key, int demo_id);
// A shell whose file does not exist becomes the system's default shell (by OS).
void LOGSHELL_CheckShell(char* shell, int size);
