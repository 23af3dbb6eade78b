// The uninstall proper and its progress count.
#include "run/logunins.h"

#include <windows.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "log/logcomn.h"
#include "run/helper.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logdll.h"
#include "sections/logdsk.h"
#include "sections/logfile.h"
#include "sections/loglnch.h"
#include "sections/logini.h"
#include "sections/logmod.h"
#include "sections/logpm.h"
#include "sections/logreg.h"
#include "sections/logren.h"
#include "sections/logshell.h"
#include "sections/logvld.h"
#include "sys/sys32.h"
#include "sys/zyndisk.h"
#include "ui/dialog.h"
#include "ui/status.h"
#include "ui/string_ids.h"

namespace {

constexpr char kSource[] = "logunins";
constexpr uint32_t kDeleteMask = 0x87;

// One row per record key a section writes; the replay finds its handler by name.
constexpr LOGUNINS_ENTRY kHandlers[] = {
    {LOGFILE_KEY, LOGFILE_Uninstall},
    {LOGINI_KEY, LOGINI_Uninstall},
    {LOGMOD_KEY, LOGMOD_Uninstall},
    {LOGDSK_KEY, LOGDSK_Uninstall},
    {LOGPM_KEY, PM_Uninstall},
    {LOGREG_KEY, LOGREG_Uninstall},
    {LOGREN_KEY, LOGREN_Uninstall},
    {LOGSHELL_KEY, LOGSHELL_Uninstall},
    {LOGVLD_KEY, LOGVLD_Uninstall},
    {LOGDLL_KEY, LOGDLL_Uninstall},
    {LOGLNCH_KEY, LOGLNCH_Uninstall},
};

int g_total = 0;
int g_done = 0;
int g_demoId = -1;  // the demo being removed, for the handlers the replay calls

void Check(int code, int line) {
    if (code < 0) ZYNERROR_Fatal(code, kSource, line);
}

std::string InfoPath() {
    char directory[VAR_MAX_WORK_LENGTH] = "";
    VAR_Get("UninstallDirectory", directory, sizeof directory);
    return std::string(directory) + "\\" + LOGUNINS_INFO_FILE;
}

std::string WorkFilePath() {
    char windows[MAX_PATH] = "";
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    if (n == 0 || n >= sizeof windows) windows[0] = '\0';
    return std::string(windows) + "\\" + LOGUNINS_WORK_FILE;
}

std::string DemoKeyName(int demo_id) {
    char name[32];
    std::snprintf(name, sizeof name, LOGCOMN_DEMO_FORMAT, demo_id);
    return name;
}

int CountRecords(const char* top_key) {
    ZYNLOG_KEY key = nullptr;
    return ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, top_key, &key) == 0 ? LOGUNINS_CountValues(key) : 0;
}

// A top-level key left with nothing in it goes as well.
void TidyTopKey(const char* name) {
    ZYNLOG_KEY key = nullptr;
    if (ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, name, &key) == 0) Check(LOGCOMN_TidyKey(ZYNLOG_ROOT_KEY, key, name), __LINE__);
}

// The demo's key, then the shared records, then the register entry.
int ReplayDemo(int demo_id) {
    const std::string demo_key = DemoKeyName(demo_id);
    LOGUNINS_SetProgressTotal(CountRecords(LOGCOMN_COMMON_KEY) + CountRecords(demo_key.c_str()) + 1);
    LOGUNINS_Progress(1);
    int result = LOGUNINS_ReplayKey(ZYNLOG_ROOT_KEY, demo_key.c_str());
    if (result == 0 || result == ERROR_ZYNLOG_SUB_KEY_NOT_FOUND) {
        result = LOGUNINS_ReplayKey(ZYNLOG_ROOT_KEY, LOGCOMN_COMMON_KEY);
    }
    if (result == 0 || result == ERROR_ZYNLOG_SUB_KEY_NOT_FOUND) result = LOGCOMN_ReleaseDemo(demo_id);
    if (result == 0) {
        TidyTopKey(demo_key.c_str());
        TidyTopKey(LOGCOMN_COMMON_KEY);
    }
    return result;
}

// Loads the log, keeps every save of the run in the working file, and replays.
int Uninstall(const char* log_path, int demo_id, const std::string& work_file, bool* loaded) {
    int result = ZYNLOG_Init(log_path, LOGUNINS_AUTOSAVE);
    Check(ZYNLOG_SetFileName(work_file.c_str()), __LINE__);
    // A log that did not load whole is left as it is on disk.
    if (result != 0) return result;
    *loaded = true;
    // With its last demo the log goes at once; the tree stays for the replay.
    if (LOGUNINS_IsOnlyDemo(demo_id)) ZYNDISK_Delete(log_path, kDeleteMask, 0, 0);
    return ReplayDemo(demo_id);
}

void TellOutcome(int result, const char* application) {
    if (result == 0) {
        if (HELPER_IsRestartNeeded()) return;
        MSG_SetCaption(IDS_TITLE_UNINSTALL_DONE, application);
        MSG_Box(IDS_MSG_UNINSTALL_DONE, MB_OK | MB_ICONINFORMATION, application);
    } else {
        MSG_SetCaption(IDS_TITLE_UNINSTALL, application);
        MSG_Box(IDS_MSG_UNINSTALL_FAILED, MB_OK | MB_ICONEXCLAMATION, application);
    }
}

}  // namespace

int LOGUNINS_ReadInfo(char* log_path, int* demo_id) {
    const std::string info = InfoPath();
    int id = static_cast<int>(GetPrivateProfileIntA("INFO", "DemoID", -1, info.c_str()));
    log_path[0] = '\0';
    GetPrivateProfileStringA("INFO", "LOGFile", "", log_path, LOGUNINS_PATH_SIZE, info.c_str());
    *demo_id = id;
    int result = 0;
    if (id == -1 || log_path[0] == '\0') {
        MSG_SetCaption(IDS_TITLE_UNINSTALL);
        MSG_Box(IDS_MSG_FILE_MISSING, MB_OK | MB_ICONSTOP, info.c_str());
        result = ERROR_LOGUNINS_INFO_NOT_FOUND;
    } else if (!SYS_Exists(log_path)) {
        // Loading would make an empty log and the replay would find nothing to undo.
        MSG_SetCaption(IDS_TITLE_UNINSTALL);
        MSG_Box(IDS_MSG_FILE_MISSING, MB_OK | MB_ICONSTOP, log_path);
        result = ERROR_LOGUNINS_INFO_NOT_FOUND;
    }
    char clean[LOGUNINS_PATH_SIZE] = "";
    GetPrivateProfileStringA("VARS", "UninstallCleanDirs", "FALSE", clean, sizeof clean, info.c_str());
    Check(VAR_Set("UninstallCleanDirs", clean), __LINE__);
    return result;
}

int LOGUNINS_ReplayKey(ZYNLOG_KEY parent, const char* key_name) {
    return LOGUNINS_ReplayKeyWith(parent, key_name, g_demoId, kHandlers, static_cast<int>(std::size(kHandlers)));
}

int LOGUNINS_Run() {
    char application[VAR_MAX_WORK_LENGTH] = "";
    char log_path[LOGUNINS_PATH_SIZE] = "";
    const std::string work_file = WorkFilePath();
    int result = VAR_Get("ApplicationName", application, sizeof application);
    if (result == 0) result = LOGUNINS_ReadInfo(log_path, &g_demoId);
    bool loaded = false;
    if (result == 0) {
        STATUS_Init(STATUS_UNINSTALL);
        result = Uninstall(log_path, g_demoId, work_file, &loaded);
    }
    STATUS_Terminate();
    TellOutcome(result, application);
    // A log dropped with its last demo comes back when the replay stopped short, so
    // that a second attempt finds what is left to undo.
    if (loaded && (result != 0 || SYS_Exists(log_path))) Check(ZYNLOG_SetFileName(log_path), __LINE__);
    Check(ZYNLOG_Terminate(), __LINE__);
    ZYNDISK_Delete(work_file.c_str(), kDeleteMask, 0, 0);
    return result;
}

void LOGUNINS_SetProgressTotal(int total) {
    g_total = total;
    g_done = 0;
}

void LOGUNINS_Progress(int steps) {
    g_done += steps;
    STATUS_SetPercent(static_cast<int>(static_cast<long long>(g_done) * 100 / (g_total == 0 ? 1 : g_total)));
}
