// The PM Info section: Program Manager groups and items made through the shell's DDE
// conversation, recorded under "Common" with the demos that own each item, so that an item
// goes with its last owner and a group that has become empty goes with it.
#pragma once

#include "log/zynlog.h"
#include "sections/section.h"

inline constexpr char LOGPM_KEY[] = "PM Info";
inline constexpr int LOGPM_COLUMNS = 8;
inline constexpr int LOGPM_REQUEST_SIZE = 255;

int LOGPM_Install(int demo_id, const char* section, int action);
// One line's eight expanded columns (Operation, Group, File Name, App Description, Icon
// File, Icon #, Uninstall?, Install?); File Name and Icon File are completed in place.
int PM_InstallLine(int demo_id, SECTION_TOKEN* tokens);
// Takes demo_id off every record of key; the items it owned last go, and their group when
// the shell reports it empty.
int PM_Uninstall(ZYNLOG_KEY key, int demo_id);
