// The status window: its count of an empty file, its text limits, the cancel request it
// answers and its reuse from one pass to the next.
#include "ui/status.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "run/mainwnd.h"
#include "script/var.h"
#include "support/dialogs_win.h"
#include "ui/dialog.h"
#include "sys/handle.h"
#include "ui/status_ids.h"
#include "ui/string_ids.h"

namespace {

std::string ItemText(int id, HWND window = STATUS_GetWindow()) {
    char text[512] = "";
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

// Starts a file and refreshes the window at once (Wine may advance the repaint interval's ticks late).
void Start(const char* source, const char* destination) {
    ZYNDISK_WALK record{};
    std::strcpy(record.source, source);
    std::strcpy(record.destination, destination);
    STATUS_FileStart(&record);
    STATUS_Refresh();
}

class StatusWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0); }
    void TearDown() override {
        STATUS_Discard();
        WMINST_SetMainWindow(nullptr);
        ZYNDISK_SetCopyStartHook(nullptr);
        ZYNDISK_SetProgressHook(nullptr);
        VAR_Terminate();
    }
    // A main window, active, that owns what the test makes.
    HWND ActiveMainWindow() {
        main_.reset(CreateWindowExA(0, "STATIC", "Aquarium", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                    nullptr, nullptr));
        WMINST_SetMainWindow(main_.get());
        SetActiveWindow(main_.get());
        return main_.get();
    }
    zyntest::LanguageLibrary english_;
    zyn::OwnedWindow main_;
};

TEST_F(StatusWindow, ShowsWithTheFirstFileCountsAZeroSizeAsOneAndCutsTextsToTheirFields) {
    EXPECT_EQ(STATUS_Init(3), ERROR_STATUS_UNKNOWN_INIT_PARAMETER);
    EXPECT_EQ(STATUS_GetWindow(), nullptr);
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    HWND install = STATUS_GetWindow();
    EXPECT_FALSE(IsWindowVisible(install)) << "an install window shows with its first file";
    ZYNDISK_WALK record{};
    const std::string overlong = "C:\\" + std::string(300, 'p');
    std::memcpy(record.destination, overlong.data(), sizeof record.destination - 1);
    STATUS_FileStart(&record);
    STATUS_Refresh();
    EXPECT_TRUE(IsWindowVisible(install));
    EXPECT_EQ(std::strlen(STATUS_GetInfo()->destPath), 259u);
    EXPECT_EQ(STATUS_GetInfo()->filePercent, -1.0f);
    EXPECT_EQ(STATUS_FileProgress(0, 0), 0);
    EXPECT_FLOAT_EQ(STATUS_GetInfo()->filePercent, 0.0f) << "a size of 0 counts as 1";
    STATUS_SetDescriptions(std::string(200, 'x').c_str(), "short");
    EXPECT_EQ(std::strlen(STATUS_GetInfo()->sourceDescription), 79u);
    ASSERT_EQ(STATUS_Init(STATUS_UNINSTALL), 0);
    EXPECT_FALSE(IsWindowVisible(install)) << "the uninstall window replaces the install window";
    EXPECT_TRUE(IsWindowVisible(STATUS_GetWindow()));
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Made while the user still chooses the destination (the status window and the
// please-wait box): hidden, and no pass's until the install pass takes it; nothing is
// made twice.
TEST_F(StatusWindow, APreparedWindowWaitsHiddenForItsPass) {
    HWND owner = ActiveMainWindow();
    STATUS_Prepare(STATUS_INSTALL);
    EXPECT_EQ(GetActiveWindow(), owner) << "hidden windows must not take the activation";
    EXPECT_EQ(STATUS_GetWindow(), nullptr);
    const std::vector<HWND> made = ThreadDialogs();
    ASSERT_EQ(made.size(), 2u);
    HWND status = GetDlgItem(made[0], IDC_STATUS_TOTAL_BAR) != nullptr ? made[0] : made[1];
    EXPECT_FALSE(IsWindowVisible(made[0]) || IsWindowVisible(made[1]));
    {
        zyntest::DialogScript script({{IDYES}});
        SendMessageA(status, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(script.Unanswered(), 1u) << "no question from a window of no pass";
    }
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    EXPECT_EQ(STATUS_GetWindow(), status);
    STATUS_Prepare(STATUS_INSTALL);
    STATUS_Prepare(STATUS_UNINSTALL);
    EXPECT_EQ(STATUS_GetWindow(), status) << "a pass keeps its window";
    EXPECT_EQ(ThreadDialogs(), made);
    EXPECT_EQ(STATUS_ShowWait(IDS_MSG_CHECKING_SPACE), status == made[0] ? made[1] : made[0]);
    Start("D:\\SRC\\P.EXE", "C:\\DEMO\\P.EXE");
    EXPECT_EQ(GetFocus(), GetDlgItem(status, IDCANCEL)) << "shown, it is the user's, Cancel first";
}

std::string Caption(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Kept hidden from one use to the next, it takes each use's caption and leaves the main
// window active.
TEST_F(StatusWindow, ThePleaseWaitBoxIsKeptBetweenUses) {
    HWND owner = ActiveMainWindow();
    MSG_SetCaption(IDS_TITLE_CHECKING_SPACE);
    HWND box = STATUS_ShowWait(IDS_MSG_CHECKING_SPACE);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(Caption(box), "Please Wait");
    STATUS_CloseWait(box);
    EXPECT_FALSE(IsWindowVisible(box));
    ASSERT_EQ(VAR_Set("InstallName", "Aquarium Setup"), 0);
    MSG_SetCaption(-1);
    EXPECT_EQ(STATUS_ShowWait(IDS_MSG_LAUNCH_WAIT, "the tank"), box);
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(Caption(box), "Aquarium Setup");
    STATUS_Discard();
    EXPECT_FALSE(IsWindow(box));
}

// The rollback scenario and the next test cancel with Yes; No must leave the copy running.
TEST_F(StatusWindow, CancelAnsweredNoGoesOn) {
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    zyntest::DialogScript script({{IDNO}});
    SendMessageA(STATUS_GetWindow(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(script.Unanswered(), 0u);
    EXPECT_EQ(STATUS_FileProgress(1, 10), 0);
}

// The window of one pass is hidden and kept for the next, which must find it as if new.
TEST_F(StatusWindow, ANextPassFindsTheWindowResetAndNothingReachesItInBetween) {
    HWND main = ActiveMainWindow();
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    HWND window = STATUS_GetWindow();
    STATUS_SetDescriptions("Program files", "Into the program folder");
    Start("D:\\SRC\\A.EXE", "C:\\DEMO\\A.EXE");
    {
        zyntest::DialogScript script({{IDYES}});
        SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    ASSERT_TRUE(STATUS_IsCancelRequested());
    // The user has turned to another window when the pass ends.
    zyn::OwnedWindow elsewhere(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                              nullptr, nullptr, nullptr));
    SetActiveWindow(elsewhere.get());
    STATUS_Terminate();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(GetLastActivePopup(main), main) << "message boxes are not to be owned by a hidden window";

    STATUS_SetDescriptions("Kiosk files", "Into the kiosk");
    Start("D:\\SRC\\K.EXE", "C:\\DEMO\\K.EXE");
    EXPECT_FALSE(IsWindowVisible(window)) << "a refresh without a pass shows nothing";
    EXPECT_EQ(ItemText(IDC_STATUS_SOURCE_DESC, window), "Program files");
    {
        zyntest::DialogScript script({{IDNO}});
        SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(script.Unanswered(), 1u) << "no question from a window of no pass";
    }

    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    EXPECT_EQ(STATUS_GetWindow(), window);
    EXPECT_FALSE(STATUS_IsCancelRequested());
    EXPECT_EQ(ItemText(IDC_STATUS_SOURCE_DESC), "");
    EXPECT_EQ(ItemText(IDC_STATUS_DEST_PATH), "");
    Start("D:\\SRC\\B.EXE", "C:\\DEMO\\B.EXE");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(ItemText(IDC_STATUS_SOURCE_DESC), "Kiosk files");
    EXPECT_EQ(ItemText(IDC_STATUS_DEST_PATH), "C:\\DEMO\\B.EXE");
}

}  // namespace
