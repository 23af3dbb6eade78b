// The Modify Files section: single lines of plain text files (CONFIG.SYS, AUTOEXEC.BAT)
// found and replaced, or added, with shared records under "Common" \ "Modify Files".
#pragma once

#include "log/zynlog.h"
#include "sections/logmod_text.h"

inline constexpr char LOGMOD_KEY[] = "Modify Files";

int LOGMOD_Install(int demo_id, const char* section, int action);
// One line's whole install-time work; the result of the last change-log step.
int LOGMOD_ChangeFile(int demo_id, const char* operation, const char* file, const char* old_line,
                      const char* new_line, const char* uninstall, const char* install);
// 1 when the file was rewritten with new_line (null: the matching line is removed), 0 when
// nothing was written. LOGMOD_LineMatched tells whether a line matched.
int LOGMOD_ModifyText(const char* file, const char* old_line, const char* new_line, unsigned flags);
int LOGMOD_LineMatched();
// The "Modify Files" key of "Common" at uninstall for demo_id.
int LOGMOD_Uninstall(ZYNLOG_KEY key, int demo_id);
int LOGMOD_UndoRecord(const char* file, const char* record);
