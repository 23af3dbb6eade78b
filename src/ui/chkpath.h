// The rules for an acceptable destination directory and for its drive.
#pragma once

#include <windows.h>

// Trims the path in place (and upper-cases it once it reaches the Windows-directory
// test); 1 when it is acceptable, 0 when not.
int PATH_IsValid(char* path);
// The procedure of a notice with one OK button (the bad-path dialogs, About): fills an
// empty caption with the product's name, centres it, closes on OK or Escape.
INT_PTR CALLBACK PATH_NoticeProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
// DLG_BADPATH_32, or DLG_BADPATH_32_NOT_EMPTY when UninstallCleanDirs is true.
void PATH_ShowBadPath(HWND owner);
// 0 when the drive's class is not in the refused mask (bit 1 << class), else -1 after
// the class's message when show_message is set.
int DRIVE_CheckType(const char* path, int refused_mask, int show_message);
