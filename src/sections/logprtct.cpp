// The Protection section.
#include "sections/logprtct.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "run/plist.h"
#include "script/common.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/dde.h"
#include "sections/logini.h"
#include "sections/logmod.h"
#include "sections/logreg.h"
#include "ui/dialog.h"
#include "ui/string_ids.h"

namespace {

constexpr char kSource[] = "logprtct";
constexpr int kFieldSize = 256;
constexpr int kLineSize = 255;
constexpr int kFields = 6;  // token, at most three parameters, uninstall?, install?
constexpr int kDirectorySize = 260;
constexpr int kVariableSize = 255;
constexpr int kGroupSize = 255;

constexpr char kFlagsA[] = "LOGMOD_BEGINNING | LOGMOD_MATCH_EXACT | LOGMOD_MATCH_DONT_ADD | LOGMOD_IGNORE_COMMENTED";
constexpr char kFlagsB[] = "LOGMOD_MATCH_FILENAME | LOGMOD_MATCH_DONT_ADD | LOGMOD_IGNORE_COMMENTED";
constexpr char kCompaqShell[] = "cpqshell";

void Check(int code, int line) {
    if (code < 0) ZYNERROR_Fatal(code, kSource, line);
}

std::string Format(const char* format, const std::string& a, const std::string& b = {},
                   const std::string& c = {}) {
    char text[3 * kDirectorySize + 64];
    std::snprintf(text, sizeof text, format, a.c_str(), b.c_str(), c.c_str());
    return text;
}

std::string ReadVariable(const char* name, int size, int line) {
    std::string value(static_cast<size_t>(size), '\0');
    Check(VAR_Get(name, value.data(), size), line);
    value.resize(std::strlen(value.c_str()));
    return value;
}

bool Same(const std::string& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }

// What one call works with: the machine's places and the current line's fields. Fields
// a line leaves out keep what the previous line put there.
struct Run {
    int demo = -1;
    std::string windows, destination, short_destination, os, boot;
    char fields[kFields][kFieldSize] = {};
    const char* uninstall = "";
    const char* install = "";
    bool compaq_shell = false;  // an earlier SetShell line replaced a Compaq shell

    const char* Parameter(int n) const { return fields[n]; }

    void Ini(const char* operation, const std::string& file, const char* section, const char* entry,
             const std::string& value, const char* replace, const char* record, int line) const {
        Check(LOGINI_ChangeEntry(demo, operation, file.c_str(), section, entry, value.c_str(), replace, record,
                                 install),
              line);
    }
    // Old and new line are the same text: the line is added once and found again after.
    void Mod(const char* flags, const std::string& file, const std::string& text, int line) const {
        Check(LOGMOD_ChangeFile(demo, flags, file.c_str(), text.c_str(), text.c_str(), uninstall, install), line);
    }
    void Reg(const char* operation, const char* key, const char* type, const char* name, const char* data,
             int line) const {
        Check(LOGREG_ChangeRegistry(demo, operation, key, type, name, data, uninstall, install), line);
    }
    std::string SystemIni() const { return windows + "\\SYSTEM.INI"; }
    std::string ShellIni() const { return destination + "\\ZYNSHL32.INI"; }
    std::string CurrentShell() const {
        char shell[kFieldSize] = "";
        GetPrivateProfileStringA("boot", "shell", "", shell, sizeof shell, SystemIni().c_str());
        return shell;
    }
};

void ProgmanRestriction(Run& run, const char* entry) {
    run.Ini("MODIFY", run.windows + "\\PROGMAN.INI", "restrictions", entry, "0", " ", run.uninstall, __LINE__);
}

void NoRun(Run& run) { ProgmanRestriction(run, "NoRun"); }
void NoClose(Run& run) { ProgmanRestriction(run, "NoClose"); }
void NoSaveSettings(Run& run) { ProgmanRestriction(run, "NoSaveSettings"); }
void NoFileMenu(Run& run) { ProgmanRestriction(run, "NoFileMenu"); }
void EditLevel(Run& run) { ProgmanRestriction(run, "EditLevel"); }

void NoBreak(Run& run) {
    run.Mod(kFlagsA, run.boot + "\\CONFIG.SYS", Format("device=%s\\NOBREAK.SYS", run.destination), __LINE__);
}

void NoReboot(Run& run) {
    run.Ini("ADD_MULTI", run.SystemIni(), "386Enh", "device", "NOREBOOT.EXE", "NOREBOOT.EXE", run.uninstall,
            __LINE__);
}

void BootKeys(Run& run) {
    const std::string dos = ReadVariable("DOS", kVariableSize, __LINE__);
    if (Same(dos, "DOS6") && Same(run.os, "Win3.x")) {
        run.Mod(kFlagsA, run.boot + "\\CONFIG.SYS", "SWITCHES=/N", __LINE__);
    } else if (Same(run.os, "Win95")) {
        const std::string msdos = run.boot + "\\MSDOS.SYS";
        run.Ini("ADD", msdos, "Options", "BootGUI", "1", "", run.uninstall, __LINE__);
        run.Ini("ADD", msdos, "Options", "BootKeys", "0", "", run.uninstall, __LINE__);
        run.Ini("ADD", msdos, "Options", "BootWin", "1", "", run.uninstall, __LINE__);
    }
}

void StartWin(Run& run) { run.Mod(kFlagsB, run.boot + "\\AUTOEXEC.BAT", run.windows + "\\WIN", __LINE__); }

// The demo's shell launcher takes the system shell over; the shell it replaces is kept
// for the launcher and for the check program that repairs the shell line at start-up.
void SetShell(Run& run) {
    run.Ini("ADD", run.Parameter(1), run.Parameter(2), run.Parameter(3), "1", "", run.uninstall, __LINE__);
    std::string old_shell = run.CurrentShell();
    if (COMMON_FindNoCase(old_shell.c_str(), kCompaqShell) != nullptr) run.compaq_shell = true;
    run.Ini("ADD", run.SystemIni(), "boot", "shell", run.short_destination + "\\ZYNSHL32.EXE", "", run.uninstall,
            __LINE__);
    CharUpperA(old_shell.data());
    // Our own launcher, or one left behind by a kiosk of the same kind, is no shell to go back to.
    if (old_shell.empty() || old_shell.find("ZYNSHL32") != std::string::npos ||
        old_shell.find("CUBHOUSE") != std::string::npos) {
        old_shell = run.windows + (Same(run.os, "Win95") ? "\\EXPLORER.EXE" : "\\PROGMAN.EXE");
    }
    run.Ini("ADD", run.ShellIni(), "ZYN SHELL", "OLDSHELL", old_shell, "", "N", __LINE__);
    run.Reg("REG_SET_VALUE", "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
            "REG_SZ", "ZYNChkShell32", Format("%s\\CHKSHL32.EXE %s %s", run.windows, run.windows, old_shell).c_str(),
            __LINE__);
    run.Ini("DELETE_MULTI", run.windows + "\\WININIT.INI", "Rename", "NUL", run.windows + "\\CHKSHL32.EXE", "", "N",
            __LINE__);
    if (Same(run.os, "Win95")) {
        run.Ini("DELETE", run.SystemIni(), "boot", "taskman.exe", "", "", run.uninstall, __LINE__);
    }
}

bool IsNt351() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return false;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 3 &&
           version.dwMinorVersion == 51;
}

// SYSTEM.INI of those systems holds 8.3 names only; NT 3.51 keeps the name as written.
void SetScreenSaver(Run& run) {
    if (!COMMON_IsTrue(run.install)) return;
    std::string path = run.Parameter(1);
    if (!IsNt351()) {
        char short_path[MAX_PATH] = "";
        DWORD length = GetShortPathNameA(path.c_str(), short_path, sizeof short_path);
        if (length > 0 && length < sizeof short_path) path = short_path;
    }
    run.Ini("ADD", run.SystemIni(), "boot", "SCRNSAVE.EXE", path, "", run.uninstall, __LINE__);
    Check(VAR_Set("SetScreenSaverActive", "Y"), __LINE__);
}

void RemoveDriver(Run& run) {
    run.Ini("UNAPPEND", run.SystemIni(), "boot", "drivers", "STARTNAV.DLL", "", run.uninstall, __LINE__);
    run.Ini("ADD", run.ShellIni(), "ZYN SHELL", "APPS", "STARTNAV.EXE", "", run.uninstall, __LINE__);
    run.Mod(kFlagsA, run.boot + "\\AUTOEXEC.BAT",
            Format("%s\\FIXDRV.EXE %s \"%s\"", run.windows, run.windows, "STARTNAV.DLL"), __LINE__);
}

void NoStartupSound(Run& run) {
    if (Same(run.os, "Win95")) {
        run.Reg("REG_SET_VALUE", "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current",
                "REG_SZ", "(Default)", "", __LINE__);
    } else if (Same(run.os, "WinNT")) {
        run.Reg("REG_SET_VALUE", "HKEY_CURRENT_USER\\Control Panel\\Sounds", "REG_SZ", "SystemStart", "", __LINE__);
    } else if (Same(run.os, "Win3.x")) {
        run.Ini("ADD", run.windows + "\\WIN.INI", "Sounds", "SystemStart", "", "", run.uninstall, __LINE__);
    }
}

void GraphicsAcceleration(Run& run) {
    constexpr char kKey[] = "HKEY_LOCAL_MACHINE\\Config\\0001\\Display\\Settings";
    run.Reg("REG_SET_VALUE", kKey, "REG_SZ", "SwCursor", "0", __LINE__);
    run.Reg("REG_SET_VALUE", kKey, "REG_SZ", "Advanced", "1", __LINE__);
}

void DisablePowerSaving(Run& run) {
    if (!Same(run.os, "Win95")) return;
    constexpr char kDesktop[] = "HKEY_USERS\\.Default\\Control Panel\\desktop";
    run.Reg("REG_SET_VALUE", kDesktop, "REG_SZ", "ScreenSavePowerOffActive", "0", __LINE__);
    run.Reg("REG_SET_VALUE", kDesktop, "REG_SZ", "ScreenSaveLowPowerActive", "0", __LINE__);
    run.Reg("REG_SET_VALUE", "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VXD\\VPOWERD", "REG_DWORD",
            "Flags", "0x00000001", __LINE__);
    // The bytes come from the installer's own RCDATA resource of that name.
    run.Reg("REG_SET_VALUE_EXIST", "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\FileSystem",
            "REG_BINARY", "ACDriveSpinDown", "ACDRIVE_SPIN_DOWN", __LINE__);
}

// The vendor's shell must be set up again once it no longer starts the machine.
void CompaqShellFix(Run& run) {
    if (!run.compaq_shell && COMMON_FindNoCase(run.CurrentShell().c_str(), kCompaqShell) == nullptr) return;
    std::string command = Format("%s\\dunehall.exe %s %s", run.destination, "SETUP", run.destination);
    UINT started = WinExec(command.c_str(), SW_HIDE);
    if (started < 32) {
        MSG_SetCaption(IDS_TITLE_PROGRAM_NOT_STARTED);
        MSG_Box(IDS_MSG_SUPPORT_NOT_STARTED, MB_OK, started, command.c_str());
    }
}

// The vendor's phone program must not start with the machine: its item leaves the
// StartUp group. Program Manager's answer names the items and their command lines.
void RemovePhoneItem() {
    DDE_Connect();
    char group[kGroupSize] = "";
    DDE_Request("StartUp", group, sizeof group);
    const std::string title = LOGPRTCT_FindPhoneItem(group);
    if (!title.empty()) {
        DDE_Execute("[ShowGroup(StartUp,2)]");
        DDE_Execute("[ShowGroup(StartUp,1)]");
        DDE_Execute(("[DeleteItem(" + title + ")]").c_str());
    }
    DDE_Disconnect();
}

void CompaqPhoneCenter(Run&) { RemovePhoneItem(); }

struct Token {
    const char* name;
    void (*apply)(Run& run);
    int flags_at;  // field index of uninstall?; install? follows it
};

// In the order the tokens are tested.
constexpr Token kTokens[] = {
    {"NoRun", NoRun, 1},
    {"NoClose", NoClose, 1},
    {"NoSaveSettings", NoSaveSettings, 1},
    {"NoFileMenu", NoFileMenu, 1},
    {"EditLevel", EditLevel, 1},
    {"NoBreak", NoBreak, 1},
    {"NoReboot", NoReboot, 1},
    {"BootKeys", BootKeys, 1},
    {"StartWin", StartWin, 1},
    {"SetShell", SetShell, 4},
    {"SetScreenSaver", SetScreenSaver, 2},
    {"RemoveDriver", RemoveDriver, 1},
    {"NoStartupSound", NoStartupSound, 1},
    {"GraphicsAcceleration", GraphicsAcceleration, 1},
    {"DisablePowerSaving", DisablePowerSaving, 1},
    {"CompaqShellFix", CompaqShellFix, 1},
    {"CompaqPhoneCenter", CompaqPhoneCenter, 1},
};

const Token* FindToken(const char* name) {
    for (const Token& token : kTokens) {
        if (lstrcmpiA(name, token.name) == 0) return &token;
    }
    return nullptr;
}

std::string WindowsDirectory() {
    char windows[MAX_PATH] = "";
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows) windows[0] = '\0';
    COMMON_RemoveTrailingBackslash(windows);
    return windows;
}

// Splits the line into the fields; the token stays as written, the others are expanded
// and cut to the field size.
void ReadFields(char* line, Run& run) {
    char* field = COMMON_NextToken(line, ",", " \t\n");
    for (int i = 0; field != nullptr && i < kFields; ++i, field = COMMON_NextToken(nullptr, ",", " \t\n")) {
        if (i == 0) {
            std::snprintf(run.fields[0], kFieldSize, "%s", field);
            continue;
        }
        char expanded[VAR_MAX_WORK_LENGTH];
        Check(VAR_Substitute(field, expanded, sizeof expanded), __LINE__);
        std::snprintf(run.fields[i], kFieldSize, "%s", expanded);
    }
}

}  // namespace

int LOGPRTCT_Install(int demo_id, const char* section, int action) {
    if (action != PLIST_INSTALL && action != PLIST_EXCLUSIVE_TEST) {
        ZYNERROR_Fatal(ERROR_PLIST_UNKNOWN_ACTION, kSource, __LINE__);
    }
    Run run;
    run.demo = demo_id;
    // The check pass comes before the short form of the destination exists, and needs
    // nothing but the section's first line.
    if (action == PLIST_INSTALL) {
        run.windows = WindowsDirectory();
        run.destination = ReadVariable("DestinationDirectory", kDirectorySize, __LINE__);
        run.short_destination = ReadVariable("ShortDestinationDirectory", kDirectorySize, __LINE__);
        run.os = ReadVariable("OS", kVariableSize, __LINE__);
        run.boot = ReadVariable("BootDrive", kVariableSize, __LINE__);
    }
    char name[kFieldSize];
    std::snprintf(name, sizeof name, "%s", section != nullptr ? section : "");
    Check(INF_FindSection(name), __LINE__);
    char line[kLineSize];
    for (;;) {
        int result = INF_ReadLine(line, sizeof line);
        if (result == 1) return result;
        Check(result, __LINE__);
        // A demo that locks the machine down is always exclusive.
        if (action == PLIST_EXCLUSIVE_TEST) return ERROR_PLIST_EXCLUSIVE;
        ReadFields(line, run);
        const Token* token = FindToken(run.fields[0]);
        if (token == nullptr) ZYNERROR_Fatal(ERROR_LOGPRTCT_UNKNOWN_TOKEN, kSource, __LINE__);
        run.uninstall = run.fields[token->flags_at];
        run.install = run.fields[token->flags_at + 1];
        token->apply(run);
    }
}
