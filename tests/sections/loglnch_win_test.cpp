// Launch with the system's command interpreter: the log is on disk before a program starts,
// records run the program again at uninstall, a missing program is told. Waiting for the
// processes a program hands its work to is the end-to-end links scenario's.
#include "sections/loglnch.h"

#include <windows.h>

#include <string>

#include "sections/sectiontest.h"
#include "support/dialogs_win.h"
#include "sys/proc.h"

namespace {

using zyntest::ReadFileBytes;

std::string Cmd() {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    return std::string(system) + "\\cmd.exe";
}

class LaunchSection : public zyntest::SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        ZYNLOG_Terminate();
        ASSERT_EQ(ZYNLOG_Init(log_.c_str(), ZYNLOG_DEFAULT_AUTOSAVE), 0);
        ASSERT_EQ(LOGCOMN_NewDemo("Aquarium", &demo_), 0);
    }
    zyntest::LanguageLibrary english_;
    std::string log_ = dir_.file("zyn.log"), marker_ = dir_.file("marker.txt");
};

TEST_F(LaunchSection, TheLogIsSavedFirstAndRecordsRunAgainAtUninstall) {
    Load("[Launch]\nFish food, " + Cmd() + ", /c type " + log_ + ">>" + marker_ + ", Y, N, Y\n, " + Cmd() +
         ", /c echo again>>" + marker_ + ", Y, Y, N\n");
    EXPECT_EQ(LOGLNCH_Install(demo_, "Launch", PLIST_INSTALL), 1);
    const std::string seen = ReadFileBytes(marker_);
    EXPECT_NE(seen.find("Demo 0"), std::string::npos) << "the program found the log on disk: " << seen;
    const std::string record = Cmd() + ",Y,/c echo again>>" + marker_;
    EXPECT_EQ(Values({DemoKey(), LOGLNCH_KEY}), record + "=0;");
    EXPECT_EQ(LOGLNCH_Uninstall(Key({DemoKey(), LOGLNCH_KEY}), demo_), 0);
    EXPECT_EQ(ReadFileBytes(marker_), seen + "again\r\n");
    EXPECT_EQ(Values({DemoKey(), LOGLNCH_KEY}), "");
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
    for (int slot : {0, 1, -1}) EXPECT_EQ(PROC_Start(Cmd().c_str(), "/c exit"), slot);
    PROC_Stop(0);
    PROC_Stop(1);
    PROC_Terminate();
    EXPECT_EQ(PROC_Start(Cmd().c_str(), ""), ERROR_PROC_NO_SNAPSHOT) << "nothing runs unwatched";
}

}  // namespace
