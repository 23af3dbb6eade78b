#include "run/logunins.h"

#include <gtest/gtest.h>

#include <string>

#include "log/logdump.h"
#include "script/module.h"
#include "support/testsupport.h"

namespace {

std::string g_trace;

// Notes each record's name; undoes (deletes) all but those whose data says "keep",
// and stops with an error at one that says "fail".
int Undo(ZYNLOG_KEY key, int) {
    char name[64], data[64];
    for (int i = 0; ZYNLOG_EnumValue(key, i, name, sizeof name, data, sizeof data) == 0;) {
        g_trace += name;
        if (std::string(data) == "fail") return -5;
        if (std::string(data) == "keep") ++i;
        else ZYNLOG_DeleteValue(key, name);
    }
    return 0;
}

constexpr LOGUNINS_ENTRY kTable[] = {{"Files", Undo}, {"Reg32", Undo}, {"INI Settings", Undo}, {"Launch", Undo}};

class LogTree : public ::testing::Test {
protected:
    void Load(const std::string& text) {
        zyntest::WriteFileBytes(log_, text);
        ASSERT_EQ(ZYNLOG_Init(log_.c_str(), 30), 0);
        ZYNLOG_SetFileName(nullptr);
    }
    void TearDown() override {
        ZYNLOG_Terminate();
        MODULE_Unregister(ZYNLOG_Terminate);
    }
    zyntest::TempDir dir_;
    std::string log_ = dir_.file("ZYNDEMO.LOG");
};

TEST_F(LogTree, SettingsGoBeforeFilesAndTheReplayStopsWhereItCannotGoOn) {
    struct Case {
        const char* log;
        int result;
        const char* trace;
        const char* left;
    } cases[] = {
        {R"([Demo 0]{[Files]{"f" "x"}[reg32]{"r" "x"}[Launch]{"l" "keep"}[INI Settings]{"i" "x"}})", 0, "rlif",
         R"([Demo 0]{[Launch]{"l"="keep"}})"},
        {R"([Demo 0]{[Reg32]{"r" "x"}[Desktop]{"d" "x"}[Files]{"f" "x"}})", ERROR_LOGUNINS_UNHANDLED_KEY, "r",
         R"([Demo 0]{[Desktop]{"d"="x"}[Files]{"f"="x"}})"},
        {R"([Demo 0]{[Files]{"f" "fail" "g" "x"}[INI Settings]{"i" "x"}})", -5, "if",
         R"([Demo 0]{[Files]{"f"="fail""g"="x"}})"},
        {R"([Demo 1]{})", ERROR_ZYNLOG_SUB_KEY_NOT_FOUND, "", R"([Demo 1]{})"},
    };
    for (const Case& c : cases) {
        Load(c.log);
        g_trace.clear();
        EXPECT_EQ(LOGUNINS_ReplayKeyWith(ZYNLOG_ROOT_KEY, "Demo 0", 0, kTable, 4), c.result) << c.log;
        EXPECT_EQ(g_trace, c.trace) << c.log;
        EXPECT_EQ(zyntest::DumpLog(), c.left) << c.log;
        TearDown();
    }
}

TEST_F(LogTree, TheLogGoesOnlyWithTheLastRegisteredDemo) {
    struct Case {
        const char* header;
        int demo;
        int only;
    } cases[] = {
        {R"("Max Demo" "1" "Demo 0" "A")", 0, 1},
        {R"("Max Demo" "2" "Demo 0" "A" "demo 1" "B")", 1, 0},
        {R"("Max Demo" "2" "Demo 1" "B")", 1, 1},
        {R"("Max Demo" "1" "Demo 0" "A")", 1, 0},
        {R"("Max Demo" "1" "Demo 0" "A" "Demo 5" "stale" "Demo 00" "odd")", 0, 1},
    };
    for (const Case& c : cases) {
        Load(std::string("[HEADER]{") + c.header + "}");
        EXPECT_EQ(LOGUNINS_IsOnlyDemo(c.demo), c.only) << c.header << " demo " << c.demo;
        TearDown();
    }
    Load(R"([Common]{"a" "1" [Files]{"b" "0" "c" "0" [Deep]{"d" "1"}}})");
    ZYNLOG_KEY common = nullptr;
    ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Common", &common);
    EXPECT_EQ(LOGUNINS_CountValues(common), 4);
}

}  // namespace
