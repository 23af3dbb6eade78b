#include <gtest/gtest.h>

#include "script/zynerror.h"
#include "support/testsupport.h"

namespace {

// Command-line tools report through stderr: source, line, code and text must all reach it.
TEST(ErrorReportNative, FatalNamesSourceLineCodeAndText) {
    COMMON_RegisterErrorHooks();
    EXPECT_EXIT(ZYNERROR_Fatal(ERROR_INF_SECTION_NOT_FOUND, "inf", 321),
                ::testing::ExitedWithCode(zyntest::kFatalExitCode),
                "fatal error in inf, line 321 \\(-505\\): ERROR_INF_SECTION_NOT_FOUND: Couldn't find section in INF file\\.");
}

TEST(ErrorReportNative, WarningIsReportedAndTheRunGoesOn) {
    COMMON_RegisterErrorHooks();
    ::testing::internal::CaptureStderr();
    ZYNERROR_Warning(12345, "wm_inst", -4);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "warning in wm_inst, line -4 (12345): The following error has occured:\n");
}

}  // namespace
