// The Protection section on the real Windows directory's INI files, a boot drive and
// destination of the test's own, and the real registry: for each token and each system
// it tells apart, exactly what one install changes, and what the uninstall replay of
// the change log gives back.
#include "sections/logprtct.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "run/helper.h"
#include "run/logunins.h"
#include "support/dialogs_win.h"
#include "sections/sectiontest.h"

namespace {

namespace fs = std::filesystem;
using zyntest::DialogScript;
using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

// Keys the tokens write; a snapshot lists each one, its parents, and its values.
const char* const kKeys[] = {
    "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current",
    "HKEY_LOCAL_MACHINE\\Config\\0001\\Display\\Settings",
    "HKEY_USERS\\.Default\\Control Panel\\desktop",
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VXD\\VPOWERD",
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\FileSystem",
};
constexpr char kFileSystem[] = "System\\CurrentControlSet\\Control\\FileSystem";

HKEY Root(const std::string& path) {
    if (path.rfind("HKEY_CURRENT_USER", 0) == 0) return HKEY_CURRENT_USER;
    if (path.rfind("HKEY_USERS", 0) == 0) return HKEY_USERS;
    return HKEY_LOCAL_MACHINE;
}

class Protection : public ::testing::Test {
protected:
    void SetUp() override {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof windows);
        w_ = windows;
        for (const char* name : {"SYSTEM.INI", "WIN.INI", "PROGMAN.INI", "WININIT.INI"}) {
            const std::string path = w_ + "\\" + name;
            if (fs::exists(path)) saved_[path] = ReadFileBytes(path);
            else saved_[path] = std::nullopt;
        }
        fs::create_directories(d_);
        fs::create_directories(b_);
        VAR_Init(VAR_DEFAULT_MAX_NUM);
        VAR_Set("DestinationDirectory", d_.c_str());
        VAR_Set("ShortDestinationDirectory", "C:\\ZYNSHORT");
        VAR_Set("BootDrive", b_.c_str());
        VAR_Set("UninstallDirectory", dir_.path().c_str());
        VAR_Set("ApplicationName", "Aquarium");
        std::string info = dir_.file("unins.ini");
        WritePrivateProfileStringA("INFO", "DemoID", "0", info.c_str());
        WritePrivateProfileStringA("INFO", "LOGFile", log_.c_str(), info.c_str());

        WriteFileBytes(w_ + "\\PROGMAN.INI",
                       "[restrictions]\r\nNoRun=1\r\nNoClose=1\r\nNoSaveSettings=1\r\nNoFileMenu=1\r\n");
        DeleteFileA((w_ + "\\WININIT.INI").c_str());
        WritePrivateProfileStringA("boot", "drivers", "mmsystem.dll STARTNAV.DLL", SystemIni().c_str());
        WritePrivateProfileStringA("386Enh", "device", "*vpicd", SystemIni().c_str());
        WriteFileBytes(b_ + "\\CONFIG.SYS", "FILES=30\r\n");
        WriteFileBytes(b_ + "\\AUTOEXEC.BAT", "@ECHO OFF\r\n");
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFileSystem, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        const BYTE spin[] = {1, 2};
        RegSetValueExA(key, "ACDriveSpinDown", 0, REG_BINARY, spin, sizeof spin);
        RegCloseKey(key);
    }
    void TearDown() override {
        INF_Terminate();
        ZYNLOG_Terminate();
        VAR_Terminate();
        for (const auto& [path, bytes] : saved_) {
            if (bytes) WriteFileBytes(path, *bytes);
            else DeleteFileA(path.c_str());
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
        }
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFileSystem, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "ACDriveSpinDown");
            RegCloseKey(key);
        }
        DeleteFileA((w_ + "\\" + HELPER_INI_NAME).c_str());
        HELPER_Reset();
    }

    std::string SystemIni() const { return w_ + "\\SYSTEM.INI"; }
    void SetShell(const char* shell) { WritePrivateProfileStringA("boot", "shell", shell, SystemIni().c_str()); }

    // The test's places written W, B, D and S, the registry roots shortened.
    std::string Named(std::string text) const {
        for (auto [from, to] : {std::pair{d_, "D"}, {b_, "B"}, {w_, "W"},
                                {std::string("C:\\ZYNSHORT"), "S"},
                                {std::string("HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default"), "EVENTS"},
                                {std::string("HKEY_LOCAL_MACHINE\\System\\CurrentControlSet"), "CCS"},
                                {std::string("HKEY_USERS\\.Default\\Control Panel"), "HKU\\CP"},
                                {std::string("HKEY_CURRENT_USER"), "HKCU"}, {std::string("HKEY_LOCAL_MACHINE"), "HKLM"},
                                {std::string("HKEY_USERS"), "HKU"}}) {
            for (size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), to);
        }
        return text;
    }
    // The machine as lines: INI lines under their section, text lines numbered, each key
    // with its parents and values.
    std::multiset<std::string> Snapshot() const {
        std::multiset<std::string> lines;
        const std::string files[] = {SystemIni(),          w_ + "\\WIN.INI",      w_ + "\\PROGMAN.INI",
                                     w_ + "\\WININIT.INI", b_ + "\\CONFIG.SYS",   b_ + "\\AUTOEXEC.BAT",
                                     b_ + "\\MSDOS.SYS",   d_ + "\\ZYNSHL32.INI"};
        for (const std::string& file : files) {
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
            if (!fs::exists(file)) continue;
            const std::string name = Named(file);
            const bool ini = file.find("CONFIG.SYS") == std::string::npos && file.find(".BAT") == std::string::npos;
            lines.insert(name);
            std::istringstream text(ReadFileBytes(file));
            std::string line, section;
            for (int number = 1; std::getline(text, line); ++number) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                if (ini && line.rfind('[', 0) == 0) section = line;
                lines.insert(Named(name + " " + (ini ? section + " " : std::to_string(number) + ":") + line));
            }
        }
        for (const char* path : kKeys) {
            const std::string full = path;
            const std::string sub = full.substr(full.find('\\') + 1);
            for (size_t at = 0; (at = sub.find('\\', at + 1)) != std::string::npos;) {
                HKEY parent = nullptr;
                if (RegOpenKeyExA(Root(full), sub.substr(0, at).c_str(), 0, KEY_READ, &parent) != ERROR_SUCCESS)
                    continue;
                lines.insert(Named(full.substr(0, full.size() - sub.size() + at)));
                RegCloseKey(parent);
            }
            HKEY key = nullptr;
            if (RegOpenKeyExA(Root(full), sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
            lines.insert(Named(full));
            for (const auto& [name, data] : zyntest::RegistryValues(key))
                lines.insert(Named(full + "|" + (name.empty() ? "(Default)" : name) + "=" + data));
            RegCloseKey(key);
        }
        return lines;
    }
    // What changed from before to after: "+line" and "-line", sorted, one per line.
    static std::string Diff(const std::multiset<std::string>& before, const std::multiset<std::string>& after) {
        std::vector<std::string> gone, added;
        std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(gone));
        std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
        std::multimap<std::string, char> changes;  // by line, "+" before "-" on the same line
        for (const std::string& line : added) changes.emplace(line, '+');
        for (const std::string& line : gone) changes.emplace(line, '-');
        std::string all;
        for (const auto& [line, sign] : changes) all += sign + line + "\n";
        return all;
    }

    // Installs the section as demo 0 of a new log, saved where unins.ini points.
    void Install(const std::string& lines) {
        ASSERT_EQ(ZYNLOG_Init(log_.c_str(), ZYNLOG_DEFAULT_AUTOSAVE), 0);
        int demo = -1;
        ASSERT_EQ(LOGCOMN_NewDemo("Aquarium", &demo), 0);
        const std::string script = "[Protection]\r\n" + lines + "\r\n";
        ASSERT_EQ(INF_LoadText(script.c_str(), script.size()), 0);
        ASSERT_EQ(LOGPRTCT_Install(demo, "Protection", PLIST_INSTALL), 1);
        INF_Terminate();
        ASSERT_EQ(ZYNLOG_Terminate(), 0);
    }
    // The real uninstall of demo 0, its closing message answered.
    void Uninstall() {
        DialogScript answers({{IDOK}});
        ASSERT_EQ(LOGUNINS_Run(), 0);
    }

    zyntest::TempDir dir_;
    zyntest::LanguageLibrary english_;
    std::string w_, d_ = dir_.file("dest"), b_ = dir_.file("boot"), log_ = dir_.file("ZYNDEMO.LOG");
    std::map<std::string, std::optional<std::string>> saved_;  // the Windows INI files from before
};

TEST_F(Protection, EachTokenWritesItsEntriesLinesAndValuesAndTheUninstallGivesThemBack) {
    struct Case {
        const char *os, *dos, *shell, *lines, *installed, *left;
    };
    const Case cases[] = {
        // Missing fields keep the previous line's; MODIFY leaves an absent entry alone.
        {"Win95", "DOS7", "Explorer.exe", "NoRun, Y, Y\r\nNoClose, N, Y\r\nNoSaveSettings, Y, N\r\n"
         "EditLevel, Y, Y\r\nNoFileMenu",
         "+W\\PROGMAN.INI [restrictions] NoClose=0\n-W\\PROGMAN.INI [restrictions] NoClose=1\n"
         "+W\\PROGMAN.INI [restrictions] NoFileMenu=0\n-W\\PROGMAN.INI [restrictions] NoFileMenu=1\n"
         "+W\\PROGMAN.INI [restrictions] NoRun=0\n-W\\PROGMAN.INI [restrictions] NoRun=1\n",
         "+W\\PROGMAN.INI [restrictions] NoClose=0\n-W\\PROGMAN.INI [restrictions] NoClose=1\n"},
        // Lines that are there already are not added twice.
        {"Win95", "DOS7", "Explorer.exe", "NoBreak, Y, Y\r\nNoBreak, Y, Y\r\nNoReboot, Y, Y\r\nStartWin, Y, Y",
         "+B\\AUTOEXEC.BAT 2:W\\WIN\n-B\\CONFIG.SYS 1:FILES=30\n+B\\CONFIG.SYS 1:device=D\\NOBREAK.SYS\n"
         "+B\\CONFIG.SYS 2:FILES=30\n+W\\SYSTEM.INI [386Enh] device=NOREBOOT.EXE\n", ""},
        {"Win3.x", "DOS6", "progman.exe", "BootKeys, Y, Y",
         "-B\\CONFIG.SYS 1:FILES=30\n+B\\CONFIG.SYS 1:SWITCHES=/N\n+B\\CONFIG.SYS 2:FILES=30\n", ""},
        {"Win95", "DOS7", "Explorer.exe", "BootKeys, Y, Y",
         "+B\\MSDOS.SYS\n+B\\MSDOS.SYS [Options] BootGUI=1\n+B\\MSDOS.SYS [Options] BootKeys=0\n"
         "+B\\MSDOS.SYS [Options] BootWin=1\n+B\\MSDOS.SYS [Options] [Options]\n", ""},
        {"Win95", "DOS7", "Explorer.exe", "RemoveDriver, Y, Y",
         "-B\\AUTOEXEC.BAT 1:@ECHO OFF\n+B\\AUTOEXEC.BAT 1:W\\FIXDRV.EXE W \"STARTNAV.DLL\"\n"
         "+B\\AUTOEXEC.BAT 2:@ECHO OFF\n+D\\ZYNSHL32.INI\n+D\\ZYNSHL32.INI [ZYN SHELL] APPS=STARTNAV.EXE\n"
         "+D\\ZYNSHL32.INI [ZYN SHELL] [ZYN SHELL]\n+W\\SYSTEM.INI [boot] drivers=mmsystem.dll \n"
         "-W\\SYSTEM.INI [boot] drivers=mmsystem.dll STARTNAV.DLL\n", ""},
        {"Win95", "DOS7", "Explorer.exe", "NoStartupSound, Y, Y",
         "+EVENTS\n+EVENTS\\SystemStart\n+EVENTS\\SystemStart\\.Current\n+EVENTS\\SystemStart\\.Current|(Default)=\n",
         ""},
        {"WinNT", "DOS6", "Explorer.exe", "GraphicsAcceleration, Y, Y",
         "+HKLM\\Config\n+HKLM\\Config\\0001\n+HKLM\\Config\\0001\\Display\n+HKLM\\Config\\0001\\Display\\Settings\n"
         "+HKLM\\Config\\0001\\Display\\Settings|Advanced=1\n+HKLM\\Config\\0001\\Display\\Settings|SwCursor=0\n", ""},
        // The value overwritten is kept beside it until the uninstall.
        {"Win95", "DOS7", "Explorer.exe", "DisablePowerSaving, Y, Y",
         "+CCS\\Control\\FileSystem|ACDriveSpinDown=00000000\n-CCS\\Control\\FileSystem|ACDriveSpinDown=0102\n"
         "+CCS\\Control\\FileSystem|ZYN_VALUE_0000=0102\n+CCS\\Services\\VXD\\VPOWERD\n"
         "+CCS\\Services\\VXD\\VPOWERD|Flags=01000000\n+HKU\\CP\n+HKU\\CP\\desktop\n"
         "+HKU\\CP\\desktop|ScreenSaveLowPowerActive=0\n+HKU\\CP\\desktop|ScreenSavePowerOffActive=0\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.os) + " " + c.dos + ": " + c.lines);
        VAR_Set("OS", c.os);
        VAR_Set("DOS", c.dos);
        SetShell(c.shell);
        const auto before = Snapshot();
        Install(c.lines);
        EXPECT_EQ(Diff(before, Snapshot()), c.installed);
        Uninstall();
        EXPECT_EQ(Diff(before, Snapshot()), c.left);
    }
}

TEST_F(Protection, AnyLineMakesTheDemoExclusiveAndUnknownTokensEndTheRun) {
    const std::string script = "[Protection]\r\nNoRun, N, N\r\n[Empty]\r\n";
    ASSERT_EQ(INF_LoadText(script.c_str(), script.size()), 0);
    EXPECT_EQ(LOGPRTCT_Install(0, "Protection", PLIST_EXCLUSIVE_TEST), ERROR_PLIST_EXCLUSIVE);
    EXPECT_EQ(LOGPRTCT_Install(0, "Empty", PLIST_EXCLUSIVE_TEST), 1);
    // A blank before the comma belongs to the token.
    for (const char* line : {"NoRunAway, Y, Y", "NoRun , Y, Y"}) {
        const std::string bad = std::string("[Protection]\r\n") + line + "\r\n";
        ASSERT_EQ(INF_LoadText(bad.c_str(), bad.size()), 0);
        EXPECT_FATAL(LOGPRTCT_Install(0, "Protection", PLIST_INSTALL))
            << line;
    }
}

}  // namespace
