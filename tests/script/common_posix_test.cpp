#include "script/common.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(CommonNative, DebugTraceGoesToStderrOnlyWhenAsked) {
    EXPECT_EXIT(
        {
            setenv("ZYN_DEBUG", "1", 1);
            COMMON_DebugPrint("copied %d of %s\n", 3, "files");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^copied 3 of files\n$");
    EXPECT_EXIT(
        {
            unsetenv("ZYN_DEBUG");
            COMMON_DebugPrint("hidden %d\n", 1);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^$");
}

}  // namespace
