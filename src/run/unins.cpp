#include "run/unins.h"

#include <string>

#include "run/helper.h"
#include "run/logunins.h"
#include "run/mainwnd.h"
#include "run/wm_unins.h"
#include "script/module.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "ui/bmpdisp.h"
#include "ui/status.h"
#include "ui/dialog.h"
#include "ui/language.h"
#include "ui/string_ids.h"

namespace {

constexpr char kSource[] = "unins";
constexpr int kTitleSize = 256;

// The drive and directory of the running uninstaller, without a trailing backslash.
void SetUninstallDirectory(HINSTANCE instance) {
    char own_path[MAX_PATH] = "";
    DWORD n = GetModuleFileNameA(instance, own_path, sizeof own_path);
    if (n == 0 || n >= sizeof own_path) own_path[0] = '\0';
    std::string directory = own_path;
    size_t slash = directory.find_last_of("\\/");
    if (slash != std::string::npos) {
        directory.resize(slash);
    } else {
        directory.resize(directory.size() >= 2 && directory[1] == ':' ? 2 : 0);
    }
    if (int result = VAR_Set("UninstallDirectory", directory.c_str()); result != 0) {
        ZYNERROR_Fatal(result, kSource, __LINE__);
    }
}

// A second uninstaller of the same demo gives way to the first and brings it forward.
bool GiveWayToRunning(const char* title) {
    HWND running = WMUNINS_FindRunning(title);
    if (running == nullptr) return false;
    MODULE_RunAll();
    SetForegroundWindow(GetLastActivePopup(running));
    UpdateWindow(running);
    return true;
}

}  // namespace

int UNINS_Main(HINSTANCE instance, const char*) {
    WMINST_SetInstance(instance);
    // Without InstallName the titles fall back to UninstallName and the language
    // library chosen is the uninstaller's own copy.
    VAR_Delete("InstallName");
    SetUninstallDirectory(instance);
    char application[kTitleSize] = "";
    VAR_Get("ApplicationName", application, sizeof application);
    if (GiveWayToRunning(application)) return 0;

    WMUNINS_RegisterClass(instance);
    HWND window = WMUNINS_CreateWindow(instance, application);
    WMINST_SetMainWindow(window);
    BMPDISP_Init();
    UINT saved_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    int result = UNINS_Confirm();
    if (result == 0) HELPER_TellRestart();

    SetErrorMode(saved_mode);
    BMPDISP_Terminate();
    STATUS_Discard();
    if (window != nullptr) DestroyWindow(window);
    WMINST_SetMainWindow(nullptr);
    VAR_Terminate();
    WMUNINS_UnregisterClass(instance);
    if (result != 0) {
        LANGUAGE_Terminate();
        return 0;
    }
    // The library file is the uninstaller's own copy: it goes with the demo.
    LANGUAGE_Discard();
    HELPER_Start();
    return 0;
}

int UNINS_Confirm() {
    if (int result = LANGUAGE_Load(); result != 0) return result;
    char application[VAR_MAX_WORK_LENGTH] = "";
    VAR_Get("ApplicationName", application, sizeof application);
    MSG_SetCaption(IDS_TITLE_CONFIRM_UNINSTALL, application);
    if (MSG_Box(IDS_MSG_CONFIRM_UNINSTALL, MB_OKCANCEL | MB_ICONQUESTION, application) != IDOK) return -1;
    int result = LOGUNINS_Run();
    if (result < 0) ZYNERROR_Fatal(result, kSource, __LINE__);
    return result;
}
