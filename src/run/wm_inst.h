// Program entry and the full-screen main window: the bootstrap into the temporary
// directory, the source directory left by it, the window procedure shared with the
// uninstaller, and the background palette.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "run/mainwnd.h"

inline constexpr char WMINST_CLASS_NAME[] = "ZYNINSTALL";
inline constexpr char WMINST_TEMP_DIRECTORY[] = "_zyntemp";
inline constexpr char WMINST_TEMP_INI[] = "zyntemp.ini";
inline constexpr char WMINST_TEMP_EXE[] = "INST.EXE";
inline constexpr UINT WMINST_ABOUT_COMMAND = 256;
// Entries of the graded background: index 0 is full blue, the last one black.
inline constexpr int WMINST_PALETTE_COUNT = 236;
// The least free space, in bytes, of a drive that takes the temporary copy.
inline constexpr double WMINST_TEMP_MINIMUM_FREE = 1000000.0;
// Drive classes refused for the temporary copy: undetermined, CD-ROM and floppy.
inline constexpr int WMINST_TEMP_REFUSED_DRIVES = 0x31;

LRESULT CALLBACK WMINST_MainWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Registers class_name with the main window procedure, the arrow cursor and a white
// background (the installer's and the uninstaller's window classes). True on success.
bool WMINST_RegisterClass(HINSTANCE instance, const char* class_name);
// The bootstrap: copies the executable, HELPER.EX_ and the libraries into "_zyntemp" on
// the first acceptable drive and starts INST.EXE there with the same command line.
// Returns the result of the last copy; copy failures are fatal, and without a drive
// that has room the process ends with -1 after telling the user.
int WMINST_RunFromTemp(HINSTANCE instance, const char* command_line);
// SourceDirectory from zyntemp.ini beside own_path, the [Application] section, and
// DestinationDirectory from DefaultDirectory. Failures are fatal.
int WMINST_ReadSourceDirectory(const char* own_path);

// Drive and directory of a path with the trailing backslash ("X:" alone for "X:name").
std::string WMINST_DriveAndDirectory(std::string_view path);

// The background palette the main window creates and the billboards share. The
// memory handle is the movable local block the palette was built from.
int WMINST_GetPaletteCount();
int WMINST_GetExtraPaletteCount();
HPALETTE WMINST_GetPalette();
void WMINST_SetPalette(HPALETTE palette);
HLOCAL WMINST_GetPaletteMemory();
