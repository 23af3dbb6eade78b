// Program entry and the full-screen main window: the bootstrap into the temporary
// directory, the source directory left by it, the window procedure shared with the
// uninstaller, and the background palette.
#pragma once

#include <windows.h>

#include "run/mainwnd.h"

LRESULT CALLBACK WMINST_MainWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// The bootstrap: copies the executable, HELPER.EX_ and the libraries into "_zyntemp" on
// the first acceptable drive and starts INST.EXE there with the same command line.
int WMINST_RunFromTemp(HINSTANCE instance, const char* command_line);
// SourceDirectory from zyntemp.ini beside own_path, the [Application] section, and
// DestinationDirectory from DefaultDirectory. Failures are fatal.
int WMINST_ReadSourceDirectory(const char* own_path);
