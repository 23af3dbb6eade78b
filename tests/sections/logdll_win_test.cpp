// Register DLLs with a self-registering library of our own: a recursive wildcard, a library
// gone by the uninstall, and the fatal lines. The plain path runs in the end-to-end links scenario.
#include "sections/logdll.h"

#include <windows.h>

#include <filesystem>
#include <string>

#include "sections/sectiontest.h"
#include "support/process_win.h"

namespace {

namespace fs = std::filesystem;

bool Registered(const std::string& library) {
    char data[32];
    DWORD size = sizeof data;
    return RegGetValueA(HKEY_CURRENT_USER, "Software\\ZynTest\\RegServer", library.c_str(), RRF_RT_REG_SZ, nullptr,
                        data, &size) == ERROR_SUCCESS;
}

class RegisterDlls : public zyntest::SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        fs::create_directories(dir_.file("fx\\more"));
        for (const char* copy : {"fx\\a.ocx", "fx\\more\\b.ocx"})
            fs::copy_file(zyntest::BesideTests("zynregserver.dll"), dir_.file(copy));
        fs::copy_file(zyntest::BesideTests("zynnoregister.dll"), dir_.file("fx\\none.dll"));
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZynTest\\RegServer");
        SectionTest::TearDown();
    }
};

TEST_F(RegisterDlls, EveryMatchIsRegisteredRecordedAndUnregisteredAtUninstall) {
    Load("[Register DLLs]\nfx\\*.ocx, Y, Y, Y\nfx\\none.dll, N, Y, N\n");
    EXPECT_EQ(LOGDLL_Install(demo_, "Register DLLs", PLIST_INSTALL), 1);
    const std::string a = dir_.file("fx\\a.ocx"), b = dir_.file("fx\\more\\b.ocx");
    EXPECT_TRUE(Registered(a));
    EXPECT_TRUE(Registered(b));
    // A library gone by then is passed over and its record spent.
    fs::remove(b);
    EXPECT_EQ(LOGDLL_Uninstall(Key({DemoKey(), LOGDLL_KEY}), demo_), 0);
    EXPECT_FALSE(Registered(a));
    EXPECT_EQ(Values({DemoKey(), LOGDLL_KEY}), "");
}

TEST_F(RegisterDlls, ALibraryWithoutItsEntryOrAPatternWithoutFilesIsFatal) {
    for (const char* line : {"fx\\none.dll, N, N, Y\n", "fx\\*.xyz, N, N, Y\n"}) {
        Load(std::string("[Register DLLs]\n") + line);
        EXPECT_FATAL(LOGDLL_Install(demo_, "Register DLLs", PLIST_INSTALL));
    }
}

}  // namespace
