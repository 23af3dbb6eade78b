#include "script/inf.h"

#include <gtest/gtest.h>

#include "support/testsupport.h"

namespace {

// A native executable has no resources, so the script cannot be loaded: the run ends
// with the resource loader's code, reported by the reader.
TEST(InfNative, LoadWithoutTheResourceIsFatal) {
    EXPECT_EXIT(INF_Load("INSTALL_INF"), ::testing::ExitedWithCode(zyntest::kFatalExitCode),
                "fatal error in inf, line [0-9]+ \\(-1014\\)");
}

}  // namespace
