// The "Other Files" section: files the install did not copy but the uninstall must
// remove (the installer's own files beside the payload, for example). It only records.
#pragma once

#include "script/errcodes.h"

// Action 1 records every file whose second column is true; action 2 is the
// exclusivity test (-605 for a file outside $(DestinationDirectory)); other actions
// are fatal (-606). Reader and variable failures are fatal.
int LOGOTHER_Install(int demo_id, const char* section, int action);
