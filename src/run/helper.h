// Hand-off to the removal helper (HELPER.EXE): files and directories that cannot
// be deleted while this program runs are listed in helper.ini in the Windows
// directory; at the end the helper is started (or, when a loaded system library
// is among them, registered to run once at the next start of Windows).
#pragma once

#include <string>
#include <string_view>

inline constexpr char HELPER_INI_NAME[] = "helper.ini";
inline constexpr char HELPER_EXE_NAME[] = "helper.exe";
inline constexpr char HELPER_RUNONCE_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr char HELPER_RUNONCE_VALUE[] = "ZYNUninstallHelper";
inline constexpr int HELPER_SHORT_PATH_SIZE = 780;
inline constexpr int HELPER_RESTART_MESSAGE = 3103;

// Appends path (as its short form) to helper.ini: [Files] File<n>, then Number.
// Also serves as the copy engine's created-file hook of the temporary copy.
void HELPER_AddFile(const char* path);
int HELPER_IsRestartNeeded();
void HELPER_SetRestartNeeded(int flag);
// With the restart flag set, tells the user (message 3103 under the default title).
void HELPER_TellRestart();
// Asks Windows to restart (Windows 95 family) or to log off; through the test
// recorder when one is set (HELPER_SetRestartTarget).
void HELPER_RequestShutdown();
// Starts the helper minimised, or with the restart flag set registers it under
// RunOnce and asks Windows to restart (Windows 95 family) or to log off.
void HELPER_Start();

// Starts a new list as at the beginning of a run: counter 0, restart flag clear.
void HELPER_Reset();

// Where the restart path registers the helper and how it asks for the shutdown.
// Tests point these at a private key and a recorder; null restores the defaults
// (HKEY_LOCAL_MACHINE RunOnce, ExitWindowsEx).
using HELPER_EXIT_WINDOWS = int (*)(unsigned flags, unsigned long reserved);
void HELPER_SetRestartTarget(void* root_key, const char* subkey, HELPER_EXIT_WINDOWS exit_windows);

// --- portable decisions (helper_text.cpp) ---

// 1 when the path's file name is one of the libraries Windows keeps loaded.
int HELPER_IsRestartLibrary(std::string_view path);
// Drive and directory of module_path, "helper.exe", a blank and the helper.ini path.
std::string HELPER_MakeCommandLine(std::string_view module_path, std::string_view ini_path);
// The Windows directory, a backslash unless it ends with one, and "helper.ini".
std::string HELPER_MakeIniPath(std::string_view windows_directory);
