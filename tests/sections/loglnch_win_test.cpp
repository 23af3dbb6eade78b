// Launch with a program of our own that hands its work to a second process and ends at
// once: the install waits for both; records run the program again at uninstall.
#include "sections/loglnch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "log/logcomn.h"
#include "log/zynlog.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "support/dialogs_win.h"
#include "support/testsupport.h"
#include "sys/proc.h"

namespace {

using zyntest::ReadFileBytes;

std::string TestsDirectory() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\'));
}

class LaunchSection : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        VAR_Set("SourceDirectory", TestsDirectory().c_str());
        VAR_Set("DestinationDirectory", TestsDirectory().c_str());
        ASSERT_EQ(ZYNLOG_Init(dir_.file("zyn.log").c_str(), ZYNLOG_DEFAULT_AUTOSAVE), 0);
        ASSERT_EQ(LOGCOMN_NewDemo("Aquarium", &demo_), 0);
        marker_ = dir_.file("marker.txt");
    }
    void TearDown() override {
        INF_Terminate();
        ZYNLOG_Terminate();
        VAR_Terminate();
    }
    zyntest::TempDir dir_;
    zyntest::LanguageLibrary english_;
    std::string marker_;
    int demo_ = -1;
};

TEST_F(LaunchSection, WaitsForEverythingStartedAndRunsRecordsAtUninstall) {
    const std::string script = "[Launch]\r\n"
                               "Fish food, zynlaunchee.exe, " + marker_ + ", Y, N, Y\r\n"
                               ", zynlaunchee.exe, " + marker_ + ", Y, Y, N\r\n";
    ASSERT_EQ(INF_LoadText(script.c_str(), script.size()), 0);
    EXPECT_EQ(LOGLNCH_Install(demo_, "Launch", PLIST_INSTALL), 1);
    EXPECT_EQ(ReadFileBytes(marker_), "parent\nchild\n") << "the install went on before the child ended";
    EXPECT_NE(ReadFileBytes(dir_.file("zyn.log")).find("Demo 0"), std::string::npos)
        << "the log on disk is complete before the first program starts";

    ZYNLOG_KEY demo = nullptr, key = nullptr;
    ASSERT_EQ(LOGCOMN_GetDemoKey(&demo), 0);
    ASSERT_EQ(ZYNLOG_OpenKey(demo, LOGLNCH_KEY, &key), 0);
    char data[16];
    const std::string record = TestsDirectory() + "\\zynlaunchee.exe,Y," + marker_;
    EXPECT_EQ(ZYNLOG_GetValue(key, record.c_str(), data, sizeof data), 0);
    EXPECT_EQ(LOGLNCH_Uninstall(key, demo_), 0);
    EXPECT_EQ(ReadFileBytes(marker_), "parent\nchild\nparent\nchild\n");
    EXPECT_NE(ZYNLOG_GetValue(key, record.c_str(), data, sizeof data), 0);
}

TEST_F(LaunchSection, AMissingProgramIsToldAndTheRunGoesOn) {
    zyntest::DialogScript answer({{IDOK}});
    EXPECT_EQ(LOGLNCH_Run("C:\\nowhere\\missing.exe", "", 1), 0);
    ASSERT_EQ(answer.Answered().size(), 1u);
    EXPECT_NE(answer.Answered()[0].text.find("missing.exe"), std::string::npos);
}

TEST(ProcessControl, AThirdStartWhileTwoSlotsAreBusyIsRefused) {
    const PROC_DRIVER* drivers[] = {PROC_SystemDriver(), nullptr};
    ASSERT_EQ(PROC_Init(drivers), 0);
    const std::string program = "C:\\windows\\system32\\cmd.exe";
    EXPECT_EQ(PROC_Start(program.c_str(), "/c exit"), 0);
    EXPECT_EQ(PROC_Start(program.c_str(), "/c exit"), 1);
    EXPECT_EQ(PROC_Start(program.c_str(), "/c exit"), -1);
    PROC_Stop(0);
    PROC_Stop(1);
    PROC_Terminate();
    EXPECT_EQ(PROC_Start(program.c_str(), ""), ERROR_PROC_NO_SNAPSHOT) << "nothing runs unwatched";
}

}  // namespace
