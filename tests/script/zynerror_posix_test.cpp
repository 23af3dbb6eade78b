#include <gtest/gtest.h>

#include <cstdio>

#include "script/module.h"
#include "script/zynerror.h"
#include "support/testsupport.h"

namespace {

int NoteCleanUp() {
    std::fputs("clean-up list ran\n", stderr);
    return 0;
}

// Command-line tools report through stderr: source, line, code and text must all reach
// it, and the clean-up list runs after the report.
TEST(ErrorReportNative, FatalNamesSourceLineCodeAndText) {
    COMMON_RegisterErrorHooks();
    MODULE_Register(NoteCleanUp, 0);
    EXPECT_EXIT(ZYNERROR_Fatal(ERROR_INF_SECTION_NOT_FOUND, "inf", 321), ::testing::ExitedWithCode(zyntest::kFatalExitCode),
                "fatal error in inf, line 321 \\(-505\\): ERROR_INF_SECTION_NOT_FOUND: Couldn't find section in INF file\\.\n.*"
                "clean-up list ran");
    MODULE_Unregister(NoteCleanUp);
}

}  // namespace
