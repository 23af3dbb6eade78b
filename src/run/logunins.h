// The uninstall's progress: the replay counts its steps against the planned total and
// shows the share done in the uninstall status window.
#pragma once

// Starts a new count: total steps planned (0 counts as 1), none done.
void LOGUNINS_SetProgressTotal(int total);
// Adds steps done and shows done * 100 / total.
void LOGUNINS_Progress(int steps);
