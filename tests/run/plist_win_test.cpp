#include "run/plist.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "script/module.h"

namespace {

using Strings = std::vector<std::string>;
Strings g_calls;
int g_result_for_c = 0;  // what HandlerC answers

int Record(const char* tag, int demo_id, const char* section, int action) {
    g_calls.push_back(std::string(tag) + ":" + section + ":" + std::to_string(demo_id) + ":" + std::to_string(action));
    return 0;
}
int HandlerA(int d, const char* s, int a) { return Record("A", d, s, a); }
int HandlerB(int d, const char* s, int a) { return Record("B", d, s, a); }
int HandlerC(int d, const char* s, int a) { return Record("C", d, s, a), g_result_for_c; }

class Plist : public ::testing::Test {
protected:
    void SetUp() override {
        PLIST_Terminate();
        ASSERT_EQ(PLIST_Init(), 0);
    }
    void TearDown() override { PLIST_Terminate(); }
    // Each row is its own handler's reference, so it goes after that handler's last row.
    static void Register(std::initializer_list<std::pair<const char*, PLIST_HANDLER>> rows, int id = -1) {
        for (const auto& [name, handler] : rows) ASSERT_EQ(PLIST_InsertAfter(id, name, handler, handler), 0);
    }
    static Strings Names() {
        Strings out;
        char name[PLIST_NAME_SIZE];
        for (int i = 0; PLIST_GetByIndex(i, nullptr, name, sizeof name, nullptr) == 0; ++i) out.push_back(name);
        return out;
    }
};

// The install run's section order shows where a row goes; here the limits and the list's life.
TEST_F(Plist, LookupsBufferSizesRemovalAndCleanUp) {
    const int modules = MODULE_Count();
    Register({{"Files", HandlerA}});
    Register({{"Shell", HandlerB}}, 7);
    Register({{"Protection Files", HandlerA}, {std::string(80, 'x').c_str(), HandlerC}});
    EXPECT_EQ(PLIST_Init(), ERROR_PLIST_INIT);
    // A name is cut to 49 characters when the buffer holds 50.
    struct Case { int index, size, rc; const char* name; } cases[] = {
        {2, 6, 0, "Shell"}, {2, 5, ERROR_PLIST_BUFFER_TOO_SMALL, ""}, {4, 50, ERROR_PLIST_NOT_FOUND, ""},
        {3, 50, 0, "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"}, {3, 49, ERROR_PLIST_BUFFER_TOO_SMALL, ""}};
    for (const Case& c : cases) {
        char name[64] = "";
        EXPECT_EQ(PLIST_GetByIndex(c.index, nullptr, name, c.size, nullptr), c.rc) << c.index << "/" << c.size;
        EXPECT_STREQ(name, c.name) << c.index << "/" << c.size;
    }
    int id = 0;
    PLIST_HANDLER h = nullptr;
    char name[PLIST_NAME_SIZE];
    EXPECT_EQ(PLIST_GetByIndex(2, &id, name, sizeof name, &h), 0);
    EXPECT_TRUE(id == 7 && h == &HandlerB);
    EXPECT_EQ(PLIST_GetNameByHandler(1, HandlerA, name, sizeof name), 0);
    EXPECT_STREQ(name, "Protection Files");  // placed after "Files", ahead of "Shell"
    // Removal matches the id, and the name ignoring case; without a name, every row of the id.
    EXPECT_EQ(PLIST_Remove(-1, "protection FILES"), 0);
    EXPECT_EQ(PLIST_Remove(-1, "Shell"), ERROR_PLIST_NOT_FOUND);
    EXPECT_EQ(PLIST_Remove(-1, nullptr), 0);
    EXPECT_EQ(Names(), Strings{"Shell"});
    EXPECT_EQ(PLIST_Terminate(), 0);
    EXPECT_EQ(MODULE_Count(), modules - 1);
    EXPECT_EQ(PLIST_GetFirst(&id, name, &h), ERROR_PLIST_NOT_FOUND);
}

TEST_F(Plist, RunCallsInOrderAndStopsOnCancelOrError) {
    // Positive results other than cancel (100) go on; removal takes each row that ran.
    const Strings all = {"A:Files:4:1", "C:Shell:4:1", "B:Launch:4:1"}, two = {"A:Files:4:1", "C:Shell:4:1"};
    struct Case { int c_result, remove, rc; Strings calls, left; } cases[] = {
        {0, 0, 0, all, {"Files", "Shell", "Launch"}}, {5, 1, 0, all, {}}, {100, 1, 100, two, {"Shell", "Launch"}},
        {ERROR_PLIST_EXCLUSIVE, 0, ERROR_PLIST_EXCLUSIVE, two, {"Files", "Shell", "Launch"}},
        {-505, 1, -505, two, {"Shell", "Launch"}}};
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
