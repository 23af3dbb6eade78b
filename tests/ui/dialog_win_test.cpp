// Message boxes, wizard pages and the page sequence, with real windows of this thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "run/plist.h"
#include "script/var.h"
#include "support/dialogs_win.h"
#include "ui/dialog.h"
#include "ui/string_ids.h"

namespace {

std::string TextOf(HWND window) {
    char text[4096] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(50), 0);
        MSG_SetCaption(-1);
    }
    void TearDown() override {
        MSG_SetCaption(-1);
        VAR_Terminate();
    }
    std::string English(int id) {
        char text[2048] = "";
        LoadStringA(english_.get(), static_cast<UINT>(id), text, sizeof text);
        return text;
    }
    zyntest::LanguageLibrary english_;
};

TEST_F(DialogTest, BoxTitleComesFromOverrideThenInstallNameThenUninstallName) {
    struct Case {
        const char *installName, *uninstallName;
        int captionId, stringId;
        std::string title, text;  // text: what the box must contain
    };
    const Case cases[] = {
        {"Demo Setup", "Demo Removal", -1, IDS_MSG_CONFIRM_CANCEL, "Demo Setup", English(IDS_MSG_CONFIRM_CANCEL)},
        {nullptr, "Demo Removal", -1, IDS_MSG_CONFIRM_CANCEL, "Demo Removal", ""},
        {nullptr, nullptr, -1, IDS_MSG_CONFIRM_CANCEL, "ZYN Install/Uninstall", ""},
        {"Demo", nullptr, -1, 9999, "Demo", ""},  // a missing string shows empty
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_EQ(VAR_Init(50), 0);
        if (c.installName) VAR_Set("InstallName", c.installName);
        if (c.uninstallName) VAR_Set("UninstallName", c.uninstallName);
        EXPECT_EQ(MSG_SetCaption(c.captionId), 0);
        EXPECT_EQ(std::string(MSG_GetCaption()), c.captionId == -1 ? std::string() : c.title);
        zyntest::DialogScript script({{IDNO}});
        EXPECT_EQ(MSG_Box(c.stringId, MB_YESNO, "C:\\DEMO\\TARGET"), IDNO);
        ASSERT_EQ(script.Answered().size(), 1u);
        const zyntest::DialogShown box = script.Answered()[0];
        EXPECT_EQ(box.caption, c.title);
        EXPECT_NE(box.text.find(c.text), std::string::npos) << box.text;
        if (c.stringId == 9999) {
            EXPECT_EQ(box.text, "");
        }
        EXPECT_FALSE(box.systemMenu);
    }
}

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

TEST_F(DialogTest, SequenceFollowsNextBackCancelJumpsAndStop) {
    struct Case {
        const char* what;
        const char *jump, *second;  // the first page's next, the second page's name
        int count;
        std::vector<int> script, boxAnswers, shown;
        int result;
    };
    const Case cases[] = {
        {"back on the first page stays", "", "Two", 3, {500, 1, 1, 1}, {}, {0, 0, 1, 2}, 0},
        {"back twice from the third", "", "Two", 3, {1, 1, 500, 500, 1, 1, 1}, {}, {0, 1, 2, 1, 0, 1, 2}, 0},
        {"cancel answered no stays", "", "Two", 3, {1, 2, 1, 1}, {IDNO}, {0, 1, 1, 2}, 0},
        {"cancel answered yes ends", "", "Two", 3, {1, 2}, {IDYES}, {0, 1}, -1},
        {"stop without asking", "", "Two", 3, {1, -2}, {}, {0, 1}, -2},
        {"value above 500 goes on", "", "Two", 3, {501, 1, 1}, {}, {0, 1, 2}, 0},
        {"jump by name", "Three", "Two", 3, {}, {}, {0, 2}, 0},
        {"back after a jump returns", "Three", "Two", 3, {1, 500, 1, 1}, {}, {0, 2, 0, 2}, 0},
        {"jump to an unknown name ends", "Nowhere", "Two", 2, {}, {}, {0}, 0},
        {"terminator ends", "", "_PROCESS_TERMINATE", 3, {}, {}, {0}, 0},
    };
    for (const Case& c : cases) {
        DIALOG_ENTRY entries[] = {Entry("One", c.jump), Entry(c.second), Entry("Three")};
        g_script = c.script;
        g_shown.clear();
        zyntest::DialogScript script;
        for (int answer : c.boxAnswers) script.Add({answer});
        EXPECT_EQ(DIALOG_RunSequence(entries, c.count), c.result) << c.what;
        EXPECT_EQ(g_shown, c.shown) << c.what;
        EXPECT_EQ(script.Answered().size(), c.boxAnswers.size()) << c.what;
        for (const zyntest::DialogShown& seen : script.Answered()) {
            EXPECT_EQ(seen.caption, English(IDS_TITLE_CANCEL)) << c.what;
            EXPECT_EQ(seen.text, English(IDS_MSG_CONFIRM_CANCEL)) << c.what;
        }
    }
}

int NoHandler(int, const char*, int) { return 0; }

TEST_F(DialogTest, SequenceDropsHandlersOfThePagesItShows) {
    PLIST_Terminate();
    ASSERT_EQ(PLIST_Init(), 0);
    ASSERT_EQ(PLIST_InsertAfter(1, "Shown", NoHandler, nullptr), 0);
    ASSERT_EQ(PLIST_InsertAfter(7, "Elsewhere", NoHandler, nullptr), 0);
    DIALOG_ENTRY entries[] = {Entry("One"), Entry("Two")};
    g_script.clear();
    EXPECT_EQ(DIALOG_RunSequence(entries, 2), 0);
    int id = 0;
    char name[PLIST_NAME_SIZE] = "";
    ASSERT_EQ(PLIST_GetByIndex(0, &id, name, PLIST_NAME_SIZE, nullptr), 0);
    EXPECT_EQ(id, 7);
    EXPECT_NE(PLIST_GetByIndex(1, &id, name, PLIST_NAME_SIZE, nullptr), 0);
    PLIST_Terminate();
}

// What the page showed: back, OK and cancel captions, its caption, whether back works.
std::string g_page;

INT_PTR CALLBACK PageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND) return DIALOG_SysCommand(dialog, wParam);
    if (message != WM_INITDIALOG) return FALSE;
    DIALOG_InitWizardPage(dialog, static_cast<int>(lParam));
    HWND back = GetDlgItem(dialog, 500);
    g_page = TextOf(back) + "|" + TextOf(GetDlgItem(dialog, IDOK)) + "|" + TextOf(GetDlgItem(dialog, IDCANCEL)) + "|" +
             TextOf(dialog) + (IsWindowEnabled(back) ? "|back" : "|no back");
    // The screen saver is refused with 1, every other command with 0.
    SendMessageA(dialog, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    const LONG_PTR saver = GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
    SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (saver != 1 || GetWindowLongPtrA(dialog, DWLP_MSGRESULT) != 0 || !IsWindow(dialog)) g_page += "|commands not refused";
    EndDialog(dialog, IDOK);
    return TRUE;
}

int RealPage(int index) {
    g_shown.push_back(index);
    DIALOG_Modal("DLG_GET_DIRECTORY_32", PageProc, index);
    return IDOK;
}

TEST_F(DialogTest, WizardPageButtonsFollowPositionAndFlags) {
    VAR_Set("InstallName", "Demo Setup");
    struct Case { int count, page; DWORD flags; int okString; bool backEnabled; };  // page: the one whose set-up is checked
    const Case cases[] = {
        {1, 0, 0, IDS_BUTTON_FINISH, false},
        {3, 1, 0, IDS_BUTTON_NEXT, true},
        {3, 1, DIALOG_FLAG_NO_BACK, IDS_BUTTON_NEXT, false},
        {3, 2, 0, IDS_BUTTON_FINISH, true},
        {2, 0, 0, IDS_BUTTON_FINISH, false},  // followed by the terminator
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + "/" + std::to_string(c.page));
        DIALOG_ENTRY entries[3] = {Entry("One"), Entry(c.count == 2 ? "_PROCESS_TERMINATE" : "Two"), Entry("Three")};
        entries[c.page].show = RealPage;
        entries[c.page].flags = c.flags;
        g_script.clear();
        g_page.clear();
        EXPECT_EQ(DIALOG_RunSequence(entries, c.count == 2 ? 3 : c.count), 0);
        EXPECT_EQ(g_page, English(IDS_BUTTON_BACK) + "|" + English(c.okString) + "|" + English(IDS_BUTTON_CANCEL) +
                              "|Demo Setup|" + (c.backEnabled ? "back" : "no back"));
    }
}

}  // namespace
