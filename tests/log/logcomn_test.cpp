#include "log/logcomn.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "log/logdump.h"
#include "log/zynlog.h"
#include "script/module.h"
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

    int Install(const char* name) {
        int id = -99;
        EXPECT_EQ(LOGCOMN_NewDemo(name, &id), 0);
        return id;
    }

    std::string Header() {
        ZYNLOG_KEY header = nullptr;
        if (ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "HEADER", &header) != 0) return "<none>";
        return DumpLog(header);
    }

    zyntest::TempDir dir_;
    std::string log_ = dir_.file("ZYNDEMO.LOG");
};

TEST_F(DemoRecords, FirstDemoInAnEmptyLogGetsIdZero) {
    EXPECT_EQ(Install("Zyn Demo"), 0);
    EXPECT_EQ(DumpLog(), "[HEADER]{\"Max Demo\"=\"1\"\"Demo 0\"=\"Zyn Demo\"}[Demo 0]{}");
    ZYNLOG_KEY key = nullptr, expected = nullptr;
    ASSERT_EQ(LOGCOMN_GetDemoKey(&key), 0);
    ASSERT_EQ(ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "demo 0", &expected), 0);
    EXPECT_EQ(key, expected);
}

TEST_F(DemoRecords, IdsAreReusedOnlyWhenTheHighestDemoLeaves) {
    EXPECT_EQ(Install("A"), 0);
    EXPECT_EQ(Install("B"), 1);
    EXPECT_EQ(Install("C"), 2);
    EXPECT_EQ(LOGCOMN_ReleaseDemo(1), 0);
    EXPECT_EQ(Header(), "\"Max Demo\"=\"3\"\"Demo 0\"=\"A\"\"Demo 2\"=\"C\"");
    EXPECT_EQ(LOGCOMN_ReleaseDemo(2), 0);
    EXPECT_EQ(Header(), "\"Max Demo\"=\"1\"\"Demo 0\"=\"A\"");
    EXPECT_EQ(Install("D"), 1);
    EXPECT_EQ(Header(), "\"Max Demo\"=\"2\"\"Demo 0\"=\"A\"\"Demo 1\"=\"D\"");
    // Releasing keeps each demo's own key: its records are removed by the uninstall.
    ZYNLOG_KEY key = nullptr;
    EXPECT_EQ(ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, "Demo 2", &key), 0);
    // Ids that are not registered (any more) are not found.
    EXPECT_EQ(LOGCOMN_ReleaseDemo(7), ERROR_ZYNLOG_VALUE_NOT_FOUND);
    EXPECT_EQ(LOGCOMN_ReleaseDemo(2), ERROR_ZYNLOG_VALUE_NOT_FOUND);
    // Releasing the last demos leaves Max Demo at zero, and ids start over.
    EXPECT_EQ(LOGCOMN_ReleaseDemo(1), 0);
    EXPECT_EQ(LOGCOMN_ReleaseDemo(0), 0);
    EXPECT_EQ(Header(), "\"Max Demo\"=\"0\"");
    EXPECT_EQ(Install("Next"), 0);
}

TEST_F(DemoRecords, RegisterSurvivesSavingAndLoading) {
    Install("A");
    Install("B");
    ASSERT_EQ(ZYNLOG_Terminate(), 0);
    ASSERT_EQ(ZYNLOG_Init(log_.c_str(), 30), 0);
    EXPECT_EQ(Install("C"), 2);
    char name[16];
    EXPECT_EQ(LOGCOMN_GetDemoName(1, name, sizeof name), 0);
    EXPECT_STREQ(name, "B");
}

TEST_F(DemoRecords, MaxDemoReadsLeadingDigits) {
    ZYNLOG_KEY header = nullptr;
    ASSERT_EQ(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "HEADER", &header), 0);
    ASSERT_EQ(ZYNLOG_SetValue(header, "Max Demo", "12abc"), 0);
    EXPECT_EQ(Install("A"), 12);
    ASSERT_EQ(ZYNLOG_SetValue(header, "Max Demo", "junk"), 0);
    EXPECT_EQ(Install("B"), 0);
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
}

TEST_F(DemoRecords, DemoKeyIsGoneWithTheLog) {
    Install("A");
    ZYNLOG_KEY key = nullptr;
    ASSERT_EQ(LOGCOMN_GetDemoKey(&key), 0);
    ASSERT_EQ(ZYNLOG_Terminate(), 0);
    EXPECT_EQ(LOGCOMN_GetDemoKey(&key), ERROR_LOGCOMN_DEMO_KEY_NOT_SET);
    EXPECT_EQ(key, nullptr);
}

TEST_F(DemoRecords, TidyKeyDeletesOnlyEmptyKeys) {
    ZYNLOG_KEY demo = nullptr, empty = nullptr, valued = nullptr, parent = nullptr;
    ASSERT_EQ(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Demo 0", &demo), 0);
    ASSERT_EQ(ZYNLOG_CreateKey(demo, "Files", &empty), 0);
    ASSERT_EQ(ZYNLOG_CreateKey(demo, "INI Settings", &valued), 0);
    ASSERT_EQ(ZYNLOG_SetValue(valued, "0", "x"), 0);
    ASSERT_EQ(ZYNLOG_CreateKey(demo, "Reg32", &parent), 0);
    ZYNLOG_KEY child = nullptr;
    ASSERT_EQ(ZYNLOG_CreateKey(parent, "HKLM", &child), 0);

    EXPECT_EQ(LOGCOMN_TidyKey(demo, empty, "Files"), 1);
    EXPECT_EQ(LOGCOMN_TidyKey(demo, valued, "INI Settings"), 2);
    EXPECT_EQ(LOGCOMN_TidyKey(demo, parent, "Reg32"), 2);
    EXPECT_EQ(LOGCOMN_TidyKey(demo, nullptr, "Reg32"), ERROR_ZYNLOG_KEY_NOT_OPEN);
    EXPECT_EQ(DumpLog(), "[Demo 0]{[INI Settings]{\"0\"=\"x\"}[Reg32]{[HKLM]{}}}");
}

// The uninstall's walk over sub-keys by index: after a deletion the index stays.
TEST_F(DemoRecords, WalkingSubKeysWithTidyVisitsEachOnce) {
    ZYNLOG_KEY demo = nullptr;
    ASSERT_EQ(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Demo 0", &demo), 0);
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        ZYNLOG_KEY key = nullptr;
        ASSERT_EQ(ZYNLOG_CreateKey(demo, name, &key), 0);
        if (std::strchr("bd", name[0])) {
            ASSERT_EQ(ZYNLOG_SetValue(key, "kept", "1"), 0);
        }
    }
    std::string visited;
    char name[16];
    for (int index = 0; ZYNLOG_EnumKey(demo, index, name, sizeof name) == 0;) {
        visited += name;
        ZYNLOG_KEY key = nullptr;
        ASSERT_EQ(ZYNLOG_OpenKey(demo, name, &key), 0);
        int result = LOGCOMN_TidyKey(demo, key, name);
        ASSERT_GT(result, 0);
        if (result == 2) ++index;
    }
    EXPECT_EQ(visited, "abcde");
    EXPECT_EQ(DumpLog(), "[Demo 0]{[b]{\"kept\"=\"1\"}[d]{\"kept\"=\"1\"}}");
}

// ---- Demo id lists ----------------------------------------------------------------------

TEST(DemoLists, MembershipComparesIdsAsText) {
    struct Case {
        const char* list;
        int id;
        int in;
    };
    for (Case c : {Case{"10, 2", 1, 0}, Case{"10, 2", 2, 1}, Case{"10, 2", 10, 1}, Case{"", 0, 0}, Case{",4", 4, 1},
                   Case{"  3", 3, 1}, Case{"03", 3, 0}, Case{"0", 0, 1}, Case{"1,,2", 2, 1}}) {
        EXPECT_EQ(LOGCOMN_IsDemoInList(c.list, c.id), c.in) << c.list << " / " << c.id;
    }
    EXPECT_EQ(LOGCOMN_IsDemoInList(nullptr, 0), 0);
}

TEST(DemoLists, AddAppendsOnlyNewIds) {
    struct Case {
        const char* list;
        int id;
        const char* out;
    };
    for (Case c : {Case{"", 4, "4"}, Case{"1,2", 2, "1,2"}, Case{"1, 2", 3, "1, 2,3"}, Case{"0", 10, "0,10"}}) {
        char out[32] = "junk";
        EXPECT_EQ(LOGCOMN_AddDemoToList(c.list, c.id, out, sizeof out), 0) << c.list;
        EXPECT_STREQ(out, c.out) << c.list;
    }
    char small[8];
    EXPECT_EQ(LOGCOMN_AddDemoToList("1,2", 3, small, 6), 0);
    EXPECT_EQ(LOGCOMN_AddDemoToList("1,2", 3, small, 5), ERROR_LOGCOMN_BUFFER_TOO_SMALL);
    // In place: the output may be the input.
    char list[16] = "7";
    EXPECT_EQ(LOGCOMN_AddDemoToList(list, 8, list, sizeof list), 0);
    EXPECT_STREQ(list, "7,8");
}

TEST(DemoLists, RemoveRebuildsFromTheOtherIds) {
    struct Case {
        int id;
        const char* list;
        const char* out;
    };
    for (Case c : {Case{3, "3", ""}, Case{3, "1, 3, 5", "1,5"}, Case{3, "1", "1"}, Case{3, "3,3,1", "1"},
                   Case{3, ",4", "4"}, Case{3, "13, 31", "13,31"}, Case{0, "", ""}}) {
        char list[32];
        std::strcpy(list, c.list);
        EXPECT_EQ(LOGCOMN_RemoveDemoFromList(c.id, list), 0) << c.list;
        EXPECT_STREQ(list, c.out) << c.list;
    }
}

TEST(DemoLists, MaxIsTheGreatestIdOrMinusOne) {
    struct Case {
        const char* list;
        int max;
    };
    for (Case c : {Case{"", -1}, Case{" , ", -1}, Case{"0", 0}, Case{"1, 10, 2", 10}, Case{",4", 4}}) {
        EXPECT_EQ(LOGCOMN_MaxDemoInList(c.list), c.max) << c.list;
    }
}

// ---- Neighbours in shared records ---------------------------------------------------------

struct Neighbours {
    int exact, exact_index, higher, higher_index, lower, lower_index;
    bool operator==(const Neighbours&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Neighbours& n) {
    return out << "exact " << n.exact << "@" << n.exact_index << ", higher " << n.higher << "@" << n.higher_index
               << ", lower " << n.lower << "@" << n.lower_index;
}

class DemoNeighbours : public DemoRecords {
protected:
    ZYNLOG_KEY Site(const std::vector<const char*>& names) {
        ZYNLOG_KEY key = nullptr;
        ZYNLOG_DeleteKey(ZYNLOG_ROOT_KEY, "Site");
        EXPECT_EQ(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Site", &key), 0);
        for (const char* name : names) EXPECT_EQ(ZYNLOG_SetValue(key, name, "VALUE_ADDED_BY_ZYN_INSTALL"), 0);
        return key;
    }

    Neighbours Find(ZYNLOG_KEY key, int id, const char* separators = ",", const char* skip = " ") {
        Neighbours n{-9, -9, -9, -9, -9, -9};
        EXPECT_EQ(LOGCOMN_FindDemoNeighbours(key, id, separators, skip, &n.exact, &n.exact_index, &n.higher,
                                             &n.higher_index, &n.lower, &n.lower_index),
                  0);
        return n;
    }
};

TEST_F(DemoNeighbours, FindsExactNearestHigherAndNearestLower) {
    ZYNLOG_KEY site = Site({"0", "2, 5", "3", "7", "5"});
    struct Case {
        int id;
        Neighbours expected;
    };
    for (Case c : {Case{5, {5, 1, 7, 3, 3, 2}}, Case{4, {-1, 0, 5, 1, 3, 2}}, Case{0, {0, 0, 2, 1, -1, 0}},
                   Case{9, {-1, 0, -1, 0, 7, 3}}, Case{6, {-1, 0, 7, 3, 5, 1}}}) {
        EXPECT_EQ(Find(site, c.id), c.expected) << "demo " << c.id;
    }
}

TEST_F(DemoNeighbours, EqualIdsNearerTheFrontWin) {
    ZYNLOG_KEY site = Site({"1", "1,4", "9", "4, 9"});
    EXPECT_EQ(Find(site, 4), (Neighbours{4, 1, 9, 2, 1, 0}));
}

TEST_F(DemoNeighbours, EmptySiteFindsNothing) {
    EXPECT_EQ(Find(Site({}), 3), (Neighbours{-1, 0, -1, 0, -1, 0}));
    EXPECT_EQ(LOGCOMN_FindDemoNeighbours(nullptr, 3, ",", " ", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_ZYNLOG_KEY_NOT_OPEN);
}

TEST_F(DemoNeighbours, SeparatorsAndSkipCharactersAreTheCallers) {
    ZYNLOG_KEY site = Site({"2;;6", "  4"});
    EXPECT_EQ(Find(site, 4, ";", " "), (Neighbours{4, 1, 6, 0, 2, 0}));
}

// Two demos share a file outside their directories; removing the first leaves it to the second.
TEST_F(DemoNeighbours, SharedRecordPassesToTheRemainingDemo) {
    int first = Install("First");
    int second = Install("Second");
    ZYNLOG_KEY common = nullptr, files = nullptr;
    ASSERT_EQ(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Common", &common), 0);
    ASSERT_EQ(ZYNLOG_CreateKey(common, "Files", &files), 0);
    std::string owners = std::to_string(first) + ", " + std::to_string(second);
    ASSERT_EQ(ZYNLOG_SetValue(files, "C:\\WINDOWS\\ZYN.SCR", owners.c_str()), 0);

    char list[64];
    ASSERT_EQ(ZYNLOG_GetValue(files, "c:\\windows\\zyn.scr", list, sizeof list), 0);
    ASSERT_EQ(LOGCOMN_IsDemoInList(list, first), 1);
    ASSERT_EQ(LOGCOMN_RemoveDemoFromList(first, list), 0);
    ASSERT_EQ(ZYNLOG_SetValue(files, "C:\\WINDOWS\\ZYN.SCR", list), 0);
    EXPECT_EQ(LOGCOMN_TidyKey(common, files, "Files"), 2);
    ASSERT_EQ(LOGCOMN_ReleaseDemo(first), 0);

    ASSERT_EQ(ZYNLOG_GetValue(files, "C:\\WINDOWS\\ZYN.SCR", list, sizeof list), 0);
    EXPECT_EQ(LOGCOMN_MaxDemoInList(list), second);
    ASSERT_EQ(ZYNLOG_DeleteValue(files, "C:\\WINDOWS\\ZYN.SCR"), 0);
    EXPECT_EQ(LOGCOMN_TidyKey(common, files, "Files"), 1);
    ASSERT_EQ(LOGCOMN_ReleaseDemo(second), 0);
    EXPECT_EQ(DumpLog(), "[HEADER]{\"Max Demo\"=\"0\"}[Demo 0]{}[Demo 1]{}[Common]{}");
}

}  // namespace
