// Register DLLs on the paths the end-to-end links scenario cannot reach: libraries without
// the entry, patterns without files, and records of libraries gone by the uninstall.
#include "sections/logdll.h"

#include <windows.h>

#include <filesystem>
#include <string>

#include "sections/sectiontest.h"
#include "support/process_win.h"

namespace {

using RegisterDlls = zyntest::SectionTest;

TEST_F(RegisterDlls, ALibraryWithoutItsEntryOrAPatternWithoutFilesIsFatal) {
    // A language library is a library without DllRegisterServer.
    std::filesystem::copy_file(zyntest::BesideTests("english.dll"), dir_.file("none.dll"));
    for (const char* line : {"none.dll, N, N, Y\n", "*.xyz, N, N, Y\n"}) {
        Load(std::string("[Register DLLs]\n") + line);
        EXPECT_FATAL(LOGDLL_Install(demo_, "Register DLLs", PLIST_INSTALL));
    }
}

TEST_F(RegisterDlls, RecordsOfLibrariesThatAreGoneOrRefuseAreSpent) {
    std::filesystem::copy_file(zyntest::BesideTests("english.dll"), dir_.file("none.dll"));
    ZYNLOG_KEY key = nullptr;
    ASSERT_EQ(ZYNLOG_CreateKey(Key({DemoKey()}), LOGDLL_KEY, &key), 0);
    for (const std::string& library : {dir_.file("gone.dll"), dir_.file("none.dll")})
        ASSERT_EQ(ZYNLOG_SetValue(key, library.c_str(), "0"), 0);
    EXPECT_EQ(LOGDLL_Uninstall(key, demo_), 0);
    EXPECT_EQ(Values({DemoKey(), LOGDLL_KEY}), "");
}

}  // namespace
