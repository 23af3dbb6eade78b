#include "run/helper.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "sys/syscheck.h"
#include "ui/dialog.h"

namespace {

int g_counter = 0;
int g_restart_needed = 0;
HKEY g_runonce_root = HKEY_LOCAL_MACHINE;
char g_runonce_key[256] = "";  // empty: the system's RunOnce key
HELPER_EXIT_WINDOWS g_exit_windows = nullptr;

int RequestShutdown(unsigned flags, unsigned long reserved) {
    if (g_exit_windows != nullptr) return g_exit_windows(flags, reserved);
    return ExitWindowsEx(flags, reserved) ? 1 : 0;
}

class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::string IniPath() {
    char windows[MAX_PATH];
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    if (n == 0 || n >= sizeof windows) windows[0] = '\0';
    return HELPER_MakeIniPath(windows);
}

// The short (8.3) form when the system can give one; the path unchanged otherwise,
// for example when the file does not exist (any more).
std::string ShortPath(const char* path) {
    char buffer[HELPER_SHORT_PATH_SIZE];
    DWORD n = GetShortPathNameA(path, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return path;
    return buffer;
}

void AddFile(const char* path) {
    std::string ini = IniPath();
    char key[32];
    std::snprintf(key, sizeof key, "File%d", g_counter);
    ++g_counter;
    std::string value = ShortPath(path);
    char number[32];
    std::snprintf(number, sizeof number, "%d", g_counter);
    WritePrivateProfileStringA("Files", key, value.c_str(), ini.c_str());
    WritePrivateProfileStringA("Files", "Number", number, ini.c_str());
    // Flush the profile cache so the helper reads what was written.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    if (HELPER_IsRestartLibrary(path)) g_restart_needed = 1;
}

void Start() {
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
    if (n == 0 || n >= sizeof module) module[0] = '\0';
    std::string ini = IniPath();
    std::string command = HELPER_MakeCommandLine(module, ShortPath(ini.c_str()));

    if (!g_restart_needed) {
        WinExec(command.c_str(), SW_SHOWMINIMIZED);
        return;
    }

    RegKey key;
    if (RegOpenKeyExA(g_runonce_root, g_runonce_key[0] ? g_runonce_key : HELPER_RUNONCE_KEY, 0, KEY_ALL_ACCESS, key.out()) != ERROR_SUCCESS) return;
    if (RegSetValueExA(key.get(), HELPER_RUNONCE_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1)) != ERROR_SUCCESS) {
        return;
    }
    HELPER_RequestShutdown();
}

}  // namespace

void HELPER_AddFile(const char* path) {
    if (path == nullptr) return;
    try {
        AddFile(path);
    } catch (const std::bad_alloc&) {
        // Nothing is reported here: an unlisted file simply stays behind.
    }
}

void HELPER_RequestShutdown() {
    if (std::strcmp(SYSCHECK_GetOS(), "Win95") == 0) {
        RequestShutdown(EWX_REBOOT, 0);
    } else {
        RequestShutdown(EWX_LOGOFF, 0xFFFFFFFFul);
    }
}

int HELPER_IsRestartNeeded() { return g_restart_needed; }

void HELPER_SetRestartNeeded(int flag) { g_restart_needed = flag; }

void HELPER_TellRestart() {
    if (!g_restart_needed) return;
    MSG_SetCaption(-1);
    MSG_Box(HELPER_RESTART_MESSAGE, MB_OK | MB_ICONINFORMATION);
}

void HELPER_Start() {
    try {
        Start();
    } catch (const std::bad_alloc&) {
        // As with a failed start: the listed files stay where they are.
    }
}

void HELPER_Reset() {
    g_counter = 0;
    g_restart_needed = 0;
}

void HELPER_SetRestartTarget(void* root_key, const char* subkey, HELPER_EXIT_WINDOWS exit_windows) {
    std::snprintf(g_runonce_key, sizeof g_runonce_key, "%s", subkey != nullptr ? subkey : "");
    g_runonce_root = root_key != nullptr ? static_cast<HKEY>(root_key) : HKEY_LOCAL_MACHINE;
    g_exit_windows = exit_windows;
}
