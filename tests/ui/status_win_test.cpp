// The status window, its bars and the please-wait box.
#include "ui/status.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "script/var.h"
#include "support/dialogs_win.h"
#include "ui/dialog.h"
#include "ui/status_ids.h"
#include "ui/string_ids.h"

namespace {

ZYNDISK_WALK Record(const char* source, const char* destination) {
    ZYNDISK_WALK record{};
    std::strcpy(record.source, source);
    std::strcpy(record.destination, destination);
    return record;
}

std::string ItemText(int id) {
    char text[512] = "";
    GetDlgItemTextA(STATUS_GetWindow(), id, text, sizeof text);
    return text;
}

// Lets the repaint interval pass, so that the next callback paints.
void Settle() { Sleep(60); }

class StatusWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        VAR_Set("InstallName", "Aquarium Setup");
    }
    void TearDown() override {
        STATUS_Terminate();
        ZYNDISK_SetCopyStartHook(nullptr);
        ZYNDISK_SetProgressHook(nullptr);
        MSG_SetCaption(-1);
        VAR_Terminate();
    }
    zyntest::LanguageLibrary english_;
};

TEST_F(StatusWindow, UnknownModeCreatesNothing) {
    EXPECT_EQ(STATUS_Init(3), ERROR_STATUS_UNKNOWN_INIT_PARAMETER);
    EXPECT_EQ(STATUS_GetWindow(), nullptr);
    STATUS_SetPercent(40);  // a refresh without a window does nothing
    EXPECT_EQ(STATUS_GetInfo()->totalPercent, 40.0f);
}

TEST_F(StatusWindow, OpensNearTheTopWithTheProductsNameAndNoWayToMoveIt) {
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    HWND window = STATUS_GetWindow();
    ASSERT_NE(window, nullptr);
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
    EXPECT_FALSE(IsWindow(window)) << "a new window replaces the old one";
    EXPECT_NE(GetDlgItem(STATUS_GetWindow(), IDC_UNINSTALL_STATUS_BAR), nullptr);
    STATUS_Terminate();
    EXPECT_EQ(STATUS_GetWindow(), nullptr);
}

TEST_F(StatusWindow, ProgressCountsFileAndTotalAndShowsTheTexts) {
    ASSERT_EQ(ZYNDISK_BeginSize("C:\\"), 0);
    ASSERT_EQ(ZYNDISK_AddSize("", 0, ZYNDISK_GIVEN_SIZE, 1000), 0);
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    STATUS_SetDescriptions("Program files", "Into the program folder");
    ZYNDISK_WALK first = Record("D:\\SRC\\A.EXE", "C:\\DEMO\\A.EXE");
    Settle();
    STATUS_FileStart(&first);
    EXPECT_EQ(STATUS_GetInfo()->filePercent, -1.0f);
    EXPECT_EQ(ItemText(IDC_STATUS_SOURCE_DESC), "Program files");
    EXPECT_EQ(ItemText(IDC_STATUS_DEST_PATH), "C:\\DEMO\\A.EXE");
    EXPECT_EQ(STATUS_FileProgress(200, 800), 0);
    EXPECT_FLOAT_EQ(STATUS_GetInfo()->filePercent, 25.0f);
    EXPECT_EQ(STATUS_FileProgress(600, 800), 0);
    EXPECT_FLOAT_EQ(STATUS_GetInfo()->filePercent, 100.0f);
    float after_first = STATUS_GetInfo()->totalPercent;

    // The texts change only with the destination, compared ignoring case.
    STATUS_SetDescriptions("Changed", "Changed");
    ZYNDISK_WALK same = Record("D:\\SRC\\B.EXE", "c:\\demo\\a.exe");
    Settle();
    STATUS_FileStart(&same);
    EXPECT_EQ(ItemText(IDC_STATUS_SOURCE_DESC), "Program files");
    ZYNDISK_WALK empty = Record("D:\\SRC\\EMPTY", "C:\\DEMO\\EMPTY");
    Settle();
    STATUS_FileStart(&empty);
    EXPECT_EQ(ItemText(IDC_STATUS_SOURCE_DESC), "Changed");
    EXPECT_EQ(STATUS_FileProgress(0, 0), 0);
    EXPECT_FLOAT_EQ(STATUS_GetInfo()->filePercent, 0.0f) << "a size of 0 counts as 1";
    EXPECT_EQ(STATUS_FileProgress(200, 200), 0);
    EXPECT_FLOAT_EQ(STATUS_GetInfo()->totalPercent, after_first + 20.0f) << "the total keeps counting";
}

TEST_F(StatusWindow, TheCancelQuestionStandsBesideTheFileBeingCopied) {
    ASSERT_EQ(ZYNDISK_BeginSize("C:\\"), 0);
    ASSERT_EQ(ZYNDISK_AddSize("", 0, ZYNDISK_GIVEN_SIZE, 100), 0);
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    Settle();
    ZYNDISK_WALK first = Record("D:\\ONE", "C:\\DEMO\\ONE");
    ZYNDISK_WALK second = Record("D:\\TWO", "C:\\DEMO\\TWO");
    STATUS_FileStart(&first);
    STATUS_FileStart(&second);  // within the repaint interval: its name may follow later
    zyntest::DialogScript script({{IDNO}});
    SendMessageA(STATUS_GetWindow(), WM_COMMAND, IDCANCEL, 0);
    ASSERT_EQ(script.Answered().size(), 1u);
    EXPECT_EQ(ItemText(IDC_STATUS_DEST_PATH), "C:\\DEMO\\TWO") << "the file being copied, not the one before";
    EXPECT_EQ(ItemText(IDC_STATUS_SOURCE_PATH), "D:\\TWO");
}

TEST_F(StatusWindow, LongTextsAreCutToTheirFields) {
    std::string long_text(200, 'x');
    STATUS_SetDescriptions(long_text.c_str(), "short");
    EXPECT_EQ(std::strlen(STATUS_GetInfo()->sourceDescription), 79u);
    std::string long_path = "C:\\" + std::string(300, 'p');
    ZYNDISK_WALK record{};
    std::strcpy(record.source, "C:\\x");
    std::memcpy(record.destination, long_path.c_str(), 263);
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
    ASSERT_EQ(script.Answered().size(), 2u);
    EXPECT_EQ(script.Answered()[0].caption, "Cancel Installation");
    EXPECT_EQ(script.Answered()[0].text, "Do you really want to cancel the installation?");
    EXPECT_TRUE(IsWindow(STATUS_GetWindow())) << "the window stays open";
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    EXPECT_EQ(STATUS_FileProgress(1, 10), 0) << "a new window starts without the request";
}

TEST_F(StatusWindow, BarsFillFromTheLeftInBlue) {
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    HWND window = STATUS_GetWindow();
    HWND bar = GetDlgItem(window, IDC_STATUS_TOTAL_BAR);
    RECT client{};
    GetClientRect(bar, &client);
    struct Case {
        int percent;
        bool blueAtQuarter, blueAtThreeQuarters;
    };
    for (const Case& c : {Case{50, true, false}, Case{150, true, true}, Case{-20, false, false}}) {
        STATUS_DrawBar(window, IDC_STATUS_TOTAL_BAR, c.percent);
        HDC dc = GetDC(bar);
        COLORREF quarter = GetPixel(dc, client.right / 4, client.bottom / 2);
        COLORREF three = GetPixel(dc, client.right * 3 / 4, client.bottom / 2);
        COLORREF edge = GetPixel(dc, 0, client.bottom / 2);
        ReleaseDC(bar, dc);
        EXPECT_EQ(quarter == RGB(0, 0, 255), c.blueAtQuarter) << c.percent;
        EXPECT_EQ(three == RGB(0, 0, 255), c.blueAtThreeQuarters) << c.percent;
        EXPECT_EQ(edge, RGB(0, 0, 0)) << "black outline";
        if (!c.blueAtThreeQuarters) {
            EXPECT_EQ(three, RGB(255, 255, 255));
        }
    }
}

TEST_F(StatusWindow, PathsThatDoNotFitAreShortened) {
    ASSERT_EQ(STATUS_Init(STATUS_INSTALL), 0);
    HWND control = GetDlgItem(STATUS_GetWindow(), IDC_STATUS_DEST_PATH);
    char out[260];
    STATUS_ShortenPath(control, "C:\\DEMO\\A.EXE", out);
    EXPECT_STREQ(out, "C:\\DEMO\\A.EXE");
    std::string deep = "C:\\" + std::string(60, 'd') + "\\" + std::string(60, 'e') + "\\FILE.TXT";
    STATUS_ShortenPath(control, deep.c_str(), out);
    EXPECT_STREQ(out, "C:\\...\\FILE.TXT");
    std::string driveless = "\\" + std::string(150, 'd') + "\\NAME";
    STATUS_ShortenPath(control, driveless.c_str(), out);
    EXPECT_STREQ(out, "\\...\\NAME");
}

TEST_F(StatusWindow, PleaseWaitBoxFitsItsMessage) {
    MSG_SetCaption(IDS_TITLE_CHECKING_SPACE);
    HWND box = STATUS_ShowWait(IDS_MSG_CHECKING_SPACE);
    ASSERT_NE(box, nullptr);
    char caption[256];
    GetWindowTextA(box, caption, sizeof caption);
    EXPECT_STREQ(caption, "Please Wait");
    RECT r{};
    GetWindowRect(box, &r);
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_LT(r.right - r.left, GetSystemMetrics(SM_CXSCREEN) / 3) << "a short line keeps its width";
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    STATUS_CloseWait(box);
    EXPECT_FALSE(IsWindow(box));

    // A long paragraph is wrapped into several lines in a box no narrower than a third
    // of the screen and no wider than the screen.
    std::string words;
    for (int i = 0; i < 80; ++i) words += "aquarium ";
    HWND wide = STATUS_ShowWait(IDS_MSG_LAUNCH_WAIT, words.c_str());
    ASSERT_NE(wide, nullptr);
    GetWindowRect(wide, &r);
    EXPECT_GE(r.right - r.left, GetSystemMetrics(SM_CXSCREEN) / 3);
    EXPECT_LT(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(r.bottom - r.top, 100) << "wrapped";
    EXPECT_GT((r.right - r.left) * 3, (r.bottom - r.top) * 4) << "still a little wider than 4:3";
    STATUS_CloseWait(wide);
}

}  // namespace
