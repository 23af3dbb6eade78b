// Message boxes, wizard pages and the page sequence, with real windows of this
// thread answered by a timer that runs inside their modal loops.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "run/plist.h"
#include "script/var.h"
#include "support/process_win.h"
#include "ui/dialog.h"
#include "ui/language.h"
#include "ui/string_ids.h"

namespace {

using zyntest::BesideTests;

std::string TextOf(HWND window) {
    char text[4096] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// What the answerer saw of a message box.
struct BoxSeen {
    std::string title;
    std::string text;
    bool systemMenu = true;
    bool survivedClose = false;
};

struct Answerer {
    std::vector<int> answers;  // button ids, one per box, in order
    std::vector<BoxSeen> seen;
};
Answerer g_answerer;

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM text) {
    char name[32] = "";
    GetClassNameA(child, name, sizeof name);
    if (_stricmp(name, "Static") == 0 && GetWindowTextLengthA(child) > 0) *reinterpret_cast<std::string*>(text) = TextOf(child);
    return TRUE;
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr || g_answerer.answers.empty()) return;
    BoxSeen seen;
    seen.title = TextOf(box);
    seen.systemMenu = (GetWindowLongA(box, GWL_STYLE) & WS_SYSMENU) != 0;
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&seen.text));
    // Closing through the system command must be refused.
    SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    seen.survivedClose = IsWindow(box) && IsWindowVisible(box);
    g_answerer.seen.push_back(seen);
    int answer = g_answerer.answers.front();
    g_answerer.answers.erase(g_answerer.answers.begin());
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = LoadLibraryA(BesideTests("english.dll").c_str());
        ASSERT_NE(library_, nullptr);
        LANGUAGE_SetInstance(library_);
        ASSERT_EQ(VAR_Init(50), 0);
        g_answerer = {};
        timer_ = SetTimer(nullptr, 0, 30, AnswerTimer);
        MSG_SetCaption(-1);
    }
    void TearDown() override {
        KillTimer(nullptr, timer_);
        MSG_SetCaption(-1);
        VAR_Terminate();
        LANGUAGE_SetInstance(nullptr);
        FreeLibrary(library_);
    }
    std::string English(int id) {
        char text[2048] = "";
        LoadStringA(library_, static_cast<UINT>(id), text, sizeof text);
        return text;
    }
    HMODULE library_ = nullptr;
    UINT_PTR timer_ = 0;
};

TEST_F(DialogTest, BoxTitleComesFromOverrideThenInstallNameThenUninstallName) {
    struct Case {
        const char* installName;
        const char* uninstallName;
        int captionId;
        std::string expected;
    };
    const Case cases[] = {
        {"Demo Setup", "Demo Removal", -1, "Demo Setup"},
        {nullptr, "Demo Removal", -1, "Demo Removal"},
        {nullptr, nullptr, -1, "ZYN Install/Uninstall"},
        {"Demo Setup", nullptr, IDS_TITLE_CANCEL, English(IDS_TITLE_CANCEL)},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(VAR_Init(50), 0);
        if (c.installName) VAR_Set("InstallName", c.installName);
        if (c.uninstallName) VAR_Set("UninstallName", c.uninstallName);
        EXPECT_EQ(MSG_SetCaption(c.captionId), 0);
        EXPECT_EQ(std::string(MSG_GetCaption()), c.captionId == -1 ? std::string() : c.expected);
        g_answerer.answers = {IDOK};
        EXPECT_EQ(MSG_Box(IDS_MSG_CONFIRM_CANCEL, MB_OK), IDOK);
        ASSERT_EQ(g_answerer.seen.size(), 1u);
        EXPECT_EQ(g_answerer.seen[0].title, c.expected);
        EXPECT_FALSE(g_answerer.seen[0].systemMenu);
        EXPECT_TRUE(g_answerer.seen[0].survivedClose);
        g_answerer.seen.clear();
    }
}

TEST_F(DialogTest, BoxFormatsArgumentsAndShowsMissingStringsEmpty) {
    VAR_Set("InstallName", "Demo");
    g_answerer.answers = {IDNO, IDOK};
    EXPECT_EQ(MSG_Box(IDS_MSG_NO_DISK_SPACE, MB_YESNO, "C:\\DEMO\\TARGET"), IDNO);
    EXPECT_EQ(MSG_Box(9999, MB_OK), IDOK);
    ASSERT_EQ(g_answerer.seen.size(), 2u);
    EXPECT_NE(g_answerer.seen[0].text.find("C:\\DEMO\\TARGET"), std::string::npos) << g_answerer.seen[0].text;
    EXPECT_EQ(g_answerer.seen[1].text, "");
    EXPECT_EQ(g_answerer.seen[1].title, "Demo");
}

// ---- Sequence runner --------------------------------------------------------------------------

std::vector<int> g_script;  // results the pages return, in order
std::vector<int> g_shown;   // indices shown, in order

int ScriptedPage(int index) {
    g_shown.push_back(index);
    if (g_script.empty()) return IDOK;
    int result = g_script.front();
    g_script.erase(g_script.begin());
    return result;
}

DIALOG_ENTRY Entry(const char* name, const char* next = "", DWORD flags = 0) {
    DIALOG_ENTRY entry{};
    std::strcpy(entry.name, name);
    entry.show = ScriptedPage;
    entry.flags = flags;
    std::strcpy(entry.next[0], next);
    return entry;
}

TEST_F(DialogTest, SequenceFollowsNextBackCancelAndStop) {
    struct Case {
        const char* what;
        std::vector<int> script;
        std::vector<int> boxAnswers;
        std::vector<int> shown;
        int result;
    };
    const Case cases[] = {
        {"straight through", {1, 1, 1}, {}, {0, 1, 2}, 0},
        {"back once", {1, 500, 1, 1, 1}, {}, {0, 1, 0, 1, 2}, 0},
        {"back on the first page stays", {500, 1, 1, 1}, {}, {0, 0, 1, 2}, 0},
        {"back twice from the third", {1, 1, 500, 500, 1, 1, 1}, {}, {0, 1, 2, 1, 0, 1, 2}, 0},
        {"cancel answered no stays", {1, 2, 1, 1}, {IDNO}, {0, 1, 1, 2}, 0},
        {"cancel answered yes ends", {1, 2}, {IDYES}, {0, 1}, -1},
        {"stop without asking", {1, -2}, {}, {0, 1}, -2},
        {"value above 500 goes on", {501, 1, 1}, {}, {0, 1, 2}, 0},
    };
    for (const Case& c : cases) {
        DIALOG_ENTRY entries[] = {Entry("One"), Entry("Two"), Entry("Three")};
        g_script = c.script;
        g_shown.clear();
        g_answerer.answers = c.boxAnswers;
        g_answerer.seen.clear();
        EXPECT_EQ(DIALOG_RunSequence(entries, 3), c.result) << c.what;
        EXPECT_EQ(g_shown, c.shown) << c.what;
        EXPECT_EQ(g_answerer.seen.size(), c.boxAnswers.size()) << c.what;
        for (const BoxSeen& seen : g_answerer.seen) {
            EXPECT_EQ(seen.title, English(IDS_TITLE_CANCEL)) << c.what;
            EXPECT_EQ(seen.text, English(IDS_MSG_CONFIRM_CANCEL)) << c.what;
        }
    }
}

TEST_F(DialogTest, SequenceJumpsByNameAndEndsAtTerminator) {
    DIALOG_ENTRY jump[] = {Entry("One", "Three"), Entry("Two"), Entry("Three")};
    g_script = {};
    g_shown.clear();
    EXPECT_EQ(DIALOG_RunSequence(jump, 3), 0);
    EXPECT_EQ(g_shown, (std::vector<int>{0, 2}));

    DIALOG_ENTRY unknown[] = {Entry("One", "Nowhere"), Entry("Two")};
    g_shown.clear();
    EXPECT_EQ(DIALOG_RunSequence(unknown, 2), 0);
    EXPECT_EQ(g_shown, (std::vector<int>{0}));

    DIALOG_ENTRY stopped[] = {Entry("One"), Entry("_PROCESS_TERMINATE"), Entry("Never")};
    g_shown.clear();
    EXPECT_EQ(DIALOG_RunSequence(stopped, 3), 0);
    EXPECT_EQ(g_shown, (std::vector<int>{0}));

    // Back after a jump returns to the page the jump came from.
    DIALOG_ENTRY back[] = {Entry("One", "Three"), Entry("Two"), Entry("Three")};
    g_script = {1, 500, 1, 1};
    g_shown.clear();
    EXPECT_EQ(DIALOG_RunSequence(back, 3), 0);
    EXPECT_EQ(g_shown, (std::vector<int>{0, 2, 0, 2}));
}

int NoHandler(int, const char*, int) { return 0; }

TEST_F(DialogTest, SequenceDropsHandlersOfThePagesItShows) {
    PLIST_Terminate();
    ASSERT_EQ(PLIST_Init(), 0);
    ASSERT_EQ(PLIST_InsertAfter(1, "Shown", NoHandler, nullptr), 0);
    ASSERT_EQ(PLIST_InsertAfter(7, "Elsewhere", NoHandler, nullptr), 0);
    DIALOG_ENTRY entries[] = {Entry("One"), Entry("Two")};
    g_script = {};
    g_shown.clear();
    EXPECT_EQ(DIALOG_RunSequence(entries, 2), 0);
    int id = 0;
    char name[PLIST_NAME_SIZE] = "";
    ASSERT_EQ(PLIST_GetByIndex(0, &id, name, PLIST_NAME_SIZE, nullptr), 0);
    EXPECT_EQ(id, 7);
    EXPECT_NE(PLIST_GetByIndex(1, &id, name, PLIST_NAME_SIZE, nullptr), 0);
    PLIST_Terminate();
}

// ---- Wizard page set-up on a real template -----------------------------------------------------

struct PageSeen {
    std::string back, ok, cancel, caption;
    bool backEnabled = true;
};
PageSeen g_page;

INT_PTR CALLBACK PageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        DIALOG_InitWizardPage(dialog, static_cast<int>(lParam));
        g_page.back = TextOf(GetDlgItem(dialog, 500));
        g_page.ok = TextOf(GetDlgItem(dialog, IDOK));
        g_page.cancel = TextOf(GetDlgItem(dialog, IDCANCEL));
        g_page.caption = TextOf(dialog);
        g_page.backEnabled = IsWindowEnabled(GetDlgItem(dialog, 500)) != FALSE;
        // The screen saver is refused with 1, every other command with 0.
        SendMessageA(dialog, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
        LONG_PTR saver = GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
        SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        LONG_PTR close = GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
        EndDialog(dialog, saver == 1 && close == 0 && IsWindow(dialog) ? IDOK : IDABORT);
        return TRUE;
    }
    if (message == WM_SYSCOMMAND) return DIALOG_SysCommand(dialog, wParam);
    return FALSE;
}

int g_pageResult = 0;
int RealPage(int index) {
    g_shown.push_back(index);
    g_pageResult = static_cast<int>(DIALOG_Modal("DLG_GET_DIRECTORY_32", PageProc, index));
    return IDOK;
}

TEST_F(DialogTest, WizardPageButtonsFollowPositionAndFlags) {
    VAR_Set("InstallName", "Demo Setup");
    struct Case {
        int count;
        int page;  // the page whose set-up is checked
        DWORD flags;
        int okString;
        bool backEnabled;
    };
    const Case cases[] = {
        {1, 0, 0, IDS_BUTTON_FINISH, false},
        {3, 1, 0, IDS_BUTTON_NEXT, true},
        {3, 1, DIALOG_FLAG_NO_BACK, IDS_BUTTON_NEXT, false},
        {3, 2, 0, IDS_BUTTON_FINISH, true},
        {2, 0, 0, IDS_BUTTON_FINISH, false},  // followed by the terminator
    };
    for (const Case& c : cases) {
        DIALOG_ENTRY entries[3] = {Entry("One"), Entry("Two"), Entry("Three")};
        if (c.count == 2) std::strcpy(entries[1].name, "_PROCESS_TERMINATE");
        for (auto& e : entries) e.show = ScriptedPage;
        entries[c.page].show = RealPage;
        entries[c.page].flags = c.flags;
        g_script = {};
        g_shown.clear();
        g_page = {};
        EXPECT_EQ(DIALOG_RunSequence(entries, c.count == 2 ? 3 : c.count), 0);
        EXPECT_EQ(g_pageResult, IDOK) << "system commands not refused as expected";
        EXPECT_EQ(g_page.ok, English(c.okString)) << c.count << "/" << c.page;
        EXPECT_EQ(g_page.back, English(IDS_BUTTON_BACK));
        EXPECT_EQ(g_page.cancel, English(IDS_BUTTON_CANCEL));
        EXPECT_EQ(g_page.backEnabled, c.backEnabled) << c.count << "/" << c.page;
        EXPECT_EQ(g_page.caption, "Demo Setup");
    }
}

}  // namespace
