// Pictures on a real window: the bitmap kinds the billboards scenario does not show (it shows
// 8-bit core and info and 24-bit info pictures), missing ones, removal by name, tile and static.
#include "ui/bmpdisp.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "run/mainwnd.h"
#include "run/wm_inst.h"
#include "script/module.h"
#include "script/var.h"
#include "ui/event.h"

namespace {

constexpr char kClass[] = "ZYNBMPDISPTEST";

COLORREF Pixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

// The window's place in its parent's client area.
std::pair<LONG, LONG> Position(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    POINT corner{frame.left, frame.top};
    ScreenToClient(GetParent(window), &corner);
    return {corner.x, corner.y};
}

class Pictures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        ASSERT_TRUE(WMINST_RegisterClass(GetModuleHandleA(nullptr), kClass));
        main_ = CreateWindowExA(0, kClass, "pictures", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640, 480, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(main_, nullptr);
        WMINST_SetMainWindow(main_);
        ShowWindow(main_, SW_SHOW);
    }
    void TearDown() override {
        BMPDISP_Terminate();
        EXPECT_EQ(BMPDISP_GetCount(), 0);
        DestroyWindow(main_);
        WMINST_SetMainWindow(nullptr);
        UnregisterClassA(kClass, GetModuleHandleA(nullptr));
        VAR_Terminate();
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&message);
    }
    HWND Shown(const char* name, int x, int y) {
        BMPDISP_AddImage(name, x, y, BMPDISP_FLAG_PALETTE, 0);
        BMPDISP_ShowImages(0);
        const IMAGE_INFO* info = BMPDISP_GetImage(BMPDISP_GetCount() - 1);
        if (info == nullptr) return nullptr;
        UpdateWindow(info->window);
        return info->window;
    }
    HWND main_ = nullptr;
};

TEST_F(Pictures, EveryDepthAndHeaderShowsFramedAtItsPlace) {
    struct Case { const char* name; COLORREF topLeft, bottomRight, inside; };
    const Case cases[] = {
        {"CORE1", RGB(0, 0, 255), RGB(0, 0, 255), RGB(255, 0, 0)},
        {"CORE24", RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 0)},
        {"INFO4", RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
        {"TOPDOWN24", RGB(255, 0, 255), RGB(0, 255, 255), RGB(0, 255, 0)},
        {"V5HEAD8", RGB(255, 0, 0), RGB(0, 0, 255), RGB(255, 0, 0)},
        {"SHORT4", RGB(255, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND window = Shown(c.name, 40, 60);
        ASSERT_NE(window, nullptr);
        ASSERT_NE(BMPDISP_GetImage(0)->bits, nullptr);
        EXPECT_TRUE(IsWindowVisible(window));
        RECT frame{};
        GetWindowRect(window, &frame);
        // At its place, the picture and its border.
        EXPECT_EQ(Position(window), std::make_pair(40L, 60L));
        EXPECT_EQ(frame.right - frame.left, 8 + 2);
        EXPECT_EQ(frame.bottom - frame.top, 6 + 2);
        EXPECT_EQ(Pixel(window, 0, 0), c.topLeft);
        EXPECT_EQ(Pixel(window, 7, 5), c.bottomRight);
        EXPECT_EQ(Pixel(window, 3, 3), c.inside);
        BMPDISP_Terminate();
    }
}

TEST_F(Pictures, AMissingOrBrokenPictureStaysAnEmptyWindowAndRemovalGoesByTheExactName) {
    for (const char* name : {"NOTAPICTURE", "NOSUCHPICTURE", "CORE1", "CORE24"}) Shown(name, 10, 10);
    for (int i : {0, 1}) {
        EXPECT_EQ(BMPDISP_GetImage(i)->bits, nullptr) << i;
        EXPECT_EQ(BMPDISP_GetImage(i)->width, 0) << i;
    }
    EXPECT_EQ(EVENT_Process("{REMOVE_GRAPHIC_TYPE, core1}"), 0);
    EXPECT_EQ(BMPDISP_GetCount(), 4);
    HWND removed = BMPDISP_GetImage(2)->window;
    EXPECT_EQ(EVENT_Process("{REMOVE_GRAPHIC_TYPE, CORE1}"), 0);
    ASSERT_EQ(BMPDISP_GetCount(), 3);
    EXPECT_FALSE(IsWindowVisible(removed));
    EXPECT_STREQ(BMPDISP_GetImage(2)->name, "CORE24");
}

// The billboards scenario shows the tile, the pictures on it and the installer's static picture.
TEST_F(Pictures, ATiledBackgroundTakesPrecedenceAndTheUninstallersStaticPictureIsHidden) {
    VAR_Set("TileBmp", "INFO4");
    VAR_Set("StaticBmp", "INFO24");
    VAR_Set("StaticBmpX", "30");
    VAR_Set("StaticBmpY", "20");
    const int listed = MODULE_Count();
    ASSERT_EQ(BMPDISP_Init(), 0);
    ASSERT_EQ(BMPDISP_GetCount(), 1);
    EXPECT_EQ(BMPDISP_TileActive(), 1);
    EXPECT_EQ(MODULE_Count(), listed + 1);
    BMPDISP_Terminate();
    EXPECT_EQ(MODULE_Count(), listed);
    EXPECT_EQ(BMPDISP_TileActive(), 0);

    VAR_Delete("TileBmp");  // without InstallName: the uninstaller
    ASSERT_EQ(BMPDISP_Init(), 0);
    ASSERT_EQ(BMPDISP_GetCount(), 1);
    EXPECT_FALSE(IsWindowVisible(BMPDISP_GetImage(0)->window));
}

}  // namespace
