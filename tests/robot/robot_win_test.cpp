// The robot's own tests: robot.exe plays scripts against the real message boxes of robotchild.exe.
// The scenarios judge the robot by its exit code alone, so that is what these check: a script
// passes against the program it describes, and each one thing that differs fails it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/process_win.h"
#include "support/testsupport.h"

namespace {

TEST(Robot, FailsWheneverTheProgramDiffersFromTheScript) {
    struct Case {
        const char* script;
        long exitCode;  // the robot's: 0 passed, 1 failed, 2 bad script
        const char* args = "";
    } const cases[] = {
        {"expect messagebox caption=\"Robot caption\" text~=\"Line two\"\r\n"
         "  select text~=two caption~=Robot -1~=one\nclick Cancel\ngone\nexit 2", 0},
        {"expect messagebox caption=\"Robot caption!\"\nclick Cancel\ngone\nexit 2", 1},
        {"expect dialog caption=\"Robot caption\"\nclick Cancel\ngone\nexit 2", 1},
        {"expect messagebox\nselect text=\"Line two\"\nclick Cancel\ngone\nexit 2", 1},
        {"expect messagebox\nclick Cancel\ngone\nexit 1", 1},
        {"expect messagebox caption=\"Robot caption\"", 1},  // no exit step while it runs
        // Words it does not know are refused, never skipped.
        {"expect messagebox colour=red\nclick Cancel\ngone\nexit 2", 2},
        {"expect messagebox\nfrobnicate\nclick Cancel\ngone\nexit 2", 2},
        // The fatal-error report before any library is loaded: its built-in texts.
        {"expect dialog template=ERRORMESSAGE caption=\"ZYN Install/Uninstall\" 1=&OK 351=&Details... 350=\"An error "
         "has occurred while running INSTALL.  If you plan to report this error, choose Details.... Otherwise, "
         "choose OK to exit.\"\nclick 351\nexpect dialog template=ERRORDETAILS caption=\"ZYN Install/Uninstall\" "
         "350=\"The following error has occured:\" 352=robotchild 353=42 354=12345\nclick ok\ngone\nclick ok\nexit -1",
         0, "fatal 12345"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        zyntest::TempDir dir;
        zyntest::WriteFileBytes(dir.file("steps.txt"), c.script);
        zyntest::ChildProcess robot;
        ASSERT_TRUE(robot.Start("\"" + zyntest::BesideTests("robot.exe") + "\" run --exe \"" +
                                zyntest::BesideTests("robotchild.exe") + "\" --args \"" + c.args + "\" --script \"" + dir.file("steps.txt") + "\""));
        EXPECT_EQ(robot.Wait(60000), c.exitCode);
    }
}

}  // namespace
