#include "run/helper.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/testsupport.h"

namespace {

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

// The helper's command line goes to RunOnce; Wine presents the NT family, which is logged
// off with the reserved argument all ones.
TEST_F(HelperList, RestartRegistersTheHelperAndLogsOff) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
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
    EXPECT_EQ(g_shutdowns, (std::vector<std::pair<unsigned, unsigned long>>{{EWX_LOGOFF, 0xFFFFFFFFul}}));
}

}  // namespace
