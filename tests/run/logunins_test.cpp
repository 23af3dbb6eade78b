#include "run/logunins.h"

#include <gtest/gtest.h>

#include <string>

#include "log/logdump.h"
#include "script/module.h"
#include "support/testsupport.h"

namespace {

std::string g_trace;

// Notes and deletes each record, but keeps one whose data is "keep".
int Undo(ZYNLOG_KEY key, int) {
    char name[64], data[64];
    for (int i = 0; ZYNLOG_EnumValue(key, i, name, sizeof name, data, sizeof data) == 0;) {
        g_trace += name;
        if (std::string(data) == "keep") ++i;
        else ZYNLOG_DeleteValue(key, name);
    }
    return 0;
}

TEST(LogUninsReplay, SettingsGoBeforeFilesEmptiedKeysGoAndAnUnknownKeyStops) {
    constexpr LOGUNINS_ENTRY kTable[] = {{"Files", Undo}, {"Reg32", Undo}, {"INI Settings", Undo}, {"Launch", Undo}};
    zyntest::TempDir dir;
    zyntest::WriteFileBytes(dir.file("log"), R"([Demo 0]{[Files]{"f" "x"}[reg32]{"r" "x"}[Launch]{"l" "keep"})"
                                             R"([INI Settings]{"i" "x"}[Desktop]{"d" "x"}[Files2]{"g" "x"}})");
    ASSERT_EQ(ZYNLOG_Init(dir.file("log").c_str(), 30), 0);
    ZYNLOG_SetFileName(nullptr);
    EXPECT_EQ(LOGUNINS_ReplayKeyWith(ZYNLOG_ROOT_KEY, "Demo 0", 0, kTable, 4), ERROR_LOGUNINS_UNHANDLED_KEY);
    EXPECT_EQ(g_trace, "rlif");
    EXPECT_EQ(zyntest::DumpLog(), R"([Demo 0]{[Launch]{"l"="keep"}[Desktop]{"d"="x"}[Files2]{"g"="x"}})");
    EXPECT_EQ(LOGUNINS_ReplayKeyWith(ZYNLOG_ROOT_KEY, "Demo 1", 0, kTable, 4), ERROR_ZYNLOG_SUB_KEY_NOT_FOUND);
    ZYNLOG_Terminate();
    MODULE_Unregister(ZYNLOG_Terminate);
}

}  // namespace
