// The Protection section: a machine locked down for unattended display. Each line names
// one modification by a token; the handler turns it into fixed lines of the INI, Modify
// Files and Registry sections, which record and undo them. It keeps no records itself.
#pragma once

#include <string>
#include <string_view>

// Action 1 carries the lines out; action 2 returns -605 at the first line, whatever its
// flags; other actions are fatal (-606). Returns the reader's end-of-section result, 1.
// An unknown token (-2301) and any failing operation are fatal.
int LOGPRTCT_Install(int demo_id, const char* section, int action);

// --- portable part (logprtct_text.cpp) ---

// The title of the first item, among those the group description announces, whose
// command line contains "cpqphone" (ignoring case); empty when there is none.
std::string LOGPRTCT_FindPhoneItem(std::string_view group_description);
