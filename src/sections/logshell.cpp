// The Shell section.
#include "sections/logshell.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "log/logcomn.h"
#include "run/loginst.h"
#include "run/logunins.h"
#include "run/plist.h"
#include "script/common.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logfile.h"
#include "sections/section.h"
#include "sys/sys32.h"
#include "ui/dialog.h"
#include "ui/string_ids.h"

namespace {

constexpr char kSource[] = "logshell";
constexpr int kColumns = 3;
constexpr char kAbsent[] = "ZYNDEFAULT";

void Check(int code, int line) {
    if (code < 0) ZYNERROR_Fatal(code, kSource, line);
}

std::string SystemIni() {
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\system.ini";
}

// SYSTEM.INI is often read-only: lift that for the write and put it back.
void WriteShell(const char* shell) {
    const std::string ini = SystemIni();
    DWORD attributes = GetFileAttributesA(ini.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    WritePrivateProfileStringA("boot", "shell", shell, ini.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(ini.c_str(), attributes);
}

}  // namespace

int LOGSHELL_Install(int demo_id, const char* section, int action) {
    SECTION_CheckAction(action, kSource);
    ZYNLOG_KEY key = nullptr;
    if (action == PLIST_INSTALL) {
        ZYNLOG_KEY common = nullptr;
        Check(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Common", &common), __LINE__);
        Check(ZYNLOG_CreateKey(common, LOGSHELL_KEY, &key), __LINE__);
    }
    const std::string id = std::to_string(demo_id);
    return SECTION_ForEachLine(kSource, section, kColumns, true, [&](SECTION_TOKEN* tokens) {
        if (!COMMON_IsTrue(tokens[2])) return 0;
        // A shell always lies outside the demo's own directory.
        if (action == PLIST_EXCLUSIVE_TEST) return ERROR_PLIST_EXCLUSIVE;
        // Recorded as written, a relative shell would not be found when it is restored
        // for another demo's uninstall, and the system's default would replace it.
        const std::string shell = SECTION_DestinationPath(kSource, tokens[0]);
        if (COMMON_IsTrue(tokens[1])) {
            int values = 0;
            Check(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &values, nullptr, nullptr), __LINE__);
            if (values == 0) {
                char before[MAX_PATH] = "";
                GetPrivateProfileStringA("boot", "shell", kAbsent, before, sizeof before, SystemIni().c_str());
                Check(ZYNLOG_SetValue(key, before, "-1"), __LINE__);
            }
            Check(ZYNLOG_SetValue(key, shell.c_str(), id.c_str()), __LINE__);
        }
        WriteShell(shell.c_str());
        return 0;
    });
}

void LOGSHELL_CheckShell(char* shell, int size) {
    if (SYS_Exists(shell)) return;
    char os[64] = "";
    VAR_Get("OS", os, sizeof os);
    const char* fallback = nullptr;
    if (lstrcmpA(os, "Win3.x") == 0 || lstrcmpA(os, "WinNT") == 0) fallback = "progman.exe";
    if (lstrcmpA(os, "Win95") == 0) fallback = "explorer.exe";
    if (fallback != nullptr) {
        char windows[MAX_PATH] = "";
        GetWindowsDirectoryA(windows, sizeof windows);
        std::snprintf(shell, static_cast<size_t>(size), "%s\\%s", windows, fallback);
    } else if (lstrcmpA(os, "Unknown") == 0) {
        MSG_SetCaption(IDS_TITLE_UNINSTALL);
        MSG_Box(IDS_MSG_SHELL_MISSING, MB_OK, shell);
    }
}

int LOGSHELL_Uninstall(ZYNLOG_KEY key, int demo_id) {
    const std::string id = std::to_string(demo_id);
    int values = 0, longest_name = 0, longest_data = 0;
    Check(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &values, &longest_name, &longest_data), __LINE__);
    std::vector<char> name(static_cast<size_t>(longest_name) + 1), data(static_cast<size_t>(longest_data) + 1);
    std::string candidate;
    int level = -2;
    bool had_shell = false;
    for (int i = 0; ZYNLOG_EnumValue(key, i, name.data(), static_cast<int>(name.size()), data.data(),
                                     static_cast<int>(data.size())) == 0;) {
        if (lstrcmpiA(data.data(), id.c_str()) == 0) {
            Check(ZYNLOG_DeleteValue(key, name.data()), __LINE__);
            had_shell = true;
        } else {
            int owner = 0;
            if (std::string_view(data.data()).find(',') == std::string_view::npos) {
                owner = std::atoi(data.data());
            } else {
                LOGCOMN_RemoveDemoFromList(demo_id, data.data());
                Check(ZYNLOG_SetValue(key, name.data(), data.data()), __LINE__);
                owner = LOGCOMN_MaxDemoInList(data.data());
            }
            if (owner > level) {
                candidate = name.data();
                level = owner;
            }
            ++i;
        }
        LOGUNINS_Progress(1);
    }
    if (!had_shell) return 0;
    // Only the shell from before the demos is left: its record goes too.
    if (level == -1) Check(ZYNLOG_DeleteValue(key, candidate.c_str()), __LINE__);
    std::vector<char> shell(MAX_PATH + 1);
    std::snprintf(shell.data(), shell.size(), "%s", candidate.c_str());
    LOGSHELL_CheckShell(shell.data(), static_cast<int>(shell.size()));
    WriteShell(shell.data());
    return 0;
}
