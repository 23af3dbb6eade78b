#include "run/wm_inst.h"

#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>

#include "run/helper.h"
#include "script/common.h"
#include "script/errcodes.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sys/sys32.h"
#include "sys/zyndisk.h"
#include "ui/bmpdisp.h"
#include "ui/chkpath.h"
#include "ui/dialog.h"
#include "ui/getdir.h"
#include "ui/string_ids.h"

namespace {

constexpr char kSource[] = "wm_inst";
constexpr char kAboutItem[] = "&About ZYN Install...";
constexpr char kLowLevelCaption[] = "INSTALL LOW LEVEL ERROR";
constexpr char kNoTempDrive[] = "Could not find a drive with enough room to create a temporary directory.";
constexpr char kTempIniSection[] = "misc";
constexpr char kTempIniKey[] = "source directory";
constexpr uint32_t kFileMask = 0x86;  // normal, hidden and system files
constexpr int kPathSize = 260;

// Extra palette entries beyond the graded ones; room the billboards may take.
constexpr int kExtraPaletteCount = 0;

HPALETTE g_palette = nullptr;
HLOCAL g_paletteMemory = nullptr;


// ---- background palette and painting --------------------------------------------

void CreateBackgroundPalette() {
    const int entries = WMINST_PALETTE_COUNT + kExtraPaletteCount;
    HLOCAL memory = LocalAlloc(LHND, static_cast<size_t>(entries) * 4 + 8);
    if (memory == nullptr) return;
    auto* palette = static_cast<LOGPALETTE*>(LocalLock(memory));
    if (palette == nullptr) {
        LocalFree(memory);
        return;
    }
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(entries);
    PALETTEENTRY* entry = palette->palPalEntry;
    for (int i = 0; i < WMINST_PALETTE_COUNT; ++i) {
        entry[i].peRed = 0;
        entry[i].peGreen = 0;
        entry[i].peBlue = static_cast<BYTE>((WMINST_PALETTE_COUNT - 1 - i) * 255 / (WMINST_PALETTE_COUNT - 1));
        entry[i].peFlags = 0;
    }
    g_palette = CreatePalette(palette);
    LocalUnlock(memory);
    g_paletteMemory = memory;
}

void DestroyBackgroundPalette() {
    if (g_palette != nullptr) {
        UnrealizeObject(g_palette);
        DeleteObject(g_palette);
        g_palette = nullptr;
    }
    if (g_paletteMemory != nullptr) {
        LocalFree(g_paletteMemory);
        g_paletteMemory = nullptr;
    }
}

// A tiled billboard covers the whole client area, and the window then leaves its
// own background alone.
bool TiledBillboardShown() { return BMPDISP_TileActive() != 0; }

void PaintGradedRows(HDC dc, const RECT& client, const RECT& paint) {
    const auto height = static_cast<unsigned>(client.bottom - client.top);
    if (height == 0) return;
    for (LONG y = paint.top; y <= paint.bottom; ++y) {
        // Below the client area the row is clipped anyway; the index would run past the end.
        if (y < 0 || static_cast<unsigned>(y) >= height) continue;
        const unsigned index = WMINST_PALETTE_COUNT * static_cast<unsigned>(y) / height;
        HBRUSH brush = CreateSolidBrush(PALETTEINDEX(index));
        if (brush == nullptr) continue;
        HGDIOBJ previous = SelectObject(dc, brush);
        PatBlt(dc, paint.left, y, paint.right - paint.left + 1, 1, PATCOPY);
        SelectObject(dc, previous);
        DeleteObject(brush);
    }
}

LRESULT OnPaint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr && !TiledBillboardShown() && g_palette != nullptr) {
        HPALETTE previous = SelectPalette(dc, g_palette, FALSE);
        RealizePalette(dc);
        RECT client{};
        GetClientRect(window, &client);
        PaintGradedRows(dc, client, paint.rcPaint);
        SelectPalette(dc, previous, FALSE);
    }
    EndPaint(window, &paint);
    return 0;
}

// Realises the palette in the window; a repaint follows when the system palette changed.
LRESULT RealizeInWindow(HWND window) {
    if (g_palette == nullptr) return 0;
    HDC dc = GetDC(window);
    if (dc == nullptr) return 0;
    HPALETTE previous = SelectPalette(dc, g_palette, FALSE);
    UINT changed = RealizePalette(dc);
    SelectPalette(dc, previous, FALSE);
    ReleaseDC(window, dc);
    if (changed == GDI_ERROR) return 0;
    if (changed > 0) InvalidateRect(window, nullptr, TRUE);
    return static_cast<LRESULT>(changed);
}

LRESULT OnCreate(HWND window) {
    if (HMENU menu = GetSystemMenu(window, FALSE)) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, WMINST_ABOUT_COMMAND, kAboutItem);
        DrawMenuBar(window);
    }
    CreateBackgroundPalette();
    return 0;
}

LRESULT OnDestroy() {
    DestroyBackgroundPalette();
    PostQuitMessage(0);
    return 0;
}

// The window cannot be closed by the user: the install decides when it ends.
LRESULT OnClose() {
    MSG_SetCaption(IDS_TITLE_CANCEL);
    MSG_Box(IDS_MSG_CLOSE_REFUSED, MB_YESNO);
    return 0;
}

LRESULT OnSysCommand(HWND window, WPARAM wparam, LPARAM lparam) {
    const UINT command = static_cast<UINT>(wparam) & 0xFFF0;
    // Opening the system menu is let through, or its About item could never be
    // chosen; everything the menu or its keys would do to the window is refused.
    if (command == SC_MOUSEMENU || command == SC_KEYMENU) return DefWindowProcA(window, WM_SYSCOMMAND, wparam, lparam);
    if (command == WMINST_ABOUT_COMMAND || command == SC_SCREENSAVE) ABOUT_Show();
    return 0;
}

// ---- bootstrap ---------------------------------------------------------------------

// The first drive, A to Z, that may take the temporary copy and has room for it.
bool FindTempDrive(char (&root)[4]) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::snprintf(root, sizeof root, "%c:\\", letter);
        if (DRIVE_CheckType(root, WMINST_TEMP_REFUSED_DRIVES, 0) != 0) continue;
        double free_bytes = 0;
        if (ZYNDISK_GetFreeSpace(root, &free_bytes) != 0) continue;
        if (free_bytes >= WMINST_TEMP_MINIMUM_FREE) return true;
    }
    return false;
}

void CopyOrFail(const std::string& pattern, const std::string& destination, uint32_t flags, int line) {
    int result = ZYNDISK_Copy(pattern.c_str(), kFileMask, destination.c_str(), SYS_ATTR_NORMAL, flags, 0);
    if (result != 0) ZYNERROR_Fatal(result, kSource, line);
}

int RunFromTemp(HINSTANCE instance, const char* command_line) {
    const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    char root[4] = "";
    if (!FindTempDrive(root)) {
        MessageBoxA(GetFocus(), kNoTempDrive, kLowLevelCaption, MB_OK);
        ExitProcess(static_cast<UINT>(-1));
    }

    char own[kPathSize + 1] = "";
    DWORD length = GetModuleFileNameA(instance, own, sizeof own);
    if (length == 0 || length >= sizeof own) own[0] = '\0';
    const std::string source = WMINST_DriveAndDirectory(own);
    const std::string own_name = std::string(own).substr(source.size());

    SetCurrentDirectoryA(root);
    const std::string temp_dir = std::string(root) + WMINST_TEMP_DIRECTORY;
    // An earlier run's directory is used again.
    if (int result = ZYNDISK_CreateDirectory(temp_dir.c_str()); result != 0 && SYS_Exists(temp_dir.c_str()) == 0)
        ZYNERROR_Fatal(result, kSource, __LINE__);
    const std::string temp = temp_dir + "\\";

    // Everything copied from here on is listed for the helper, which removes the
    // temporary copy once the install has ended.
    ZYNDISK_SetCreatedHook(HELPER_AddFile);
    CopyOrFail(source + "HELPER.EX_", temp + "HELPER.EXE", 0, __LINE__);
    CopyOrFail(source + "*.dll", temp, ZYNDISK_REPORT_CREATED, __LINE__);

    const std::string ini = temp + WMINST_TEMP_INI;
    WritePrivateProfileStringA(kTempIniSection, kTempIniKey, source.c_str(), ini.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    HELPER_AddFile(ini.c_str());

    const std::string exe = temp + WMINST_TEMP_EXE;
    int result = ZYNDISK_Copy((source + own_name).c_str(), kFileMask, exe.c_str(), SYS_ATTR_NORMAL,
                              ZYNDISK_REPORT_CREATED, 0);
    if (result != 0) ZYNERROR_Fatal(result, kSource, __LINE__);
    HELPER_AddFile(temp_dir.c_str());

    std::string command = exe + " " + (command_line != nullptr ? command_line : "");
    UINT started = WinExec(command.c_str(), SW_SHOWMAXIMIZED);
    if (started <= 31) COMMON_DebugPrint("wm_inst: WinExec(%s) failed: %u\n", command.c_str(), started);

    SetErrorMode(previous_mode);
    return result;
}

int ReadSourceDirectory(const char* own_path) {
    const std::string ini = WMINST_DriveAndDirectory(own_path != nullptr ? own_path : "") + WMINST_TEMP_INI;
    char source[kPathSize + 1] = "";
    GetPrivateProfileStringA(kTempIniSection, kTempIniKey, "", source, sizeof source, ini.c_str());
    COMMON_RemoveTrailingBackslash(source);
    if (int error = VAR_Set("SourceDirectory", source); error != 0) ZYNERROR_Fatal(error, kSource, __LINE__);
    if (int error = VAR_ReadApplicationSection(); error != 0) ZYNERROR_Fatal(error, kSource, __LINE__);
    if (int error = VAR_Copy("DefaultDirectory", "DestinationDirectory"); error != 0)
        ZYNERROR_Fatal(error, kSource, __LINE__);
    return 0;
}

}  // namespace

std::string WMINST_DriveAndDirectory(std::string_view path) {
    size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) return std::string(path.substr(0, slash + 1));
    if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
    return {};
}

LRESULT CALLBACK WMINST_MainWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        return OnDestroy();
    case WM_SIZE:
    case WM_SETFOCUS:
    case WM_COMMAND:
        return 0;
    case WM_PAINT:
        return OnPaint(window);
    case WM_CLOSE:
        return OnClose();
    case WM_SYSCOMMAND:
        return OnSysCommand(window, wparam, lparam);
    case WM_QUERYNEWPALETTE:
        return RealizeInWindow(window);
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wparam) == window) return 0;
        return RealizeInWindow(window);
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

int WMINST_RunFromTemp(HINSTANCE instance, const char* command_line) {
    try {
        return RunFromTemp(instance, command_line);
    } catch (const std::bad_alloc&) {
        ZYNERROR_Fatal(ERROR_ZYNDISK_MEMORY_ALLOCATE, kSource, __LINE__);
    }
}

int WMINST_ReadSourceDirectory(const char* own_path) {
    try {
        return ReadSourceDirectory(own_path);
    } catch (const std::bad_alloc&) {
        ZYNERROR_Fatal(ERROR_VAR_MEMORY_ALLOCATE, kSource, __LINE__);
    }
}

int WMINST_GetPaletteCount() { return WMINST_PALETTE_COUNT; }
int WMINST_GetExtraPaletteCount() { return kExtraPaletteCount; }
HPALETTE WMINST_GetPalette() { return g_palette; }
void WMINST_SetPalette(HPALETTE palette) { g_palette = palette; }
HLOCAL WMINST_GetPaletteMemory() { return g_paletteMemory; }

bool WMINST_RegisterClass(HINSTANCE instance, const char* class_name) {
    WNDCLASSA window_class{};
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = WMINST_MainWndProc;
    window_class.hInstance = instance;
    // The executable carries no icon of that name, so the class has none.
    window_class.hIcon = LoadIconA(instance, "ICN_SETUP");
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszClassName = class_name;
    return RegisterClassA(&window_class) != 0;
}
