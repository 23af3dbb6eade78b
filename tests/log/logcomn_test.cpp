#include "log/logcomn.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "log/logdump.h"
#include "log/zynlog.h"
#include "support/testsupport.h"

namespace {

using zyntest::DumpLog;
using zyntest::ResetLog;

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
    static ZYNLOG_KEY Key(ZYNLOG_KEY parent, const char* name, const char* value = nullptr) {
        ZYNLOG_KEY key = nullptr;
        EXPECT_EQ(ZYNLOG_CreateKey(parent, name, &key), 0);
        if (value) {
            EXPECT_EQ(ZYNLOG_SetValue(key, value, "x"), 0);
        }
        return key;
    }

    zyntest::TempDir dir_;
    std::string log_ = dir_.file("ZYNDEMO.LOG");
};

TEST_F(DemoRecords, IdsAreReusedOnlyWhenTheHighestDemoLeaves) {
    EXPECT_EQ(Install("A"), 0);
    EXPECT_EQ(DumpLog(), "[HEADER]{\"Max Demo\"=\"1\"\"Demo 0\"=\"A\"}[Demo 0]{}");
    ZYNLOG_KEY key = nullptr, expected = nullptr;
    ASSERT_EQ(LOGCOMN_GetDemoKey(&key), 0);
    ASSERT_EQ(ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "demo 0", &expected), 0);
    EXPECT_EQ(key, expected);
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
    EXPECT_EQ(LOGCOMN_ReleaseDemo(7), ERROR_ZYNLOG_VALUE_NOT_FOUND);
    EXPECT_EQ(LOGCOMN_ReleaseDemo(2), ERROR_ZYNLOG_VALUE_NOT_FOUND);
    EXPECT_EQ(LOGCOMN_ReleaseDemo(1), 0);
    EXPECT_EQ(LOGCOMN_ReleaseDemo(0), 0);
    EXPECT_EQ(Header(), "\"Max Demo\"=\"0\"");
    EXPECT_EQ(Install("Next"), 0);
}

TEST_F(DemoRecords, RegisterSurvivesTheLogButTheDemoKeyDoesNot) {
    Install("A");
    Install("B");
    ZYNLOG_KEY key = nullptr;
    ASSERT_EQ(ZYNLOG_Terminate(), 0);
    EXPECT_EQ(LOGCOMN_GetDemoKey(&key), ERROR_LOGCOMN_DEMO_KEY_NOT_SET);
    EXPECT_EQ(key, nullptr);
    ASSERT_EQ(ZYNLOG_Init(log_.c_str(), 30), 0);
    EXPECT_EQ(Install("C"), 2);
    char name[16];
    EXPECT_EQ(LOGCOMN_GetDemoName(1, name, sizeof name), 0);
    EXPECT_STREQ(name, "B");
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
    EXPECT_STREQ(name, "");
    // "Max Demo" is read by its leading digits.
    ZYNLOG_KEY header = Key(ZYNLOG_ROOT_KEY, "HEADER");
    ASSERT_EQ(ZYNLOG_SetValue(header, "Max Demo", "12abc"), 0);
    EXPECT_EQ(Install("A"), 12);
    ASSERT_EQ(ZYNLOG_SetValue(header, "Max Demo", "junk"), 0);
    EXPECT_EQ(Install("B"), 0);
}

// The uninstall's walk over sub-keys by index: after a deletion the index stays.
TEST_F(DemoRecords, TidyKeyDeletesOnlyEmptyKeysAndAWalkVisitsEachOnce) {
    ZYNLOG_KEY demo = Key(ZYNLOG_ROOT_KEY, "Demo 0");
    for (const char* name : {"a", "b", "c", "d", "e"}) Key(demo, name, std::strchr("bd", name[0]) ? "kept" : nullptr);
    Key(Key(demo, "Reg32"), "HKLM");
    std::string visited;
    char name[16];
    for (int index = 0; ZYNLOG_EnumKey(demo, index, name, sizeof name) == 0;) {
        visited += name;
        ZYNLOG_KEY key = nullptr;
        ASSERT_EQ(ZYNLOG_OpenKey(demo, name, &key), 0);
        const int result = LOGCOMN_TidyKey(demo, key, name);
        ASSERT_EQ(result, std::strchr("ace", name[0]) ? 1 : 2) << name;
        if (result == 2) ++index;
    }
    EXPECT_EQ(visited, "abcdeReg32");
    EXPECT_EQ(LOGCOMN_TidyKey(demo, nullptr, "Reg32"), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(DumpLog(), "[Demo 0]{[b]{\"kept\"=\"x\"}[d]{\"kept\"=\"x\"}[Reg32]{[HKLM]{}}}");
}

TEST(DemoLists, ListArithmetic) {
    using In = std::tuple<const char*, int, int>;
    for (auto [list, id, in] : {In{"10, 2", 1, 0}, In{"10, 2", 2, 1}, In{"10, 2", 10, 1}, In{"", 0, 0}, In{",4", 4, 1},
                                In{"  3", 3, 1}, In{"03", 3, 0}, In{"0", 0, 1}, In{"1,,2", 2, 1}})
        EXPECT_EQ(LOGCOMN_IsDemoInList(list, id), in) << list << " / " << id;
    EXPECT_EQ(LOGCOMN_IsDemoInList(nullptr, 0), 0);
    using Add = std::tuple<const char*, int, const char*>;
    for (auto [list, id, after] : {Add{"", 4, "4"}, Add{"1,2", 2, "1,2"}, Add{"1, 2", 3, "1, 2,3"}, Add{"0", 10, "0,10"}}) {
        char out[32] = "junk";
        EXPECT_EQ(LOGCOMN_AddDemoToList(list, id, out, sizeof out), 0) << list;
        EXPECT_STREQ(out, after) << list;
    }
    char out[16];
    EXPECT_EQ(LOGCOMN_AddDemoToList("1,2", 3, out, 6), 0);
    EXPECT_EQ(LOGCOMN_AddDemoToList("1,2", 3, out, 5), ERROR_LOGCOMN_BUFFER_TOO_SMALL);
    std::strcpy(out, "7");  // in place: the output may be the input
    EXPECT_EQ(LOGCOMN_AddDemoToList(out, 8, out, sizeof out), 0);
    EXPECT_STREQ(out, "7,8");
    using Remove = std::tuple<int, const char*, const char*>;
    for (auto [id, list, after] : {Remove{3, "3", ""}, Remove{3, "1, 3, 5", "1,5"}, Remove{3, "1", "1"}, Remove{3, "3,3,1", "1"},
                                   Remove{3, ",4", "4"}, Remove{3, "13, 31", "13,31"}, Remove{0, "", ""}}) {
        char text[32];
        std::strcpy(text, list);
        EXPECT_EQ(LOGCOMN_RemoveDemoFromList(id, text), 0) << list;
        EXPECT_STREQ(text, after) << list;
    }
    using Max = std::pair<const char*, int>;
    for (auto [list, max] : {Max{"", -1}, Max{" , ", -1}, Max{"0", 0}, Max{"1, 10, 2", 10}, Max{",4", 4}})
        EXPECT_EQ(LOGCOMN_MaxDemoInList(list), max) << list;
}

// ---- Neighbours in shared records ----

struct Neighbours {
    int exact, exact_index, higher, higher_index, lower, lower_index;
    bool operator==(const Neighbours&) const = default;
};

class DemoNeighbours : public DemoRecords {
protected:
    static ZYNLOG_KEY Site(const std::vector<const char*>& names) {
        ZYNLOG_DeleteKey(ZYNLOG_ROOT_KEY, "Site");
        ZYNLOG_KEY key = Key(ZYNLOG_ROOT_KEY, "Site");
        for (const char* name : names) EXPECT_EQ(ZYNLOG_SetValue(key, name, "VALUE_ADDED_BY_ZYN_INSTALL"), 0);
        return key;
    }
    static Neighbours Find(ZYNLOG_KEY key, int id, const char* separators = ",", const char* skip = " ") {
        Neighbours n{-9, -9, -9, -9, -9, -9};
        EXPECT_EQ(LOGCOMN_FindDemoNeighbours(key, id, separators, skip, &n.exact, &n.exact_index, &n.higher,
                                             &n.higher_index, &n.lower, &n.lower_index),
                  0);
        return n;
    }
};

TEST_F(DemoNeighbours, FindsExactNearestHigherAndNearestLower) {
    ZYNLOG_KEY site = Site({"0", "2, 5", "3", "7", "5"});
    using Case = std::pair<int, Neighbours>;
    for (auto [id, expected] : {Case{5, {5, 1, 7, 3, 3, 2}}, Case{4, {-1, 0, 5, 1, 3, 2}}, Case{0, {0, 0, 2, 1, -1, 0}},
                                Case{9, {-1, 0, -1, 0, 7, 3}}, Case{6, {-1, 0, 7, 3, 5, 1}}})
        EXPECT_EQ(Find(site, id), expected) << "demo " << id;
    // Equal ids nearer the front win.
    EXPECT_EQ(Find(Site({"1", "1,4", "9", "4, 9"}), 4), (Neighbours{4, 1, 9, 2, 1, 0}));
    EXPECT_EQ(Find(Site({}), 3), (Neighbours{-1, 0, -1, 0, -1, 0}));
    EXPECT_EQ(Find(Site({"2;;6", "  4"}), 4, ";", " "), (Neighbours{4, 1, 6, 0, 2, 0}));
    EXPECT_EQ(LOGCOMN_FindDemoNeighbours(nullptr, 3, ",", " ", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_ZYNLOG_KEY_NOT_OPEN);
}

}  // namespace
