#include "log/logcomn.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "log/logdump.h"
#include "log/zynlog.h"
#include "support/testsupport.h"

namespace {

using namespace zyntest;

class DemoRecords : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLog();
        ASSERT_EQ(ZYNLOG_Init(log_.c_str(), 30), 0);
    }
    void TearDown() override { ResetLog(); }

    static int Install(const char* name) {
        int id = -99;
        EXPECT_EQ(LOGCOMN_NewDemo(name, &id), 0);
        return id;
    }
    static std::string Header() {
        ZYNLOG_KEY header = nullptr;
        return ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "HEADER", &header) == 0 ? DumpLog(header) : "<none>";
    }

    zyntest::TempDir dir_;
    std::string log_ = dir_.file("ZYNDEMO.LOG");
};

TEST_F(DemoRecords, IdsAreReusedOnlyWhenTheHighestDemoLeaves) {
    ZYNLOG_KEY key = nullptr;
    EXPECT_EQ(Install("A"), 0);
    EXPECT_EQ(DumpLog(), "[HEADER]{\"Max Demo\"=\"1\"\"Demo 0\"=\"A\"}[Demo 0]{}");
    ASSERT_EQ(LOGCOMN_GetDemoKey(&key), 0);
    EXPECT_EQ(DumpLog(key), "");
    EXPECT_EQ(Install("B"), 1);
    EXPECT_EQ(Install("C"), 2);
    EXPECT_EQ(LOGCOMN_ReleaseDemo(1), 0);
    EXPECT_EQ(Header(), "\"Max Demo\"=\"3\"\"Demo 0\"=\"A\"\"Demo 2\"=\"C\"");
    EXPECT_EQ(LOGCOMN_ReleaseDemo(2), 0);
    EXPECT_EQ(Header(), "\"Max Demo\"=\"1\"\"Demo 0\"=\"A\"");
    EXPECT_EQ(Install("D"), 1);
    EXPECT_EQ(Header(), "\"Max Demo\"=\"2\"\"Demo 0\"=\"A\"\"Demo 1\"=\"D\"");
    // Releasing keeps each demo's own key: its records are removed by the uninstall.
    EXPECT_EQ(ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Demo 2", &key), 0);
    EXPECT_EQ(LOGCOMN_ReleaseDemo(2), ERROR_ZYNLOG_VALUE_NOT_FOUND);
}

TEST_F(DemoRecords, GetDemoNameChecksTheRegisterAndTheBuffer) {
    char name[64] = "junk";
    EXPECT_EQ(LOGCOMN_GetDemoName(0, name, sizeof name), ERROR_ZYNLOG_SUB_KEY_NOT_FOUND);
    EXPECT_STREQ(name, "");
    Install("Short");
    Install("A much longer name");
    // The buffer must hold the longest data in the register, whatever is asked for.
    EXPECT_EQ(LOGCOMN_GetDemoName(0, name, 18), ERROR_LOGCOMN_BUFFER_TOO_SMALL);
    EXPECT_EQ(LOGCOMN_GetDemoName(0, name, 19), 0);
    EXPECT_STREQ(name, "Short");
    EXPECT_EQ(LOGCOMN_GetDemoName(5, name, sizeof name), ERROR_ZYNLOG_VALUE_NOT_FOUND);
}

TEST(DemoLists, ListArithmetic) {
    using In = std::tuple<const char*, int, int>;
    for (auto [list, id, in] : {In{"10, 2", 1, 0}, In{"10, 2", 2, 1}, In{"", 0, 0}, In{"03", 3, 0}, In{"1,,2", 2, 1}})
        EXPECT_EQ(LOGCOMN_IsDemoInList(list, id), in) << list << " / " << id;
    using Add = std::tuple<const char*, int, const char*>;
    for (auto [list, id, after] : {Add{"", 4, "4"}, Add{"1,2", 2, "1,2"}, Add{"1, 2", 3, "1, 2,3"}}) {
        char out[32] = "junk";
        EXPECT_EQ(LOGCOMN_AddDemoToList(list, id, out, sizeof out), 0) << list;
        EXPECT_STREQ(out, after) << list;
    }
    char out[16] = "7";  // in place: the output may be the input
    EXPECT_EQ(LOGCOMN_AddDemoToList(out, 8, out, 4), 0);
    EXPECT_STREQ(out, "7,8");
    EXPECT_EQ(LOGCOMN_AddDemoToList(out, 9, out, 5), ERROR_LOGCOMN_BUFFER_TOO_SMALL);
    using Remove = std::tuple<int, const char*, const char*>;
    for (auto [id, list, after] : {Remove{3, "1, 3, 5", "1,5"}, Remove{3, "3,3,1", "1"}, Remove{3, ",4", "4"},
                                   Remove{3, "13, 31", "13,31"}}) {
        char text[32];
        std::strcpy(text, list);
        EXPECT_EQ(LOGCOMN_RemoveDemoFromList(id, text), 0) << list;
        EXPECT_STREQ(text, after) << list;
    }
    using Max = std::pair<const char*, int>;
    for (auto [list, max] : {Max{"", -1}, Max{" , ", -1}, Max{"0", 0}, Max{"1, 10, 2", 10}, Max{",4", 4}})
        EXPECT_EQ(LOGCOMN_MaxDemoInList(list), max) << list;
}

// A shared record's value names list demo ids; found: the exact, the nearest higher and the
// nearest lower id, each with its value index (-1 and 0 when absent).
TEST_F(DemoRecords, FindDemoNeighboursInASharedRecord) {
    using Found = std::vector<int>;
    auto find = [](std::vector<const char*> names, int id, const char* separators = ",") {
        ZYNLOG_DeleteKey(ZYNLOG_ROOT_KEY, "Site");
        ZYNLOG_KEY key = nullptr;
        EXPECT_EQ(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Site", &key), 0);
        for (const char* name : names) EXPECT_EQ(ZYNLOG_SetValue(key, name, "VALUE_ADDED_BY_ZYN_INSTALL"), 0);
        Found n(6, -9);
        EXPECT_EQ(LOGCOMN_FindDemoNeighbours(key, id, separators, " ", &n[0], &n[1], &n[2], &n[3], &n[4], &n[5]), 0);
        return n;
    };
    const std::vector<const char*> site = {"0", "2, 5", "3", "7", "5"};
    EXPECT_EQ(find(site, 5), (Found{5, 1, 7, 3, 3, 2}));
    EXPECT_EQ(find(site, 4), (Found{-1, 0, 5, 1, 3, 2}));
    EXPECT_EQ(find(site, 0), (Found{0, 0, 2, 1, -1, 0}));
    EXPECT_EQ(find(site, 9), (Found{-1, 0, -1, 0, 7, 3}));
    EXPECT_EQ(find({"1", "1,4", "9", "4, 9"}, 4), (Found{4, 1, 9, 2, 1, 0}));  // equal ids nearer the front win
    EXPECT_EQ(find({"2;;6", "  4"}, 4, ";"), (Found{4, 1, 6, 0, 2, 0}));
}

}  // namespace
