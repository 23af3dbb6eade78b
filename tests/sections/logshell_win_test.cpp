// Shell and Protection Backup sections on real files and the real SYSTEM.INI: what a line
// changes, what it records, and what the undo of each demo gives back.
#include "sections/logshell.h"

#include <windows.h>

#include <filesystem>
#include <string>

#include "sections/logbckup.h"
#include "sections/sectiontest.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

class SmallSections : public zyntest::SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        VAR_Set("BootDrive", dir_.path().c_str());
        ASSERT_EQ(LOGCOMN_NewDemo("Second", &second_), 0);
    }
    int second_ = -1;
};

TEST_F(SmallSections, BackupsTakeTheExtensionThenTheFirstFreeNumber) {
    WriteFileBytes(dir_.file("CONFIG.SYS"), "FILES=20\r\n");
    Load("[Protection Backup]\nBackupExt, ZYN, N, Y\nOther, QQQ, N, Y\n");
    for (int run = 0; run < 3; ++run) EXPECT_EQ(LOGBCKUP_Install(demo_, "Protection Backup", PLIST_INSTALL), 1);
    for (const char* name : {"CONFIG.ZYN", "CONFIG.000", "CONFIG.001"})
        EXPECT_EQ(ReadFileBytes(dir_.file(name)), "FILES=20\r\n") << name;
    EXPECT_FALSE(fs::exists(dir_.file("CONFIG.QQQ")));
    EXPECT_FALSE(fs::exists(dir_.file("AUTOEXEC.ZYN")));
    EXPECT_EQ(Key({"Common"}), nullptr) << "nothing is recorded";
    EXPECT_EQ(LOGBCKUP_Install(demo_, "Protection Backup", PLIST_EXCLUSIVE_TEST), ERROR_PLIST_EXCLUSIVE);
    // Any line to be carried out counts, whatever its keyword.
    Load("[Protection Backup]\nOther, QQQ, N, N\nOther, QQQ, N, Y\n");
    EXPECT_EQ(LOGBCKUP_Install(demo_, "Protection Backup", PLIST_EXCLUSIVE_TEST), ERROR_PLIST_EXCLUSIVE);
}

TEST_F(SmallSections, ShellTheHighestRemainingDemoOrTheShellFromBeforeComesBack) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string ini = std::string(windows) + "\\system.ini", saved = ReadFileBytes(ini);
    const std::string shells[] = {dir_.file("s0.exe"), dir_.file("s1.exe")};  // by demo id
    auto shell = [&] {
        char value[MAX_PATH] = "";
        GetPrivateProfileStringA("boot", "shell", "", value, sizeof value, ini.c_str());
        return std::string(value);
    };
    VAR_Set("OS", "Win95");
    for (bool first_goes_first : {true, false}) {
        SCOPED_TRACE(first_goes_first);
        WritePrivateProfileStringA("boot", "shell", "Explorer.exe", ini.c_str());
        for (int demo : {demo_, second_}) {
            WriteFileBytes(shells[demo], "x");
            // The second shell is written relative to the destination.
            Load("[Shell]\n" + (demo == second_ ? std::string("s1.exe") : shells[demo]) + ", Y, Y\n");
            EXPECT_EQ(LOGSHELL_Install(demo, "Shell", PLIST_INSTALL), 1);
        }
        EXPECT_EQ(shell(), shells[1]);
        EXPECT_EQ(Values({"Common", "Shell"}), "Explorer.exe=-1;" + shells[0] + "=0;" + shells[1] + "=1;");
        EXPECT_EQ(LOGSHELL_Uninstall(Key({"Common", "Shell"}), first_goes_first ? demo_ : second_), 0);
        EXPECT_EQ(shell(), shells[first_goes_first ? 1 : 0]);
        EXPECT_EQ(LOGSHELL_Uninstall(Key({"Common", "Shell"}), first_goes_first ? second_ : demo_), 0);
        // A bare "Explorer.exe" is not found from here: the default shell of the system goes in.
        EXPECT_EQ(shell(), std::string(windows) + "\\explorer.exe");
        EXPECT_EQ(Values({"Common", "Shell"}), "");
    }
    WriteFileBytes(ini, saved);
}

}  // namespace
