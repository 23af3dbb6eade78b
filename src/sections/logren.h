// The Rename section: files put aside under another name, renamed back when the last
// demo that renamed them goes. Records under "Common" \ "Rename".
#pragma once

#include "log/zynlog.h"

inline constexpr char LOGREN_KEY[] = "Rename";

int LOGREN_Install(int demo_id, const char* section, int action);
// 0 when renamed; the rename's code otherwise (then nothing is recorded).
int LOGREN_RenameFile(int demo_id, const char* source, const char* new_name, const char* uninstall,
                      const char* install);
int LOGREN_Uninstall(ZYNLOG_KEY key, int demo_id);
