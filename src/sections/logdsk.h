// The Desktop section: shortcuts on the current user's desktop, recorded as installed
// files so that uninstall deletes them with the rest.
#pragma once

#include "log/zynlog.h"

inline constexpr char LOGDSK_KEY[] = "Desktop";

int LOGDSK_Install(int demo_id, const char* section, int action);
// "<desktop>\<name>.LNK", or with the first free counter behind the name.
int DSK_MakeLinkName(const char* description, const char* program, char* output, int size);
int DSK_CreateLink(const char* program, const char* parameters, const char* link, const char* icon_file,
                   int icon_number, const char* uninstall, const char* install, int demo_id);
// The links go with the file records: nothing to do here. 0.
int LOGDSK_Uninstall(ZYNLOG_KEY key, int demo_id);
