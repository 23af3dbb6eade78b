// The Register DLLs section: COM server libraries registered through their own
// DllRegisterServer, recorded per demo so that uninstall calls DllUnregisterServer.
#pragma once

#include "log/zynlog.h"
#include "sys/zyndisk.h"

inline constexpr char LOGDLL_KEY[] = "Register DLL";

int LOGDLL_Install(int demo_id, const char* section, int action);
// The walk's step for one library; the walk's extra word is the uninstall flag.
int LOGDLL_RegisterStep(ZYNDISK_WALK* record);
int LOGDLL_Unregister(const char* library);
int LOGDLL_Uninstall(ZYNLOG_KEY key, int demo_id);
