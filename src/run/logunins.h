// The uninstall's progress: the replay counts its steps against the planned total and
// shows the share done in the uninstall status window.
#pragma once

// Replays the change log records of the demo named by unins.ini in UninstallDirectory
// through the uninstall handlers. 0 or an error code.
int LOGUNINS_Run();

// Starts a new count: total steps planned (0 counts as 1), none done.
void LOGUNINS_SetProgressTotal(int total);
// Adds steps done and shows done * 100 / total.
void LOGUNINS_Progress(int steps);
