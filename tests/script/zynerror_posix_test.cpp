#include <gtest/gtest.h>

#include <cstdio>

#include "script/module.h"
#include "script/zynerror.h"
#include "support/testsupport.h"

namespace {

int g_cleanups = 0;
int NoteCleanUp() {
    std::fputs("clean-up list ran\n", stderr);
    ++g_cleanups;
    return 0;
}

// Command-line tools report through stderr: source, line, code and text must all reach
// it. A fatal error runs the clean-up list; a warning goes on with nothing closed.
TEST(ErrorReportNative, FatalNamesSourceLineCodeAndTextAndWarningGoesOn) {
    COMMON_RegisterErrorHooks();
    MODULE_Register(NoteCleanUp, 0);
    ::testing::internal::CaptureStderr();
    ZYNERROR_Warning(12345, "wm_inst", -4);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "warning in wm_inst, line -4 (12345): The following error has occured:\n");
    EXPECT_EQ(g_cleanups, 0);
    EXPECT_EXIT(ZYNERROR_Fatal(ERROR_INF_SECTION_NOT_FOUND, "inf", 321), ::testing::ExitedWithCode(zyntest::kFatalExitCode),
                "fatal error in inf, line 321 \\(-505\\): ERROR_INF_SECTION_NOT_FOUND: Couldn't find section in INF file\\.\n.*clean-up list ran");
    MODULE_Unregister(NoteCleanUp);
}

}  // namespace
