// The Launch section: other programs started at install (waiting, when asked, until they
// and everything they started have ended), and noted to be started again at uninstall.
#pragma once

#include "log/zynlog.h"

inline constexpr char LOGLNCH_KEY[] = "Launch";

int LOGLNCH_Install(int demo_id, const char* section, int action);
int LOGLNCH_LaunchLine(int demo_id, const char* program, const char* command_line, const char* wait,
                       const char* uninstall, const char* install);
// Starts program; with wait, returns once it and what it started have ended. 0.
int LOGLNCH_Run(const char* program, const char* command_line, int wait);
int LOGLNCH_Uninstall(ZYNLOG_KEY key, int demo_id);
