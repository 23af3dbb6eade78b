// The Protection Backup section: copies of CONFIG.SYS and AUTOEXEC.BAT on the boot drive
// under a chosen or the first free three-digit extension. Never recorded, never removed.
#pragma once

int LOGBCKUP_Install(int demo_id, const char* section, int action);
