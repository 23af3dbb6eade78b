// The page sequence, with the cancel question as a real message box of this thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "script/var.h"
#include "support/dialogs_win.h"
#include "ui/dialog.h"

namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(VAR_Init(50), 0); }
    void TearDown() override {
        MSG_SetCaption(-1);
        VAR_Terminate();
    }
    zyntest::LanguageLibrary english_;
};

std::vector<int> g_script;  // results the pages return, in order
std::vector<int> g_shown;   // indices shown, in order

int ScriptedPage(int index) {
    g_shown.push_back(index);
    if (g_script.empty()) return IDOK;
    const int result = g_script.front();
    g_script.erase(g_script.begin());
    return result;
}

DIALOG_ENTRY Entry(const char* name, const char* next = "") {
    DIALOG_ENTRY entry{};
    std::strcpy(entry.name, name);
    entry.show = ScriptedPage;
    std::strcpy(entry.next[0], next);
    return entry;
}

// Cancel answered Yes is the scenarios' way out of the destination page.
TEST_F(DialogTest, SequenceFollowsNextBackCancelJumpsAndStop) {
    struct Case {
        const char *what, *jump;  // jump: the first page's next
        int count;
        std::vector<int> script, boxAnswers, shown;
        int result;
    };
    const Case cases[] = {
        {"back on the first page stays", "", 3, {500, 1, 1, 1}, {}, {0, 0, 1, 2}, 0},
        {"cancel answered no stays", "", 3, {1, 2, 1, 1}, {IDNO}, {0, 1, 1, 2}, 0},
        {"stop without asking", "", 3, {1, -2}, {}, {0, 1}, -2},
        {"back after a jump returns", "Three", 3, {1, 500, 1, 1}, {}, {0, 2, 0, 2}, 0},
        {"jump to an unknown name ends", "Nowhere", 2, {}, {}, {0}, 0},
    };
    for (const Case& c : cases) {
        DIALOG_ENTRY entries[] = {Entry("One", c.jump), Entry("Two"), Entry("Three")};
        g_script = c.script;
        g_shown.clear();
        zyntest::DialogScript script;
        for (int answer : c.boxAnswers) script.Add({answer});
        EXPECT_EQ(DIALOG_RunSequence(entries, c.count), c.result) << c.what;
        EXPECT_EQ(g_shown, c.shown) << c.what;
        EXPECT_EQ(script.Unanswered(), 0u) << c.what;
    }
}

}  // namespace
