// The status window: where it opens, its counts, cut texts, the cancel request, shortened paths.
#include "ui/status.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "run/mainwnd.h"
#include "script/var.h"
#include "support/dialogs_win.h"
#include "sys/handle.h"
#include "ui/status_ids.h"

namespace {

ZYNDISK_WALK Record(const char* source, const char* destination) {
    ZYNDISK_WALK record{};
    std::strcpy(record.source, source);
    std::strcpy(record.destination, destination);
    return record;
}

std::string ItemText(int id, HWND window = STATUS_GetWindow()) {
    char text[512] = "";
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}


// Starts a file and refreshes the window at once (Wine may advance the repaint interval's ticks late).
void Start(const char* source, const char* destination) {
    ZYNDISK_WALK record = Record(source, destination);
    STATUS_FileStart(&record);
    STATUS_Refresh();
}

class StatusWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        VAR_Set("InstallName", "Aquarium Setup");
    }
    void TearDown() override {
        STATUS_Discard();
        ZYNDISK_SetCopyStartHook(nullptr);
        ZYNDISK_SetProgressHook(nullptr);
        VAR_Terminate();
    }
    zyntest::LanguageLibrary english_;
};

TEST_F(StatusWindow, OpensNearTheTopWithTheProductsNameAndNoWayToMoveIt) {
    EXPECT_EQ(STATUS_Init(3), ERROR_STATUS_UNKNOWN_INIT_PARAMETER);
    EXPECT_EQ(STATUS_GetWindow(), nullptr);
    STATUS_SetPercent(40);  // a refresh without a window does nothing
    EXPECT_EQ(STATUS_GetInfo()->totalPercent, 40.0f);

    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    HWND window = STATUS_GetWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window)) << "an install window shows with its first file";
    Start("D:\\SRC\\TOP.EXE", "C:\\DEMO\\TOP.EXE");
    EXPECT_TRUE(IsWindowVisible(window));
    char caption[256];
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Aquarium Setup");
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.top, 35);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
    EXPECT_TRUE(IsWindow(window));
    ASSERT_EQ(STATUS_Init(STATUS_UNINSTALL), 0);
    EXPECT_FALSE(IsWindowVisible(window)) << "the uninstall window replaces the install window";
    EXPECT_NE(GetDlgItem(STATUS_GetWindow(), IDC_UNINSTALL_STATUS_BAR), nullptr);
    EXPECT_TRUE(IsWindowVisible(STATUS_GetWindow()));
    STATUS_Terminate();
    EXPECT_EQ(STATUS_GetWindow(), nullptr);
}

TEST_F(StatusWindow, ProgressCountsFileAndTotalAndShowsTheTexts) {
    ASSERT_EQ(ZYNDISK_BeginSize("C:\\"), 0);
    ASSERT_EQ(ZYNDISK_AddSize("", 0, ZYNDISK_GIVEN_SIZE, 1000), 0);
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    STATUS_SetDescriptions("Program files", "Into the program folder");
    Start("D:\\SRC\\A.EXE", "C:\\DEMO\\A.EXE");
    EXPECT_EQ(STATUS_GetInfo()->filePercent, -1.0f);
    EXPECT_EQ(ItemText(IDC_STATUS_SOURCE_DESC), "Program files");
    EXPECT_EQ(ItemText(IDC_STATUS_DEST_PATH), "C:\\DEMO\\A.EXE");
    EXPECT_EQ(STATUS_FileProgress(200, 800), 0);
    EXPECT_FLOAT_EQ(STATUS_GetInfo()->filePercent, 25.0f);
    EXPECT_EQ(STATUS_FileProgress(600, 800), 0);
    EXPECT_FLOAT_EQ(STATUS_GetInfo()->filePercent, 100.0f);
    const float afterFirst = STATUS_GetInfo()->totalPercent;

    // The texts change only with the destination, compared ignoring case.
    STATUS_SetDescriptions("Changed", "Changed");
    Start("D:\\SRC\\B.EXE", "c:\\demo\\a.exe");
    EXPECT_EQ(ItemText(IDC_STATUS_SOURCE_DESC), "Program files");
    Start("D:\\SRC\\EMPTY", "C:\\DEMO\\EMPTY");
    EXPECT_EQ(ItemText(IDC_STATUS_SOURCE_DESC), "Changed");
    EXPECT_EQ(STATUS_FileProgress(0, 0), 0);
    EXPECT_FLOAT_EQ(STATUS_GetInfo()->filePercent, 0.0f) << "a size of 0 counts as 1";
    EXPECT_EQ(STATUS_FileProgress(200, 200), 0);
    EXPECT_FLOAT_EQ(STATUS_GetInfo()->totalPercent, afterFirst + 20.0f) << "the total keeps counting";

    // Long texts are cut to their fields.
    STATUS_SetDescriptions(std::string(200, 'x').c_str(), "short");
    EXPECT_EQ(std::strlen(STATUS_GetInfo()->sourceDescription), 79u);
    ZYNDISK_WALK record = Record("C:\\x", "");
    std::memcpy(record.destination, ("C:\\" + std::string(300, 'p')).c_str(), 263);
    STATUS_FileStart(&record);
    EXPECT_EQ(std::strlen(STATUS_GetInfo()->destPath), 259u);
}

TEST_F(StatusWindow, CancelAnsweredYesMakesTheNextProgressCancel) {
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    zyntest::DialogScript script({{IDNO}, {IDYES}});
    SendMessageA(STATUS_GetWindow(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(STATUS_IsCancelRequested());
    EXPECT_EQ(STATUS_FileProgress(1, 10), 0);
    SendMessageA(STATUS_GetWindow(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(STATUS_FileProgress(1, 10), 1);
    EXPECT_EQ(STATUS_FileProgress(1, 10), 1) << "stays cancelled";
    EXPECT_EQ(script.Unanswered(), 0u);
    EXPECT_TRUE(IsWindow(STATUS_GetWindow())) << "the window stays open";
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    EXPECT_EQ(STATUS_FileProgress(1, 10), 0) << "a new window starts without the request";
}

// The window of one pass is hidden and kept for the next, which must find it as if new.
TEST_F(StatusWindow, ANextPassFindsTheWindowResetAndNothingReachesItInBetween) {
    zyn::OwnedWindow owner(CreateWindowExA(0, "STATIC", "Aquarium", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                      nullptr, nullptr, nullptr));
    HWND main = owner.get();
    WMINST_SetMainWindow(main);
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
    STATUS_Discard();
    WMINST_SetMainWindow(nullptr);
}

TEST_F(StatusWindow, PathsThatDoNotFitAreShortenedAtTheirMiddle) {
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    HWND window = STATUS_GetWindow();
    const std::string deep = "C:\\" + std::string(60, 'd') + "\\" + std::string(60, 'e') + "\\FILE.TXT";
    const std::string driveless = "\\" + std::string(150, 'd') + "\\NAME";
    struct Path { std::string path, shown; };
    for (const Path& c : {Path{"C:\\DEMO\\A.EXE", "C:\\DEMO\\A.EXE"}, Path{deep, "C:\\...\\FILE.TXT"},
                          Path{driveless, "\\...\\NAME"}}) {
        char out[260];
        STATUS_ShortenPath(GetDlgItem(window, IDC_STATUS_DEST_PATH), c.path.c_str(), out);
        EXPECT_EQ(std::string(out), c.shown);
    }
}

}  // namespace
