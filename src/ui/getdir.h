// The "Get Directory" page of the install's dialog sequence, the folder browser behind
// its Browse button, and the About dialog of the main window's system menu.
#pragma once

#include <windows.h>

// Runs DLG_GET_DIRECTORY_32 for the sequence entry index: 1 OK, 2 Cancel, 500 Back.
int GETDIR_Show(int index);
// DLG_ABOUT, modal, owned by the main window.
void ABOUT_Show();
