#include "run/wm_inst.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(WmInstMainWindow, GradedPaletteBackgroundAndRefusedSystemCommands) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = WMINST_MainWndProc;
    window_class.lpszClassName = WMINST_CLASS_NAME;
    RegisterClassA(&window_class);
    HWND window = CreateWindowExA(0, WMINST_CLASS_NAME, "Graded", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);

    PALETTEENTRY entries[WMINST_PALETTE_COUNT] = {};
    ASSERT_EQ(GetPaletteEntries(WMINST_GetPalette(), 0, WMINST_PALETTE_COUNT, entries), 236u);
    for (int i = 0; i < WMINST_PALETTE_COUNT; ++i) {
        EXPECT_EQ(entries[i].peBlue, (235 - i) * 255 / 235) << i;
        EXPECT_EQ(entries[i].peRed | entries[i].peGreen | entries[i].peFlags, 0) << i;
    }
    char item[64] = "";
    GetMenuStringA(GetSystemMenu(window, FALSE), WMINST_ABOUT_COMMAND, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ(item, "&About ZYN Install...");
    RECT client{};
    GetClientRect(window, &client);
    HDC dc = GetDC(window);  // top row full blue, bottom row black
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 1, client.bottom - 1), RGB(0, 0, 0));
    ReleaseDC(window, dc);
    for (WPARAM command : {SC_MINIMIZE, SC_RESTORE, SC_MOVE, SC_SIZE, SC_CLOSE}) {
        EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, command, 0), 0);
        EXPECT_TRUE(IsZoomed(window) && IsWindowVisible(window)) << command;
    }
    DestroyWindow(window);
    EXPECT_EQ(WMINST_GetPalette(), nullptr);
    EXPECT_EQ(WMINST_GetPaletteMemory(), nullptr);
    MSG quit;  // posted by the procedure: the installer ends after its window
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    UnregisterClassA(WMINST_CLASS_NAME, nullptr);
    // The program's own icons; ICN_SETUP, which the window classes ask for, is not among them.
    for (const char* icon : {"DEMO", "ICN_ZYN"}) EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), icon), nullptr) << icon;
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "ICN_SETUP"), nullptr);
}

}  // namespace
