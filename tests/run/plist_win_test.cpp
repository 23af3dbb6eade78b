#include "run/plist.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "script/module.h"

namespace {

std::vector<std::string> g_calls;
int g_result_for_c = 0;  // what HandlerC answers

int Record(const char* tag, int demo_id, const char* section, int action) {
    g_calls.push_back(std::string(tag) + ":" + section + ":" + std::to_string(demo_id) + ":" + std::to_string(action));
    return 0;
}
int HandlerA(int d, const char* s, int a) { return Record("A", d, s, a); }
int HandlerB(int d, const char* s, int a) { return Record("B", d, s, a); }
int HandlerC(int d, const char* s, int a) {
    Record("C", d, s, a);
    return g_result_for_c;
}

class Plist : public ::testing::Test {
protected:
    void SetUp() override {
        PLIST_Terminate();
        g_calls.clear();
        g_result_for_c = 0;
        ASSERT_EQ(PLIST_Init(), 0);
    }
    void TearDown() override { PLIST_Terminate(); }

    static void Register(std::initializer_list<std::pair<const char*, PLIST_HANDLER>> rows) {
        for (const auto& [name, handler] : rows) ASSERT_EQ(PLIST_InsertAfter(-1, name, handler, handler), 0);
    }

    static std::vector<std::string> Names() {
        std::vector<std::string> out;
        char name[PLIST_NAME_SIZE];
        for (int i = 0; PLIST_GetByIndex(i, nullptr, name, sizeof name, nullptr) == 0; ++i) out.push_back(name);
        return out;
    }
};

TEST_F(Plist, InitTwiceFailsAndTerminateLeavesTheCleanUpList) {
    const int before = MODULE_Count();
    ASSERT_EQ(PLIST_InsertAfter(-1, "Files", HandlerA, HandlerA), 0);
    EXPECT_EQ(PLIST_Init(), ERROR_PLIST_INIT);
    EXPECT_EQ(PLIST_Terminate(), 0);
    EXPECT_TRUE(Names().empty());
    EXPECT_EQ(MODULE_Count(), before - 1);
    EXPECT_EQ(PLIST_Init(), 0);
}

TEST_F(Plist, SharedHandlersStayTogetherInRegistrationOrder) {
    // "Other Files" goes after the last Files-handler row, even when rows of
    // other handlers were registered after it.
    Register({{"Files", HandlerA}, {"Rename", HandlerB}, {"Protection Files", HandlerA}});
    ASSERT_EQ(PLIST_InsertAfter(-1, "Other Files", HandlerC, HandlerA), 0);
    Register({{"Launch", HandlerB}});
    EXPECT_EQ(Names(), (std::vector<std::string>{"Files", "Protection Files", "Other Files", "Rename", "Launch"}));
}

TEST_F(Plist, LookupsAndBufferSizes) {
    ASSERT_EQ(PLIST_InsertAfter(-1, "Files", HandlerA, HandlerA), 0);
    ASSERT_EQ(PLIST_InsertAfter(7, "Shell", HandlerB, HandlerB), 0);
    ASSERT_EQ(PLIST_InsertAfter(-1, "Protection Files", HandlerA, HandlerA), 0);
    ASSERT_EQ(PLIST_InsertAfter(-1, std::string(80, 'x').c_str(), HandlerC, HandlerC), 0);

    struct Case {
        int index;
        int size;
        int rc;
        const char* name;
    } cases[] = {
        {2, 6, 0, "Shell"},   {2, 5, ERROR_PLIST_BUFFER_TOO_SMALL, nullptr},
        {1, -1, ERROR_PLIST_BUFFER_TOO_SMALL, nullptr}, {4, 50, ERROR_PLIST_NOT_FOUND, nullptr},
        {-1, 50, ERROR_PLIST_NOT_FOUND, nullptr},        {3, 50, 0, nullptr},
        {3, 49, ERROR_PLIST_BUFFER_TOO_SMALL, nullptr},
    };
    for (const Case& c : cases) {
        char name[64] = "";
        int id = 0;
        PLIST_HANDLER h = nullptr;
        EXPECT_EQ(PLIST_GetByIndex(c.index, &id, name, c.size, &h), c.rc) << c.index << "/" << c.size;
        if (c.rc == 0 && c.name) {
            EXPECT_STREQ(name, c.name);
            EXPECT_EQ(id, 7);
            EXPECT_EQ(h, &HandlerB);
        }
        if (c.rc == 0 && !c.name) {
            EXPECT_EQ(std::string(name), std::string(49, 'x'));  // truncated copy
        }
    }

    char name[PLIST_NAME_SIZE];
    EXPECT_EQ(PLIST_GetNameByHandler(1, HandlerA, name, sizeof name), 0);
    EXPECT_STREQ(name, "Protection Files");  // placed after "Files", ahead of "Shell"
    EXPECT_EQ(PLIST_GetNameByHandler(2, HandlerA, name, sizeof name), ERROR_PLIST_NOT_FOUND);
    EXPECT_EQ(PLIST_GetNameByHandler(0, HandlerA, name, 5), ERROR_PLIST_BUFFER_TOO_SMALL);

    int id = 0;
    PLIST_HANDLER h = nullptr;
    EXPECT_EQ(PLIST_GetFirst(&id, name, &h), 0);
    EXPECT_STREQ(name, "Files");
    PLIST_Terminate();
    EXPECT_EQ(PLIST_GetFirst(&id, name, &h), ERROR_PLIST_NOT_FOUND);
    EXPECT_EQ(id, -1);
    EXPECT_STREQ(name, "");
}

TEST_F(Plist, RemoveMatchesIdAndNameWithoutCase) {
    ASSERT_EQ(PLIST_InsertAfter(-1, "Files", HandlerA, HandlerA), 0);
    ASSERT_EQ(PLIST_InsertAfter(-1, "Shell", HandlerB, HandlerB), 0);
    ASSERT_EQ(PLIST_InsertAfter(3, "Shell", HandlerB, HandlerB), 0);
    EXPECT_EQ(PLIST_Remove(-1, "SHELL"), 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Files", "Shell"}));
    EXPECT_EQ(PLIST_Remove(-1, "Launch"), ERROR_PLIST_NOT_FOUND);
    EXPECT_EQ(PLIST_Remove(5, nullptr), ERROR_PLIST_NOT_FOUND);
    EXPECT_EQ(PLIST_Remove(-1, nullptr), 0);  // no name: every entry of the id
    EXPECT_EQ(Names(), (std::vector<std::string>{"Shell"}));
}

TEST_F(Plist, RunCallsInOrderAndStopsOnCancelOrError) {
    struct Case {
        int c_result;
        int remove;
        int rc;
        std::vector<std::string> calls;
        std::vector<std::string> left;
    } cases[] = {
        {0, 0, 0, {"A:Files:4:1", "C:Shell:4:1", "B:Launch:4:1"}, {"Files", "Shell", "Launch"}},
        {0, 1, 0, {"A:Files:4:1", "C:Shell:4:1", "B:Launch:4:1"}, {}},
        {5, 1, 0, {"A:Files:4:1", "C:Shell:4:1", "B:Launch:4:1"}, {}},  // positive results go on
        {100, 1, 100, {"A:Files:4:1", "C:Shell:4:1"}, {"Shell", "Launch"}},
        {ERROR_PLIST_EXCLUSIVE, 0, ERROR_PLIST_EXCLUSIVE, {"A:Files:4:1", "C:Shell:4:1"}, {"Files", "Shell", "Launch"}},
        {-505, 1, -505, {"A:Files:4:1", "C:Shell:4:1"}, {"Shell", "Launch"}},
    };
    for (const Case& c : cases) {
        PLIST_Terminate();
        ASSERT_EQ(PLIST_Init(), 0);
        Register({{"Files", HandlerA}, {"Shell", HandlerC}, {"Launch", HandlerB}});
        g_calls.clear();
        g_result_for_c = c.c_result;
        EXPECT_EQ(PLIST_Run(4, PLIST_INSTALL, c.remove), c.rc) << c.c_result;
        EXPECT_EQ(g_calls, c.calls) << c.c_result;
        EXPECT_EQ(Names(), c.left) << c.c_result;
    }
}

}  // namespace
