// The installer's entry. One executable is bootstrap, installer and uninstaller:
// its own path decides. From the medium it copies itself into "_zyntemp" and
// starts that copy; the copy installs; under the uninstaller's name it uninstalls.
#include <windows.h>

#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "run/helper.h"
#include "run/install.h"
#include "run/loginst.h"
#include "run/logunins.h"
#include "run/unins.h"
#include "run/wm_inst.h"
#include "script/common.h"
#include "script/errcodes.h"
#include "script/inf.h"
#include "script/module.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sys/sys32.h"
#include "sys/syscheck.h"
#include "sys/zyndisk.h"
#include "ui/bmpdisp.h"
#include "ui/status.h"
#include "ui/dialog.h"
#include "ui/event.h"
#include "ui/language.h"
#include "ui/string_ids.h"

namespace {

constexpr char kSource[] = "wm_inst";
constexpr char kDefaultInstallName[] = "ZYN Install";
constexpr char kScriptResource[] = "INSTALL_INF";
constexpr char kUninsIni[] = "unins.ini";
constexpr int kPathSize = 260;
constexpr int kApplicationNameSize = 256;  // 255 characters and the terminator
constexpr int kDestinationSize = 1024;
constexpr uint32_t kAnyFileMask = 0x87;  // read-only, hidden, system and normal files

void Check(int error, int line) {
    if (error != 0) ZYNERROR_Fatal(error, kSource, line);
}

std::string LowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}


std::string OwnPath(HINSTANCE instance) {
    char path[kPathSize + 1] = "";
    DWORD length = GetModuleFileNameA(instance, path, sizeof path);
    if (length == 0 || length >= sizeof path) path[0] = '\0';
    return path;
}

// Every blank-separated word goes to the switch handler in order; there is no
// limit on their number, as nothing keeps them afterwards.
void HandCommandLineToSwitches(const char* command_line) {
    std::string_view rest = command_line != nullptr ? command_line : "";
    while (!rest.empty()) {
        size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        rest.remove_prefix(start);
        size_t end = rest.find(' ');
        std::string word(rest.substr(0, end));
        SYSCHECK_CommandLineSwitch(word.c_str());
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end);
    }
}

HWND CreateMainWindow(HINSTANCE instance, const char* caption) {
    if (!WMINST_RegisterClass(instance, WMINST_CLASS_NAME)) COMMON_DebugPrint("wm_inst: RegisterClass failed: %lu\n", GetLastError());
    HWND window = CreateWindowExA(0, WMINST_CLASS_NAME, caption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) COMMON_DebugPrint("wm_inst: CreateWindowEx failed: %lu\n", GetLastError());
    WMINST_SetMainWindow(window);
    BMPDISP_Init();
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    return window;
}

void SwitchScreenSaversOff() {
    if (!VAR_GetFlag("DisableScreenSavers")) return;
    BOOL active = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
    Check(VAR_Set("SetScreenSaverActive", active ? "Y" : "N"), __LINE__);
}

void SwitchScreenSaversOnAgain() {
    if (!VAR_Exists("SetScreenSaverActive") || !VAR_GetFlag("SetScreenSaverActive")) return;
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_UPDATEINIFILE);
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDWININICHANGE);
}

std::string DestinationPath(const char* name) {
    char path[kDestinationSize];
    std::strncpy(path, name, sizeof path - 1);
    path[sizeof path - 1] = '\0';
    Check(LOGINST_MakeDestinationPath(path, sizeof path), __LINE__);
    return path;
}

// Undoes what the failed install recorded, the uninstaller's file and the files
// start-up knows the install wrote, then the destination if nothing else is in it:
// files the user kept there before stay.
void RollBack() {
    Check(VAR_Copy("DestinationDirectory", "UninstallDirectory"), __LINE__);
    Check(VAR_Delete("DestinationDirectory"), __LINE__);
    Check(LOGUNINS_Run(), __LINE__);
    char directory[kDestinationSize] = "";
    char uninstaller[kPathSize + 1] = "";
    Check(VAR_Get("UninstallDirectory", directory, sizeof directory), __LINE__);
    Check(VAR_Get("UninstallFileName", uninstaller, sizeof uninstaller), __LINE__);
    ZYNDISK_Delete((std::string(directory) + "\\" + uninstaller).c_str(), kAnyFileMask, 0, 0);
    ZYNDISK_Delete((std::string(directory) + "\\" + kUninsIni).c_str(), kAnyFileMask, 0, 0);
    ZYNDISK_DeleteTree(directory, kAnyFileMask, 0, 0);
}

// An install that ended early (in practice, cancelled) after it began changing things.
void FailurePath(const std::string& own_path) {
    char destination[kDestinationSize] = "";
    if (VAR_Get("DestinationDirectory", destination, sizeof destination) != 0) return;
    ZYNDISK_Delete(DestinationPath(HELPER_EXE_NAME).c_str(), kAnyFileMask, 0, 0);
    const std::string unins = DestinationPath(kUninsIni);
    MSG_SetCaption(-1);
    if (SYS_Exists(own_path.c_str()) == 0) {
        MSG_Box(IDS_MSG_FILE_MISSING, MB_OK, own_path.c_str());
        return;
    }
    if (SYS_Exists(unins.c_str()) == 0) return;
    if (MSG_Box(IDS_MSG_ROLLBACK, MB_YESNO) == IDYES) RollBack();
}

void ShowRestartMessage() {
    int text = 0;
    if (VAR_GetFlag("RestartWindows")) {
        text = IDS_MSG_RESTART_WINDOWS;
    } else if (VAR_GetFlag("RestartSystem")) {
        text = IDS_MSG_RESTART_SYSTEM;
    }
    if (text == 0) return;
    MSG_SetCaption(IDS_TITLE_RESTART);
    MSG_Box(text, MB_OK);
}

// Both flags ask for the same restart; each one that is set makes its own request.
void RequestRestarts() {
    for (const char* flag : {"RestartWindows", "RestartSystem"}) {
        if (!VAR_GetFlag(flag)) continue;
        HELPER_SetRestartNeeded(1);
        HELPER_Start();
        HELPER_RequestShutdown();
    }
}

// The temporary copy's files are the helper's to remove however the run ends. A fatal
// error ends it through the clean-up list, where this entry, registered before any
// other, runs last.
int StartHelperAtEarlyEnd() {
    HELPER_Start();
    return 0;
}

int RunInstall(HINSTANCE instance, const char* command_line, const std::string& own_path,
               const char* application_name) {
    // A second run of the same demo gives way to the first one's window.
    if (HWND first = FindWindowA(WMINST_CLASS_NAME, application_name)) {
        // The temporary directory is the first run's, still in use.
        MODULE_Unregister(StartHelperAtEarlyEnd);
        MODULE_RunAll();
        SetForegroundWindow(GetLastActivePopup(first));
        UpdateWindow(first);
        return 0;
    }
    HandCommandLineToSwitches(command_line);
    HWND window = CreateMainWindow(instance, application_name);
    const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    SwitchScreenSaversOff();

    const int result = INSTALL_Run();
    if (result != 0 && result != ERROR_INSTALL_NEVER_STARTED) FailurePath(own_path);
    if (result == 0) ShowRestartMessage();

    SetErrorMode(previous_mode);
    BMPDISP_Terminate();
    STATUS_Discard();
    if (window != nullptr) DestroyWindow(window);
    WMINST_SetMainWindow(nullptr);
    INF_Terminate();
    UnregisterClassA(WMINST_CLASS_NAME, instance);
    SwitchScreenSaversOnAgain();
    if (result == 0) RequestRestarts();

    VAR_Terminate();
    LANGUAGE_Terminate();
    MODULE_Unregister(StartHelperAtEarlyEnd);
    HELPER_Start();
    return 0;
}

int Run(HINSTANCE instance, const char* command_line) {
    COMMON_RegisterErrorHooks();
    const std::string own_path = LowerCase(OwnPath(instance));

    // Only the installed uninstaller (beside unins.ini) and the temporary copy run
    // in place; from anywhere else the program moves to a local drive first.
    const std::string unins = WMINST_DriveAndDirectory(own_path) + kUninsIni;
    if (SYS_Exists(unins.c_str()) == 0 && own_path.find(WMINST_TEMP_DIRECTORY) == std::string::npos) {
        WMINST_RunFromTemp(instance, command_line);
        VAR_Terminate();
        return 0;
    }

    if (own_path.find(WMINST_TEMP_DIRECTORY) != std::string::npos) MODULE_Register(StartHelperAtEarlyEnd, 0);
    WMINST_SetInstance(instance);
    Check(VAR_Init(VAR_DEFAULT_MAX_NUM), __LINE__);
    Check(VAR_Set("InstallName", kDefaultInstallName), __LINE__);
    COMMON_InitSystemVariables();
    Check(INF_Load(kScriptResource), __LINE__);
    INF_SetEventHandler(EVENT_Process);
    WMINST_ReadSourceDirectory(own_path.c_str());

    char application_name[kApplicationNameSize] = "";
    char uninstall_name[kPathSize + 1] = "";
    Check(VAR_Get("ApplicationName", application_name, sizeof application_name), __LINE__);
    Check(VAR_Get("UninstallFileName", uninstall_name, sizeof uninstall_name), __LINE__);

    // The comparison is by substring, so "myuninstal.exe" is an uninstaller too.
    if (own_path.find(LowerCase(uninstall_name)) != std::string::npos) {
        // The uninstaller hands its own list to the helper when it succeeds.
        MODULE_Unregister(StartHelperAtEarlyEnd);
        UNINS_Main(instance, command_line);
        VAR_Terminate();
        return 0;
    }
    return RunInstall(instance, command_line, own_path, application_name);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    try {
        return Run(instance, command_line);
    } catch (const std::bad_alloc&) {
        ZYNERROR_Fatal(ERROR_COMMON_MEMORY_ALLOCATE, kSource, __LINE__);
    }
}
