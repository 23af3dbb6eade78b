// Register DLLs with a self-registering library of our own: found by a recursive wildcard,
// registered, recorded per demo and unregistered at uninstall.
#include "sections/logdll.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "log/logcomn.h"
#include "log/zynlog.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;

std::string BesideTests(const char* file) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\') + 1) + file;
}

bool Registered(const std::string& library) {
    char data[32];
    DWORD size = sizeof data;
    return RegGetValueA(HKEY_CURRENT_USER, "Software\\ZynTest\\RegServer", library.c_str(), RRF_RT_REG_SZ, nullptr,
                        data, &size) == ERROR_SUCCESS;
}

class RegisterDlls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        VAR_Set("DestinationDirectory", dir_.path().c_str());
        ASSERT_EQ(ZYNLOG_Init(nullptr, ZYNLOG_DEFAULT_AUTOSAVE), 0);
        ASSERT_EQ(LOGCOMN_NewDemo("Aquarium", &demo_), 0);
        fs::create_directories(dir_.file("fx\\more"));
        for (const char* copy : {"fx\\a.ocx", "fx\\more\\b.ocx"})
            fs::copy_file(BesideTests("zynregserver.dll"), dir_.file(copy));
        fs::copy_file(BesideTests("zynnoregister.dll"), dir_.file("fx\\none.dll"));
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZynTest\\RegServer");
        INF_Terminate();
        ZYNLOG_Terminate();
        VAR_Terminate();
    }
    void Load(const std::string& lines) {
        const std::string script = "[Register DLLs]\r\n" + lines;
        ASSERT_EQ(INF_LoadText(script.c_str(), script.size()), 0);
    }
    zyntest::TempDir dir_;
    int demo_ = -1;
};

TEST_F(RegisterDlls, EveryMatchIsRegisteredRecordedAndUnregisteredAtUninstall) {
    Load("fx\\*.ocx, Y, Y, Y\r\nfx\\none.dll, N, Y, N\r\n");
    EXPECT_EQ(LOGDLL_Install(demo_, "Register DLLs", PLIST_INSTALL), 1);
    const std::string a = dir_.file("fx\\a.ocx"), b = dir_.file("fx\\more\\b.ocx");
    EXPECT_TRUE(Registered(a));
    EXPECT_TRUE(Registered(b));
    ZYNLOG_KEY demo = nullptr, key = nullptr;
    ASSERT_EQ(LOGCOMN_GetDemoKey(&demo), 0);
    ASSERT_EQ(ZYNLOG_OpenKey(demo, LOGDLL_KEY, &key), 0);
    char data[16];
    EXPECT_EQ(ZYNLOG_GetValue(key, a.c_str(), data, sizeof data), 0);
    EXPECT_EQ(std::string(data), std::to_string(demo_));
    // A library gone by then is passed over and its record spent.
    fs::remove(b);
    EXPECT_EQ(LOGDLL_Uninstall(key, demo_), 0);
    EXPECT_FALSE(Registered(a));
    int values = -1;
    ASSERT_EQ(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &values, nullptr, nullptr), 0);
    EXPECT_EQ(values, 0);
}

TEST_F(RegisterDlls, ALibraryWithoutItsEntryOrAPatternWithoutFilesIsFatal) {
    for (const char* line : {"fx\\none.dll, N, N, Y\r\n", "fx\\*.xyz, N, N, Y\r\n"}) {
        Load(line);
        EXPECT_EXIT(LOGDLL_Install(demo_, "Register DLLs", PLIST_INSTALL),
                    ::testing::ExitedWithCode(zyntest::kFatalExitCode), "");
        INF_Terminate();
    }
}

}  // namespace
