// The fatal-error path as a child process; under Wine the same story needs the error
// dialog answered and is driven by the robot.
#include <gtest/gtest.h>

#include <string>

#include "log/zynlog.h"
#include "script/zynerror.h"
#include "support/testsupport.h"

namespace {

// Saving is a step of its own on the fatal path: it also covers a log that was only
// given a file name and never listed for clean-up (the scenarios meet the listed one).
TEST(ChangeLogFatal, FatalErrorSavesALogThatWasOnlyGivenAName) {
    zyntest::TempDir dir;
    const std::string path = dir.file("ZYNDEMO.LOG");
    EXPECT_EXIT(
        {
            ZYNLOG_SetFileName(path.c_str());
            ZYNLOG_KEY files = nullptr;
            ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Files", &files);
            ZYNLOG_SetValue(files, "C:\\DEMO\\A.EXE", "0");
            ZYNERROR_Fatal(ERROR_ZYNLOG_FILE_OPEN, "logfile", 1);
        },
        ::testing::ExitedWithCode(zyntest::kFatalExitCode), "");
    EXPECT_EQ(zyntest::ReadFileBytes(path), "[Files]\r\n{\r\n\t\"C:\\\\DEMO\\\\A.EXE\" = \"0\"\r\n}\r\n");
}

}  // namespace
