#include "run/wm_inst.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "run/helper.h"
#include "support/process_win.h"
#include "support/testsupport.h"
#include "sys/handle.h"
#include "sys/zyndisk.h"

namespace {

using zyntest::PathExists;

constexpr char kTemp[] = "C:\\_zyntemp";

std::string Ini(const std::string& file, const char* section, const char* key) {
    char value[1024];
    return std::string(value, GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, file.c_str()));
}

std::string ShortPath(const std::string& path) {
    char buffer[1024];
    return std::string(buffer, GetShortPathNameA(path.c_str(), buffer, sizeof buffer));
}

constexpr long kUninstallerShown = -2;

// Serves sent messages only: a paint another process forces through UpdateWindow
// arrives as a sent WM_PAINT, while the window's own queued paint never comes.
// The exit code, or kUninstallerShown once an uninstaller's window is up.
long WaitServingSentMessages(HANDLE process, DWORD timeout_ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeout_ms;) {
        if (FindWindowA("ZYNUNINSTALL", "Zyn Aquarium") != nullptr) return kUninstallerShown;
        DWORD code = 0;
        if (MsgWaitForMultipleObjects(1, &process, FALSE, 50, QS_SENDMESSAGE) == WAIT_OBJECT_0)
            return GetExitCodeProcess(process, &code) ? static_cast<int>(code) : -998;
        MSG msg;
        PeekMessageA(&msg, nullptr, WM_APP + 0x3FFF, WM_APP + 0x3FFF, PM_NOREMOVE);
    }
    return -999;
}

int g_sentPaints = 0;
LRESULT CALLBACK FirstInstallProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT && InSendMessage()) ++g_sentPaints;
    return WMINST_MainWndProc(window, message, wparam, lparam);
}

// A window of the installer's class, as a first install shows it, served by the real procedure.
struct FirstInstallWindow {
    HWND window = nullptr;
    explicit FirstInstallWindow(const char* caption) {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = FirstInstallProc;
        window_class.lpszClassName = WMINST_CLASS_NAME;
        RegisterClassA(&window_class);
        window = CreateWindowExA(0, WMINST_CLASS_NAME, caption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    }
    ~FirstInstallWindow() {
        DestroyWindow(window);
        MSG quit;  // posted by the procedure: the installer ends after its window
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        UnregisterClassA(WMINST_CLASS_NAME, GetModuleHandleA(nullptr));
    }
};

TEST(WmInstMainWindow, GradedPaletteBackgroundAndRefusedSystemCommands) {
    FirstInstallWindow first("Graded");
    ShowWindow(first.window, SW_SHOWMAXIMIZED);
    UpdateWindow(first.window);

    PALETTEENTRY entries[WMINST_PALETTE_COUNT] = {};
    ASSERT_EQ(GetPaletteEntries(WMINST_GetPalette(), 0, WMINST_PALETTE_COUNT, entries), 236u);
    for (int i = 0; i < WMINST_PALETTE_COUNT; ++i) {
        EXPECT_EQ(entries[i].peBlue, (235 - i) * 255 / 235) << i;
        EXPECT_EQ(entries[i].peRed | entries[i].peGreen | entries[i].peFlags, 0) << i;
    }
    char item[64] = "";
    GetMenuStringA(GetSystemMenu(first.window, FALSE), WMINST_ABOUT_COMMAND, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ(item, "&About ZYN Install...");

    RECT client{};
    GetClientRect(first.window, &client);
    HDC dc = GetDC(first.window);  // top row full blue, bottom row black
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 1, client.bottom - 1), RGB(0, 0, 0));
    ReleaseDC(first.window, dc);

    for (WPARAM command : {SC_MINIMIZE, SC_RESTORE, SC_MOVE, SC_SIZE, SC_CLOSE}) {
        EXPECT_EQ(SendMessageA(first.window, WM_SYSCOMMAND, command, 0), 0);
        EXPECT_TRUE(IsZoomed(first.window) && IsWindowVisible(first.window)) << command;
    }
    DestroyWindow(first.window);
    EXPECT_EQ(WMINST_GetPalette(), nullptr);
    EXPECT_EQ(WMINST_GetPaletteMemory(), nullptr);
}

// How the executable's name and folder choose the run: a copy of INSTALL.EXE is
// started while this process shows the first install's window. An install run gives
// way to that window (it repaints it and ends with 0); an uninstall run opens its own.
TEST(WmInstStartUp, OwnNameSelectsUninstallAndASecondInstallGivesWayToTheFirst) {
    struct Case { const char *folder, *name; bool unins_ini, install; };
    const Case cases[] = {
        {"run_zyntemp", "INSTALL.EXE", false, true},  // the temporary copy installs
        {"dest", "myuninstal.exe", true, false},      // contains the uninstaller's name
        {"dest2", "UNINSTAL.EXE", true, false},       // compared ignoring case
    };
    zyntest::TempDir dir;
    FirstInstallWindow first("Zyn Aquarium");  // the sample script's ApplicationName
    ShowWindow(first.window, SW_SHOWNOACTIVATE);
    for (const Case& c : cases) {
        std::string folder = dir.file(c.folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string exe = folder + "\\" + c.name;
        ASSERT_TRUE(CopyFileA((zyntest::ModuleDirectory() + "\\INSTALL.EXE").c_str(), exe.c_str(), FALSE));
        if (c.unins_ini) zyntest::WriteFileBytes(folder + "\\unins.ini", "[INFO]\r\n");
        InvalidateRect(first.window, nullptr, FALSE);
        g_sentPaints = 0;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        std::string line = "\"" + exe + "\" BPOFF";
        ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
        zyn::Handle process(info.hProcess), thread(info.hThread);
        long code = WaitServingSentMessages(info.hProcess, 20000);
        TerminateProcess(info.hProcess, 0);  // the uninstaller goes on to ask questions
        WaitForSingleObject(info.hProcess, 5000);
        EXPECT_EQ(code, c.install ? 0 : kUninstallerShown) << c.name;
        EXPECT_EQ(g_sentPaints > 0, c.install) << c.name;
    }
}

// The bootstrap, run by a copy of this test program on a medium folder: the copy it
// starts (INST.EXE in the temporary directory) reports its command line.
TEST(WmInstBootstrap, CopiesEverythingIntoTheTemporaryDirectoryAndStartsTheCopy) {
    zyntest::TempDir dir;
    std::string medium = dir.path(), boot = medium + "\\zynboot.exe", report = dir.file("report.txt");
    ASSERT_TRUE(CopyFileA((zyntest::ModuleDirectory() + "\\zyntests.exe").c_str(), boot.c_str(), FALSE));
    for (const char* name : {"HELPER.EX_", "one.dll", "Two.DLL", "readme.txt"})
        zyntest::WriteFileBytes(medium + "\\" + name, name);
    ZYNDISK_DeleteTree(kTemp, 0x87, ZYNDISK_RECURSE, 0);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string list = HELPER_MakeIniPath(windows);
    DeleteFileA(list.c_str());
    const std::string args = "--gtest_also_run_disabled_tests --gtest_filter=WmInstChild.DISABLED_Report  two  words";
    SetEnvironmentVariableA("ZYN_BOOT_REPORT", report.c_str());
    SetEnvironmentVariableA("ZYN_BOOT_ARGS", args.c_str());
    EXPECT_EQ(zyntest::RunChildTest(boot, "WmInstChild.DISABLED_Bootstrap", 60000), 0);
    for (int i = 0; i < 300 && !PathExists(report); ++i) Sleep(50);

    const std::string temp = std::string(kTemp) + "\\";
    EXPECT_EQ(zyntest::ReadFileBytes(report), temp + "INST.EXE " + args);
    EXPECT_EQ(zyntest::ReadFileBytes(temp + "HELPER.EXE"), "HELPER.EX_");
    EXPECT_FALSE(PathExists(temp + "readme.txt"));
    EXPECT_EQ(Ini(temp + "zyntemp.ini", "misc", "source directory"), medium + "\\");
    // Everything but the helper itself is left for the helper to remove.
    EXPECT_EQ(Ini(list, "Files", "Number"), "5");
    EXPECT_EQ((std::set<std::string>{Ini(list, "Files", "File0"), Ini(list, "Files", "File1")}),
              (std::set<std::string>{ShortPath(temp + "one.dll"), ShortPath(temp + "Two.DLL")}));
    EXPECT_EQ(Ini(list, "Files", "File2"), ShortPath(temp + "zyntemp.ini"));
    EXPECT_EQ(Ini(list, "Files", "File3"), ShortPath(temp + "INST.EXE"));
    EXPECT_EQ(Ini(list, "Files", "File4"), ShortPath(kTemp));

    for (int i = 0; i < 100 && ZYNDISK_DeleteTree(kTemp, 0x87, ZYNDISK_RECURSE, 0) != 0; ++i) Sleep(100);
    EXPECT_FALSE(PathExists(kTemp));
    DeleteFileA(list.c_str());
}

TEST(WmInstChild, DISABLED_Bootstrap) {
    EXPECT_EQ(WMINST_RunFromTemp(GetModuleHandleA(nullptr), std::getenv("ZYN_BOOT_ARGS")), 0);
}

TEST(WmInstChild, DISABLED_Report) {
    std::string report = std::getenv("ZYN_BOOT_REPORT");
    zyntest::WriteFileBytes(report + ".part", GetCommandLineA());
    MoveFileA((report + ".part").c_str(), report.c_str());
}

}  // namespace
