// The Modify Files section on real files: shared records and their undo by demo, in every order.
#include "sections/logmod.h"

#include <windows.h>

#include <string>

#include "sections/sectiontest.h"

namespace {

using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

class ModifyFiles : public zyntest::SectionTest {
protected:
    std::string Records() { return Values({"Common", LOGMOD_KEY, config_}); }
    int Uninstall(int demo) { return LOGMOD_Uninstall(Key({"Common", LOGMOD_KEY}), demo); }
    std::string config_ = dir_.file("CONFIG.SYS");
};

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
        EXPECT_EQ(Records(), std::string(shared) + ",SWITCHES=/N,=3,5,7;");
        EXPECT_EQ(ReadFileBytes(autoexec), "REM top\r\nSET X=7\r\n");
        for (const Step& step : story) {
            ASSERT_EQ(Uninstall(step.out), 0);
            const bool left = step.owners != nullptr;
            EXPECT_EQ(ReadFileBytes(config_), left ? "SWITCHES=/N\r\nFILES=20\r\n" : "FILES=20\r\n") << step.out;
            EXPECT_EQ(Records(), left ? std::string(shared) + ",SWITCHES=/N,=" + step.owners + ";" : "-") << step.out;
            EXPECT_EQ(ReadFileBytes(autoexec), step.autoexec) << step.out;
        }
    }
}

TEST_F(ModifyFiles, MissingFileIsCreatedAndAnUnknownOperationIsFatal) {
    LOGMOD_ChangeFile(demo_, "END", "AUTOEXEC.BAT", "", "C:\\WINDOWS\\WIN", "N", "Y");
    EXPECT_EQ(ReadFileBytes(dir_.file("AUTOEXEC.BAT")), "C:\\WINDOWS\\WIN\r\n");
    EXPECT_FATAL(LOGMOD_ChangeFile(demo_, "REPLACE", config_.c_str(), "", "X", "N", "Y"));
}

}  // namespace
