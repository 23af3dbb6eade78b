#include "script/module.h"

#include <gtest/gtest.h>

#include <string>

#include "support/testsupport.h"

namespace {

std::string g_calls;
int TerminateA() { g_calls += 'A'; return 0; }
int TerminateB() { g_calls += 'B'; return 0; }
int TerminateC() { g_calls += 'C'; return 0; }
int TerminateD() { g_calls += 'D'; return 0; }
int UnregistersItself() { g_calls += 'S'; MODULE_Unregister(UnregistersItself); return 0; }

class CleanupList : public ::testing::Test {
protected:
    void SetUp() override { MODULE_RunAll(); g_calls.clear(); }
    void TearDown() override { MODULE_RunAll(); }
};

// Unregistering removes the later of two entries and closes the gap; the next
// registration goes after the rest.
TEST_F(CleanupList, RunsNewestFirstAndEmptiesTheTable) {
    for (auto terminate : {TerminateA, TerminateB, TerminateC, TerminateA, UnregistersItself}) MODULE_Register(terminate, 0);
    MODULE_Unregister(TerminateA);
    MODULE_Unregister(TerminateB);
    MODULE_Unregister(TerminateD);  // not listed: ignored
    MODULE_Register(TerminateD, 0);
    EXPECT_EQ(MODULE_Count(), 4);
    MODULE_RunAll();  // a terminate that unregisters itself meanwhile is harmless
    EXPECT_EQ(g_calls, "DSCA");
    EXPECT_EQ(MODULE_Count(), 0);
}

TEST_F(CleanupList, HundredAndFirstRegistrationIsFatal) {
    EXPECT_EXIT(
        {
            for (int i = 0; i < MODULE_MAX_SLOTS; ++i) MODULE_Register(TerminateA, 0);
            MODULE_Register(TerminateB, 0);
        },
        ::testing::ExitedWithCode(zyntest::kFatalExitCode), "");
}

}  // namespace
