// Rename, Protection Backup and Shell sections on real files and the real SYSTEM.INI:
// what a line changes, what it records, and what the undo of each demo gives back.
#include "sections/logren.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "log/logcomn.h"
#include "log/zynlog.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "sections/logbckup.h"
#include "sections/logshell.h"
#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

class SmallSections : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        VAR_Set("DestinationDirectory", dir_.path().c_str());
        VAR_Set("BootDrive", dir_.path().c_str());
        ASSERT_EQ(ZYNLOG_Init(nullptr, ZYNLOG_DEFAULT_AUTOSAVE), 0);
        ASSERT_EQ(LOGCOMN_NewDemo("First", &first_), 0);
        ASSERT_EQ(LOGCOMN_NewDemo("Second", &second_), 0);
    }
    void TearDown() override {
        INF_Terminate();
        ZYNLOG_Terminate();
        VAR_Terminate();
    }

    void Load(const std::string& script) { ASSERT_EQ(INF_LoadText(script.c_str(), script.size()), 0); }

    ZYNLOG_KEY Common(const char* name) {
        ZYNLOG_KEY common = nullptr, key = nullptr;
        EXPECT_EQ(ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Common", &common), 0);
        EXPECT_EQ(ZYNLOG_OpenKey(common, name, &key), 0);
        return key;
    }

    std::string Values(const char* name) {
        std::string out;
        char value[512], data[512];
        ZYNLOG_KEY key = Common(name);
        for (int i = 0; key != nullptr && ZYNLOG_EnumValue(key, i, value, sizeof value, data, sizeof data) == 0; ++i)
            out += std::string(value) + "=" + data + "\n";
        return out;
    }

    zyntest::TempDir dir_;
    int first_ = -1, second_ = -1;
};

TEST_F(SmallSections, RenamesInPlaceAndAcrossDirectoriesAndBackByTheLastOwner) {
    const std::string win = dir_.file("WIN"), keep = dir_.file("KEEP");
    fs::create_directories(win);
    fs::create_directories(keep);
    WriteFileBytes(win + "\\bob.drv", "driver");
    WriteFileBytes(win + "\\other.drv", "other");
    Load("[Rename]\r\n" + win + "\\bob.drv, bob.x, Y, Y\r\n" + win + "\\other.drv, " + keep +
         "\\other.x, Y, Y\r\n" + win + "\\missing.drv, m.x, Y, Y\r\n" + win + "\\never.drv, n.x, Y, N\r\n");
    EXPECT_EQ(LOGREN_Install(first_, "Rename", PLIST_INSTALL), 1);
    EXPECT_EQ(ReadFileBytes(win + "\\bob.x"), "driver");
    EXPECT_EQ(ReadFileBytes(keep + "\\other.x"), "other");
    EXPECT_EQ(Values("Rename"), win + "\\bob.drv, " + win + "\\bob.x=" + std::to_string(first_) + "\n" + win +
                                    "\\other.drv, " + keep + "\\other.x=" + std::to_string(first_) + "\n");
    // The second demo finds the file again (put back by hand) and makes the same rename.
    fs::rename(win + "\\bob.x", win + "\\bob.drv");
    LOGREN_RenameFile(second_, (win + "\\bob.drv").c_str(), "bob.x", "Y", "Y");
    ASSERT_EQ(LOGREN_Uninstall(Common("Rename"), first_), 0);
    EXPECT_TRUE(fs::exists(win + "\\bob.x")) << "the second demo still owns the rename";
    EXPECT_EQ(ReadFileBytes(win + "\\other.drv"), "other");
    ASSERT_EQ(LOGREN_Uninstall(Common("Rename"), second_), 0);
    EXPECT_EQ(ReadFileBytes(win + "\\bob.drv"), "driver");
    EXPECT_EQ(Values("Rename"), "");
}

TEST_F(SmallSections, BackupsTakeTheExtensionThenTheFirstFreeNumber) {
    WriteFileBytes(dir_.file("CONFIG.SYS"), "FILES=20\r\n");
    Load("[Protection Backup]\r\nBackupExt, ZYN, N, Y\r\nOther, QQQ, N, Y\r\n");
    for (int run = 0; run < 3; ++run) EXPECT_EQ(LOGBCKUP_Install(first_, "Protection Backup", PLIST_INSTALL), 1);
    for (const char* name : {"CONFIG.ZYN", "CONFIG.000", "CONFIG.001"})
        EXPECT_EQ(ReadFileBytes(dir_.file(name)), "FILES=20\r\n") << name;
    EXPECT_FALSE(fs::exists(dir_.file("CONFIG.QQQ")));
    EXPECT_FALSE(fs::exists(dir_.file("AUTOEXEC.ZYN")));
    ZYNLOG_KEY common = nullptr;
    EXPECT_NE(ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Common", &common), 0) << "nothing is recorded";
    EXPECT_EQ(LOGBCKUP_Install(first_, "Protection Backup", PLIST_EXCLUSIVE_TEST), ERROR_PLIST_EXCLUSIVE);
}

class ShellSection : public SmallSections {
protected:
    void SetUp() override {
        SmallSections::SetUp();
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof windows);
        ini_ = std::string(windows) + "\\system.ini";
        saved_ = ReadFileBytes(ini_);
        VAR_Set("OS", "Win95");
        WritePrivateProfileStringA("boot", "shell", "Explorer.exe", ini_.c_str());
        s1_ = dir_.file("s1.exe");
        s2_ = dir_.file("s2.exe");
        WriteFileBytes(s1_, "1");
        WriteFileBytes(s2_, "2");
    }
    void TearDown() override {
        WriteFileBytes(ini_, saved_);
        SmallSections::TearDown();
    }
    std::string Shell() {
        char shell[MAX_PATH] = "";
        GetPrivateProfileStringA("boot", "shell", "", shell, sizeof shell, ini_.c_str());
        return shell;
    }
    void Install(int demo, const std::string& shell) {
        Load("[Shell]\r\n" + shell + ", Y, Y\r\n");
        EXPECT_EQ(LOGSHELL_Install(demo, "Shell", PLIST_INSTALL), 1);
        INF_Terminate();
    }

    std::string ini_, saved_, s1_, s2_;
};

TEST_F(ShellSection, TheHighestRemainingDemoOrTheShellFromBeforeComesBack) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    for (bool first_goes_first : {true, false}) {
        SCOPED_TRACE(first_goes_first);
        Install(first_, s1_);
        Install(second_, s2_);
        EXPECT_EQ(Shell(), s2_);
        EXPECT_EQ(Values("Shell"), "Explorer.exe=-1\n" + s1_ + "=" + std::to_string(first_) + "\n" + s2_ + "=" +
                                       std::to_string(second_) + "\n");
        ASSERT_EQ(LOGSHELL_Uninstall(Common("Shell"), first_goes_first ? first_ : second_), 0);
        EXPECT_EQ(Shell(), first_goes_first ? s2_ : s1_);
        ASSERT_EQ(LOGSHELL_Uninstall(Common("Shell"), first_goes_first ? second_ : first_), 0);
        // A bare "Explorer.exe" is not found from here: the default shell of the system goes in.
        EXPECT_EQ(Shell(), std::string(windows) + "\\explorer.exe");
        EXPECT_EQ(Values("Shell"), "");
        WritePrivateProfileStringA("boot", "shell", "Explorer.exe", ini_.c_str());
    }
}

}  // namespace
