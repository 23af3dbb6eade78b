#include "run/helper.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/process_win.h"
#include "support/testsupport.h"

namespace {

using zyntest::PathExists;

std::string WindowsIni() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    return HELPER_MakeIniPath(windows);
}

std::string ReadIni(const char* key) {
    char value[1024];
    GetPrivateProfileStringA("Files", key, "<none>", value, sizeof value, WindowsIni().c_str());
    return value;
}

std::string ShortPath(const std::string& path) {
    char buffer[1024];
    DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return n == 0 ? path : std::string(buffer, n);
}

// The list in the Windows directory is shared by the whole prefix: each test starts
// and ends without one. The restart goes to a private key and a recorder, so that the
// test session keeps running.
std::vector<std::pair<unsigned, unsigned long>> g_shutdowns;
int RecordShutdown(unsigned flags, unsigned long reserved) { return g_shutdowns.emplace_back(flags, reserved), 1; }

class HelperList : public ::testing::Test {
protected:
    void SetUp() override {
        TearDown();
        g_shutdowns.clear();
        HELPER_SetRestartTarget(HKEY_CURRENT_USER, key_.c_str(), RecordShutdown);
    }
    void TearDown() override {
        HELPER_SetRestartTarget(nullptr, nullptr, nullptr);
        RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZynTest");
        DeleteFileA(WindowsIni().c_str());
        HELPER_Reset();
    }
    zyntest::TempDir dir_;
    std::string key_ = "Software\\ZynTest\\RunOnce" + std::to_string(GetCurrentProcessId());
};

TEST_F(HelperList, EntriesAreNumberedFromZeroAndLoadedLibrariesAskForARestart) {
    std::string existing = dir_.file("A Long File Name.txt"), missing = dir_.file("gone.txt");
    zyntest::WriteFileBytes(existing, "x");
    HELPER_AddFile("C:\\WINDOWS\\SYSTEM\\EVENTM32.DLL");
    HELPER_Reset();  // counts from zero again, without the restart
    HELPER_AddFile(existing.c_str());
    HELPER_AddFile(missing.c_str());
    EXPECT_EQ(ReadIni("File0"), ShortPath(existing));
    EXPECT_EQ(ReadIni("File0").find(' '), std::string::npos);
    // Without a file there is no short form: the path is listed as given.
    EXPECT_EQ(ReadIni("File1") + "|" + ReadIni("Number") + "|" + ReadIni("File2"), missing + "|2|<none>");

    EXPECT_EQ(HELPER_IsRestartNeeded(), 0);
    HELPER_AddFile("c:\\windows\\system\\audiom32.dll");
    HELPER_AddFile("C:\\DEMO\\B.TXT");
    ASSERT_EQ(HELPER_IsRestartNeeded(), 1);
    HELPER_Start();
    EXPECT_TRUE(g_shutdowns.empty()) << "without the RunOnce key no shutdown is requested";
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

// Registers the helper's command line in RunOnce and asks for the restart.
void ExpectRestart(const std::string& key_path, unsigned flags, unsigned long reserved) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
    HELPER_SetRestartNeeded(1);
    HELPER_Start();
    char value[1024] = "";
    DWORD size = sizeof value, type = 0;
    LONG rc = RegQueryValueExA(key, HELPER_RUNONCE_VALUE, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegDeleteValueA(key, HELPER_RUNONCE_VALUE);
    RegCloseKey(key);
    ASSERT_EQ(rc, ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string expected = HELPER_MakeCommandLine(module, ShortPath(WindowsIni()));
    EXPECT_EQ(std::string(value), expected);
    EXPECT_EQ(size, expected.size() + 1);  // stored with its terminating zero
    EXPECT_EQ(g_shutdowns, (std::vector<std::pair<unsigned, unsigned long>>{{flags, reserved}}));
}

// Wine presents the NT family: log off, with the reserved argument all ones.
TEST_F(HelperList, RestartRegistersTheHelperAndLogsOff) { ExpectRestart(key_, EWX_LOGOFF, 0xFFFFFFFFul); }

// Run as a child under a name that Wine is told to present as Windows 95.
TEST_F(HelperList, DISABLED_ChildRestartsWindows95) { ExpectRestart(key_, EWX_REBOOT, 0); }

TEST(HelperRestartWin95, TheWindows95FamilyIsRestarted) {
    zyntest::TempDir dir;
    EXPECT_EQ(zyntest::RunChildTestAsWindows95(dir.path(), "HelperList.DISABLED_ChildRestartsWindows95", 60000), 0);
}

// Real runs of HELPER.EXE, each on its own copy: the helper removes its own file.
class HelperRun : public ::testing::Test {
protected:
    long Run(const std::vector<std::string>& entries, const std::string& argument) {
        for (size_t i = 0; i < entries.size(); ++i)
            WritePrivateProfileStringA("Files", ("File" + std::to_string(i)).c_str(), entries[i].c_str(), ini_.c_str());
        WritePrivateProfileStringA("Files", "Number", std::to_string(entries.size()).c_str(), ini_.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini_.c_str());
        CreateDirectoryA(dir_.file("app").c_str(), nullptr);
        // A fresh name each time: the last run's clean-up may still be watching its own file.
        helper_ = dir_.file("app\\HELPER" + std::to_string(++runs_) + ".EXE");
        if (!CopyFileA(zyntest::BesideTests("HELPER.EXE").c_str(), helper_.c_str(), FALSE)) return -997;
        zyntest::ChildProcess child;
        if (!child.Start("\"" + helper_ + "\"" + (argument.empty() ? "" : " " + argument))) return -998;
        return child.Wait(90000);
    }
    zyntest::TempDir dir_;
    std::string ini_ = dir_.file("helper.ini"), helper_;
    int runs_ = 0;
};

TEST_F(HelperRun, ArgumentsDecideWhatHappens) {
    const std::string missing = dir_.file("no-such.ini");
    struct Case { const char* what; std::string argument; long exit_code; bool helper_removed; } cases[] = {
        {"missing list: nothing to delete but itself", missing, 0, true},
        {"quoted path", '"' + missing + '"', 0, true},
        {"no argument: not started by the program, touches nothing", "", 2, false},
        {"blanks only", "   ", 2, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(Run({}, c.argument), c.exit_code) << c.what;
        if (!c.helper_removed) Sleep(500);
        EXPECT_EQ(c.helper_removed ? zyntest::WaitUntilGone(helper_, 20000) : !PathExists(helper_), c.helper_removed) << c.what;
    }
}

}  // namespace
