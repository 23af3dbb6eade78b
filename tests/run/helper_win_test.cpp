#include "run/helper.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "support/process_win.h"
#include "sys/zyndisk.h"
#include "support/testsupport.h"

namespace {

// The temporary copy installs the list as the copy engine's created-file hook.
static_assert(std::is_same_v<decltype(&HELPER_AddFile), ZYNDISK_CREATED_HOOK>);

using zyntest::PathExists;
using zyntest::WaitUntilGone;

std::string WindowsIni() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    return HELPER_MakeIniPath(windows);
}

std::string ReadIni(const std::string& ini, const char* key) {
    char value[1024];
    GetPrivateProfileStringA("Files", key, "<none>", value, sizeof value, ini.c_str());
    return value;
}

std::string ShortPath(const std::string& path) {
    char buffer[1024];
    DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return n == 0 ? path : std::string(buffer, n);
}

void Touch(const std::string& path) { zyntest::WriteFileBytes(path, "x"); }

// The list in the Windows directory is shared by the whole prefix: each test starts
// and ends without one.
class HelperList : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteFileA(WindowsIni().c_str());
        HELPER_Reset();
    }
    void TearDown() override {
        DeleteFileA(WindowsIni().c_str());
        HELPER_Reset();
    }
    zyntest::TempDir dir_;
};

TEST_F(HelperList, TwoEntriesGiveFile0File1AndNumber2) {
    std::string existing = dir_.file("A Long File Name.txt");
    Touch(existing);
    std::string missing = dir_.file("gone.txt");
    HELPER_AddFile(existing.c_str());
    HELPER_AddFile(missing.c_str());
    std::string ini = WindowsIni();
    EXPECT_EQ(ReadIni(ini, "File0"), ShortPath(existing));
    EXPECT_EQ(ReadIni(ini, "File0").find(' '), std::string::npos);
    // Without a file there is no short form: the path is listed as given.
    EXPECT_EQ(ReadIni(ini, "File1"), missing);
    EXPECT_EQ(ReadIni(ini, "Number"), "2");
    EXPECT_EQ(ReadIni(ini, "File2"), "<none>");
}

TEST_F(HelperList, ANewRunCountsFromZeroAgain) {
    HELPER_AddFile(dir_.file("one").c_str());
    HELPER_AddFile(dir_.file("two").c_str());
    HELPER_Reset();
    HELPER_AddFile(dir_.file("three").c_str());
    std::string ini = WindowsIni();
    EXPECT_EQ(ReadIni(ini, "File0"), dir_.file("three"));
    EXPECT_EQ(ReadIni(ini, "Number"), "1");
}

TEST_F(HelperList, LoadedLibrariesSetTheRestartFlag) {
    struct Case {
        std::vector<std::string> paths;
        int restart;
    } cases[] = {
        {{"C:\\DEMO\\README.TXT"}, 0},
        {{"C:\\WINDOWS\\SYSTEM\\EVENTM32.DLL"}, 1},
        {{"C:\\DEMO\\A.TXT", "c:\\windows\\system\\audiom32.dll", "C:\\DEMO\\B.TXT"}, 1},
        {{"C:\\DEMO\\EVENTM32.DLL.OLD"}, 0},
    };
    for (const Case& c : cases) {
        HELPER_Reset();
        for (const std::string& p : c.paths) HELPER_AddFile(p.c_str());
        EXPECT_EQ(HELPER_IsRestartNeeded(), c.restart) << c.paths[0];
    }
    HELPER_SetRestartNeeded(1);
    EXPECT_EQ(HELPER_IsRestartNeeded(), 1);
    HELPER_SetRestartNeeded(0);
    EXPECT_EQ(HELPER_IsRestartNeeded(), 0);
}

// The restart path writes RunOnce and asks for the shutdown: both are pointed at a
// private key and a recorder, so the test session keeps running.
std::vector<std::pair<unsigned, unsigned long>> g_shutdowns;
int RecordShutdown(unsigned flags, unsigned long reserved) {
    g_shutdowns.emplace_back(flags, reserved);
    return 1;
}

class HelperRestart : public HelperList {
protected:
    void SetUp() override {
        HelperList::SetUp();
        g_shutdowns.clear();
        key_ = "Software\\ZynTest\\RunOnce" + std::to_string(GetCurrentProcessId());
        HELPER_SetRestartTarget(HKEY_CURRENT_USER, key_.c_str(), RecordShutdown);
    }
    void TearDown() override {
        HELPER_SetRestartTarget(nullptr, nullptr, nullptr);
        RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZynTest");
        HelperList::TearDown();
    }
    bool CreateKey() {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }
    std::string key_;
};

TEST_F(HelperRestart, RegistersTheHelperCommandLineAndLogsOff) {
    ASSERT_TRUE(CreateKey());
    HELPER_AddFile("C:\\WINDOWS\\SYSTEM\\EVENTM32.DLL");
    ASSERT_EQ(HELPER_IsRestartNeeded(), 1);
    HELPER_Start();

    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    char value[1024] = "";
    DWORD size = sizeof value;
    DWORD type = 0;
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
    // Wine presents the NT family here: log off, with the reserved argument all ones.
    ASSERT_EQ(g_shutdowns.size(), 1u);
    EXPECT_EQ(g_shutdowns[0].first, static_cast<unsigned>(EWX_LOGOFF));
    EXPECT_EQ(g_shutdowns[0].second, 0xFFFFFFFFul);
}

TEST_F(HelperRestart, WithoutTheRunOnceKeyNoShutdownIsRequested) {
    HELPER_SetRestartNeeded(1);
    HELPER_Start();
    EXPECT_TRUE(g_shutdowns.empty());
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST(HelperRestartWin95, DISABLED_ChildRestartsWindows95) {
    g_shutdowns.clear();
    std::string key = "Software\\ZynTest\\RunOnce95_" + std::to_string(GetCurrentProcessId());
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(handle);
    HELPER_SetRestartTarget(HKEY_CURRENT_USER, key.c_str(), RecordShutdown);
    HELPER_SetRestartNeeded(1);
    HELPER_Start();
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZynTest");
    ASSERT_EQ(g_shutdowns.size(), 1u);
    EXPECT_EQ(g_shutdowns[0].first, static_cast<unsigned>(EWX_REBOOT));
    EXPECT_EQ(g_shutdowns[0].second, 0ul);
}

TEST(HelperRestartWin95, TheWindows95FamilyIsRestarted) {
    zyntest::TempDir dir;
    EXPECT_EQ(zyntest::RunChildTestAsWindows95(dir.path(), "HelperRestartWin95.DISABLED_ChildRestartsWindows95", 60000),
              0);
}

// Real runs of HELPER.EXE. Each works on a copy of it in a private directory, because
// the helper removes its own file when it is done.
class HelperRun : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = dir_.file("app");
        ASSERT_TRUE(CreateDirectoryA(app_.c_str(), nullptr));
        helper_ = app_ + "\\HELPER.EXE";
        ASSERT_TRUE(CopyFileA((zyntest::ModuleDirectory() + "\\HELPER.EXE").c_str(), helper_.c_str(), FALSE));
        ini_ = dir_.file("helper.ini");
    }
    void WriteList(const std::vector<std::string>& entries) {
        for (size_t i = 0; i < entries.size(); ++i) {
            WritePrivateProfileStringA("Files", ("File" + std::to_string(i)).c_str(), entries[i].c_str(), ini_.c_str());
        }
        WritePrivateProfileStringA("Files", "Number", std::to_string(entries.size()).c_str(), ini_.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini_.c_str());
    }
    bool StartHelper(zyntest::ChildProcess* child, const std::string& argument) {
        return child->Start("\"" + helper_ + "\"" + (argument.empty() ? "" : " " + argument));
    }
    long RunHelper(const std::string& argument) {
        zyntest::ChildProcess child;
        if (!StartHelper(&child, argument)) return -998;
        return child.Wait(90000);
    }

    zyntest::TempDir dir_;
    std::string app_;
    std::string helper_;
    std::string ini_;
};

TEST_F(HelperRun, DeletesFilesAndDirectoriesInAnyOrderThenItsListAndItself) {
    std::string data = dir_.file("data");
    std::string sub = data + "\\sub";
    CreateDirectoryA(data.c_str(), nullptr);
    CreateDirectoryA(sub.c_str(), nullptr);
    Touch(data + "\\a.txt");
    Touch(sub + "\\b.txt");
    SetFileAttributesA((sub + "\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(sub.c_str(), FILE_ATTRIBUTE_READONLY);
    // Directories listed before their contents, short and long forms mixed, one entry already gone.
    WriteList({data, ShortPath(sub), data + "\\a.txt", sub + "\\b.txt", dir_.file("never-there.txt")});

    EXPECT_EQ(RunHelper(ini_), 0);
    EXPECT_FALSE(PathExists(data));
    EXPECT_FALSE(PathExists(ini_));
    EXPECT_TRUE(WaitUntilGone(helper_, 20000));
    EXPECT_TRUE(PathExists(app_));  // not listed: it stays, empty
}

TEST_F(HelperRun, DirectoriesWithUnlistedContentStay) {
    std::string keep = dir_.file("keep");
    CreateDirectoryA(keep.c_str(), nullptr);
    Touch(keep + "\\ours.txt");
    Touch(keep + "\\users-own.txt");
    WriteList({keep, keep + "\\ours.txt"});

    EXPECT_EQ(RunHelper(ini_), 1);
    EXPECT_FALSE(PathExists(keep + "\\ours.txt"));
    EXPECT_TRUE(PathExists(keep + "\\users-own.txt"));
    EXPECT_FALSE(PathExists(ini_));
}

TEST_F(HelperRun, FileHeldOpenIsDeletedOnceReleased) {
    std::string held = dir_.file("held.dat");
    Touch(held);
    WriteList({held});
    HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);

    zyntest::ChildProcess helper;
    ASSERT_TRUE(StartHelper(&helper, ini_));
    Sleep(1500);
    EXPECT_TRUE(helper.Running());
    EXPECT_TRUE(PathExists(held));
    EXPECT_TRUE(PathExists(ini_));  // the list goes only after the work
    CloseHandle(handle);

    EXPECT_EQ(helper.Wait(20000), 0);
    EXPECT_FALSE(PathExists(held));
    EXPECT_FALSE(PathExists(ini_));
}

TEST_F(HelperRun, ArgumentsDecideWhatHappens) {
    struct Case {
        const char* what;
        std::string argument;
        long exit_code;
        bool helper_removed;
    };
    const std::string missing = dir_.file("no-such.ini");
    const Case cases[] = {
        {"missing list: nothing to delete but itself", missing, 0, true},
        {"quoted path", '"' + missing + '"', 0, true},
        {"no argument: not started by the program, touches nothing", "", 2, false},
        {"blanks only", "   ", 2, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        // A fresh name each time: the last run's clean-up may still be watching its own file.
        helper_ = app_ + "\\HELPER" + std::to_string(++n) + ".EXE";
        ASSERT_TRUE(CopyFileA((zyntest::ModuleDirectory() + "\\HELPER.EXE").c_str(), helper_.c_str(), FALSE));
        EXPECT_EQ(RunHelper(c.argument), c.exit_code) << c.what;
        if (c.helper_removed) {
            EXPECT_TRUE(WaitUntilGone(helper_, 20000)) << c.what;
        } else {
            Sleep(500);
            EXPECT_TRUE(PathExists(helper_)) << c.what;
        }
        EXPECT_TRUE(PathExists(app_)) << c.what;
    }
}

TEST_F(HelperRun, ListedDirectoryHoldingTheHelperGoesAfterIt) {
    Touch(app_ + "\\UNINSTAL.EXE");
    WriteList({app_ + "\\UNINSTAL.EXE", ShortPath(app_)});
    EXPECT_EQ(RunHelper(ini_), 0);
    EXPECT_TRUE(WaitUntilGone(app_, 20000));
    EXPECT_FALSE(PathExists(ini_));
}

// The uninstaller's side, run as a child from the helper's directory: list files,
// itself among them, start the helper and end a little later.
TEST(HelperStarter, DISABLED_ChildListsStartsAndEnds) {
    char work[MAX_PATH];
    ASSERT_NE(GetEnvironmentVariableA("ZYN_HELPER_WORK", work, sizeof work), 0u);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string file = std::string(work) + "\\demo.dat";
    HELPER_Reset();
    HELPER_AddFile(file.c_str());
    HELPER_AddFile(self);
    HELPER_AddFile(zyntest::ModuleDirectory().c_str());
    DWORD start = GetTickCount();
    HELPER_Start();
    // The helper waits for input at once, so starting it does not hold the starter up.
    EXPECT_LT(GetTickCount() - start, 10000u);
    // The helper must leave everything alone while its starter still runs.
    Sleep(1500);
    EXPECT_TRUE(PathExists(file));
    EXPECT_TRUE(PathExists(WindowsIni()));
}

TEST(HelperStarter, HelperWaitsForTheProgramThatStartedItThenCleansUp) {
    DeleteFileA(WindowsIni().c_str());
    zyntest::TempDir dir;
    std::string app = dir.file("DEMO");
    ASSERT_TRUE(CreateDirectoryA(app.c_str(), nullptr));
    std::string starter = app + "\\UNINSTAL.EXE";
    ASSERT_TRUE(CopyFileA((zyntest::ModuleDirectory() + "\\zyntests.exe").c_str(), starter.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((zyntest::ModuleDirectory() + "\\HELPER.EXE").c_str(), (app + "\\HELPER.EXE").c_str(), FALSE));
    std::string file = dir.file("demo.dat");
    Touch(file);
    SetEnvironmentVariableA("ZYN_HELPER_WORK", dir.path().c_str());

    long code = zyntest::RunChildTest(starter, "HelperStarter.DISABLED_ChildListsStartsAndEnds", 60000);
    SetEnvironmentVariableA("ZYN_HELPER_WORK", nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(WaitUntilGone(app, 30000));  // the starter, the helper and their directory
    EXPECT_FALSE(PathExists(file));
    EXPECT_TRUE(WaitUntilGone(WindowsIni(), 5000));
}

}  // namespace
