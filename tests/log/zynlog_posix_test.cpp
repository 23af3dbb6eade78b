// The fatal-error path as a child process; under Wine the same story needs the error
// dialog answered and is driven by the robot.
#include <gtest/gtest.h>

#include <string>

#include "log/zynlog.h"
#include "script/zynerror.h"
#include "support/testsupport.h"

namespace {

// Saving is a step of its own on the fatal path: it also covers a log that was only
// given a file name and never listed for clean-up.
TEST(ChangeLogFatal, FatalErrorLeavesALogHoldingTheChangesSoFar) {
    for (bool initialised : {true, false}) {
        zyntest::TempDir dir;
        const std::string path = dir.file("ZYNDEMO.LOG");
        EXPECT_EXIT(
            {
                if (initialised) {
                    ZYNLOG_Init(path.c_str(), 30);
                } else {
                    ZYNLOG_SetFileName(path.c_str());
                }
                ZYNLOG_KEY files = nullptr;
                ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Demo 0", &files);
                ZYNLOG_CreateKey(files, "Files", &files);
                ZYNLOG_SetValue(files, "C:\\DEMO\\A.EXE", "0");
                ZYNERROR_Fatal(ERROR_ZYNLOG_FILE_OPEN, "logfile", 1);
            },
            ::testing::ExitedWithCode(zyntest::kFatalExitCode), "");
        EXPECT_EQ(zyntest::ReadFileBytes(path),
                  "[Demo 0]\r\n{\r\n\t[Files]\r\n\t{\r\n\t\t\"C:\\\\DEMO\\\\A.EXE\" = \"0\"\r\n\t}\r\n}\r\n")
            << initialised;
    }
}

}  // namespace
