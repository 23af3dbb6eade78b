// The Modify Files section on real files: a script line through install and the shared
// records, then the undo by demo, in every order.
#include "sections/logmod.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "log/logcomn.h"
#include "log/zynlog.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "support/testsupport.h"

namespace {

using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

class ModifyFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        VAR_Set("DestinationDirectory", dir_.path().c_str());
        ASSERT_EQ(ZYNLOG_Init(nullptr, ZYNLOG_DEFAULT_AUTOSAVE), 0);
        ASSERT_EQ(LOGCOMN_NewDemo("First", &first_), 0);
        ASSERT_EQ(LOGCOMN_NewDemo("Second", &second_), 0);
        config_ = dir_.file("CONFIG.SYS");
    }
    void TearDown() override {
        INF_Terminate();
        ZYNLOG_Terminate();
        VAR_Terminate();
    }

    // The records of CONFIG.SYS as "name=data" lines.
    std::string Records() {
        ZYNLOG_KEY common = nullptr, files = nullptr, key = nullptr;
        if (ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Common", &common) != 0 ||
            ZYNLOG_OpenKey(common, LOGMOD_KEY, &files) != 0 ||
            ZYNLOG_OpenKey(files, config_.c_str(), &key) != 0)
            return "";
        std::string out;
        char name[512], data[512];
        for (int i = 0; ZYNLOG_EnumValue(key, i, name, sizeof name, data, sizeof data) == 0; ++i)
            out += std::string(name) + "=" + data + "\n";
        return out;
    }

    int Uninstall(int demo) {
        ZYNLOG_KEY common = nullptr, files = nullptr;
        EXPECT_EQ(ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Common", &common), 0);
        EXPECT_EQ(ZYNLOG_OpenKey(common, LOGMOD_KEY, &files), 0);
        return LOGMOD_Uninstall(files, demo);
    }

    zyntest::TempDir dir_;
    std::string config_;
    int first_ = -1, second_ = -1;
};

TEST_F(ModifyFiles, ScriptLinesReplaceAndAddAndTheUndoRestoresTheFile) {
    WriteFileBytes(config_, "FILES=20\r\ndevice=C:\\DOS\\OLD.SYS /Q\r\n");
    const std::string script =
        "[Modify Files]\r\n"
        "MATCH_EXACT, CONFIG.SYS, device=C:\\DOS\\OLD.SYS, device=C:\\ZYN\\NEW.SYS, Y, Y\r\n"
        "BEGINNING, CONFIG.SYS,, SWITCHES=/N, Y, Y\r\n"
        "END, CONFIG.SYS,, BUFFERS=30, N, Y\r\n"
        "END, CONFIG.SYS,, NEVER=1, Y, N\r\n";
    ASSERT_EQ(INF_LoadText(script.c_str(), script.size()), 0);
    EXPECT_EQ(LOGMOD_Install(first_, "Modify Files", PLIST_INSTALL), 1);
    EXPECT_EQ(ReadFileBytes(config_),
              "SWITCHES=/N\r\nFILES=20\r\ndevice=C:\\ZYN\\NEW.SYS\r\nBUFFERS=30\r\n");
    EXPECT_EQ(Records(), "MATCH_EXACT,device=C:\\ZYN\\NEW.SYS,device=C:\\DOS\\OLD.SYS=" +
                             std::to_string(first_) + "\nBEGINNING,SWITCHES=/N,=" + std::to_string(first_) +
                             "\n");
    ASSERT_EQ(Uninstall(first_), 0);
    // The unrecorded line stays; the rest is as before, and the emptied key is gone.
    EXPECT_EQ(ReadFileBytes(config_), "FILES=20\r\ndevice=C:\\DOS\\OLD.SYS\r\nBUFFERS=30\r\n");
    ZYNLOG_KEY common = nullptr, files = nullptr;
    ASSERT_EQ(ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Common", &common), 0);
    ASSERT_EQ(ZYNLOG_OpenKey(common, LOGMOD_KEY, &files), 0);
    char name[300];
    EXPECT_NE(ZYNLOG_EnumKey(files, 0, name, sizeof name), 0);
}

// Three demos in turn, uninstalled first to last, last to first and middle first. A line
// they all leave alone once it is there is shared and goes with the last of them. A line
// each replaces in turn comes back only through the demo whose line is still in the file:
// the others find no line of theirs and put the old line at the top.
TEST_F(ModifyFiles, ThreeDemosInEveryUninstallOrder) {
    const char* shared = "BEGINNING MATCH_DONT_ADD";
    struct Step { int out; const char *owners, *autoexec; };
    const Step stories[][3] = {
        {{3, "5,7", "SET X=\r\nREM top\r\nSET X=7\r\n"}, {5, "7", "SET X=\r\nSET X=\r\nREM top\r\nSET X=7\r\n"},
         {7, nullptr, "SET X=\r\nSET X=\r\nREM top\r\nSET X=\r\n"}},
        {{7, "3,5", "REM top\r\nSET X=\r\n"}, {5, "3", "SET X=\r\nREM top\r\nSET X=\r\n"},
         {3, nullptr, "SET X=\r\nSET X=\r\nREM top\r\nSET X=\r\n"}},
        {{5, "3,7", "SET X=\r\nREM top\r\nSET X=7\r\n"}, {3, "7", "SET X=\r\nSET X=\r\nREM top\r\nSET X=7\r\n"},
         {7, nullptr, "SET X=\r\nSET X=\r\nREM top\r\nSET X=\r\n"}},
    };
    const std::string autoexec = dir_.file("AUTOEXEC.BAT");
    for (const auto& story : stories) {
        SCOPED_TRACE(story[0].out);
        WriteFileBytes(config_, "FILES=20\r\n");
        WriteFileBytes(autoexec, "REM top\r\nSET X=\r\n");
        for (int demo : {3, 5, 7}) {
            LOGMOD_ChangeFile(demo, shared, config_.c_str(), "SWITCHES=/N", "SWITCHES=/N", "Y", "Y");
            const std::string mine = "SET X=" + std::to_string(demo);
            LOGMOD_ChangeFile(demo, "END", autoexec.c_str(), "SET X=", mine.c_str(), "Y", "Y");
        }
        EXPECT_EQ(Records(), std::string(shared) + ",SWITCHES=/N,=3,5,7\n");
        EXPECT_EQ(ReadFileBytes(autoexec), "REM top\r\nSET X=7\r\n");
        for (const Step& step : story) {
            ASSERT_EQ(Uninstall(step.out), 0);
            const bool left = step.owners != nullptr;
            EXPECT_EQ(ReadFileBytes(config_), left ? "SWITCHES=/N\r\nFILES=20\r\n" : "FILES=20\r\n") << step.out;
            EXPECT_EQ(Records(), left ? std::string(shared) + ",SWITCHES=/N,=" + step.owners + "\n" : "") << step.out;
            EXPECT_EQ(ReadFileBytes(autoexec), step.autoexec) << step.out;
        }
    }
}

TEST_F(ModifyFiles, ReplacedLineRemovedByHandComesBackFirst) {
    WriteFileBytes(config_, "A\r\nOLD\r\n");
    LOGMOD_ChangeFile(first_, "END", config_.c_str(), "OLD", "NEW", "Y", "Y");
    WriteFileBytes(config_, "A\r\n");
    ASSERT_EQ(Uninstall(first_), 0);
    EXPECT_EQ(ReadFileBytes(config_), "OLD\r\nA\r\n");
}

TEST_F(ModifyFiles, MissingFileIsCreatedAndAnUnknownOperationIsFatal) {
    std::string made = dir_.file("AUTOEXEC.BAT");
    LOGMOD_ChangeFile(first_, "END", "AUTOEXEC.BAT", "", "C:\\WINDOWS\\WIN", "N", "Y");
    EXPECT_EQ(ReadFileBytes(made), "C:\\WINDOWS\\WIN\r\n");
    EXPECT_EXIT(LOGMOD_ChangeFile(first_, "REPLACE", config_.c_str(), "", "X", "N", "Y"),
                ::testing::ExitedWithCode(zyntest::kFatalExitCode), "");
}

}  // namespace
