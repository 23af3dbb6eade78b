#include "ui/bmpdisp.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "run/mainwnd.h"
#include "run/wm_inst.h"
#include "script/common.h"
#include "script/module.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sys/sys32.h"

namespace {

constexpr char kSource[] = "bmpdisp";
constexpr char kTooMany[] = "Too Many IMAGES!";
constexpr char kTooManyCaption[] = "ERROR";
constexpr char kIcon[] = "DEMO";

// A picture ready for the drawing calls: the file's parts, and a plain info header
// with a full colour table built from whichever header the file carried.
struct Loaded {
    BMPDISP_PICTURE picture;
    std::vector<uint8_t> info;
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};

struct Record {
    IMAGE_INFO info{};
    std::unique_ptr<Loaded> loaded;
};

std::vector<Record> g_records;
// Windows whose records went with their hiding; they are destroyed with the rest.
std::vector<HWND> g_hidden;
HWND g_parent = nullptr;

HINSTANCE Instance() {
    HINSTANCE instance = WMINST_GetInstance();
    return instance != nullptr ? instance : GetModuleHandleA(nullptr);
}

Record* FindByWindow(HWND window) {
    for (Record& r : g_records)
        if (r.info.window == window) return &r;
    return nullptr;
}

void Check(int error, int line) {
    if (error != 0) ZYNERROR_Fatal(error, kSource, line);
}

// ---- loading -------------------------------------------------------------------------

std::vector<uint8_t> MakeInfo(const BMPDISP_PICTURE& p) {
    // Every index a pixel can hold gets an entry; those the file leaves out are black.
    const uint32_t colors = p.bitCount <= 8 ? (1u << p.bitCount) : 0;
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = p.width;
    header->biHeight = p.bottomUp ? p.height : -p.height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(p.bitCount);
    header->biCompression = BI_RGB;
    header->biClrUsed = colors;
    auto* table = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
    for (uint32_t i = 0; i < colors; ++i) {
        const BMPDISP_RGB c = p.Color(i);
        table[i] = RGBQUAD{c.blue, c.green, c.red, 0};
    }
    return info;
}

// The picture of resource name, or null when it is missing or not a picture we show.
std::unique_ptr<Loaded> LoadPicture(const char* name) {
    HINSTANCE instance = Instance();
    uint32_t size = 0;
    if (SYS_ResourceSize(instance, name, BMPDISP_RESOURCE_TYPE, &size) != 0) return nullptr;
    std::vector<uint8_t> file(size);
    if (SYS_LoadResource(instance, name, BMPDISP_RESOURCE_TYPE, file.data(), size, nullptr) != 0) return nullptr;
    auto loaded = std::make_unique<Loaded>();
    if (BMPDISP_ReadFile(file.data(), file.size(), &loaded->picture) != 0) {
        COMMON_DebugPrint("bmpdisp: %s is not a picture that can be shown\n", name);
        return nullptr;
    }
    loaded->info = MakeInfo(loaded->picture);
    return loaded;
}

// Selects and realizes the shared palette in window; the number of entries that changed.
UINT RealizeShared(HWND window) {
    HPALETTE palette = WMINST_GetPalette();
    if (palette == nullptr) return 0;
    HDC dc = GetDC(window);
    if (dc == nullptr) return 0;
    HPALETTE previous = SelectPalette(dc, palette, FALSE);
    UINT changed = RealizePalette(dc);
    SelectPalette(dc, previous, FALSE);
    ReleaseDC(window, dc);
    return changed == GDI_ERROR ? 0 : changed;
}

// The picture's colours go into the shared palette after the graded entries, as far
// as it has room for them, and the palette is made anew from it.
void TakeColours(HWND window, const BMPDISP_PICTURE& p) {
    HLOCAL memory = WMINST_GetPaletteMemory();
    if (memory == nullptr) return;
    auto* logical = static_cast<LOGPALETTE*>(LocalLock(memory));
    if (logical == nullptr) return;
    PALETTEENTRY* entry = logical->palPalEntry;
    const int first = WMINST_GetPaletteCount();
    const int end = first + WMINST_GetExtraPaletteCount();
    for (int i = first; i < end && static_cast<uint32_t>(i - first) < p.colorCount; ++i) {
        const BMPDISP_RGB c = p.Color(static_cast<uint32_t>(i - first));
        entry[i] = PALETTEENTRY{c.red, c.green, c.blue, 0};
    }
    HPALETTE fresh = CreatePalette(logical);
    LocalUnlock(memory);
    if (fresh == nullptr) return;
    if (HPALETTE old = WMINST_GetPalette()) {
        UnrealizeObject(old);
        DeleteObject(old);
    }
    WMINST_SetPalette(fresh);
    RealizeShared(window);
}

// ---- the picture window --------------------------------------------------------------

void OnShown(HWND window) {
    Record* r = FindByWindow(window);
    if (r == nullptr || r->loaded != nullptr) return;
    r->loaded = LoadPicture(r->info.name);
    if (r->loaded == nullptr) return;
    const BMPDISP_PICTURE& p = r->loaded->picture;
    r->info.bits = &p;
    if (r->info.flags & BMPDISP_FLAG_PALETTE) TakeColours(window, p);
    if (r->info.flags & BMPDISP_FLAG_BACKGROUND) {
        r->info.width = GetSystemMetrics(SM_CXSCREEN);
        r->info.height = GetSystemMetrics(SM_CYSCREEN);
    } else {
        r->info.width = p.width + 2;
        r->info.height = p.height + 2;
    }
    MoveWindow(window, r->info.x, r->info.y, r->info.width, r->info.height, FALSE);
}

void OnHidden(HWND window) {
    auto it = std::find_if(g_records.begin(), g_records.end(), [window](const Record& r) { return r.info.window == window; });
    if (it == g_records.end()) return;
    g_records.erase(it);
    g_hidden.push_back(window);
}

void OnDestroyed(HWND window) {
    std::erase_if(g_records, [window](const Record& r) { return r.info.window == window; });
    std::erase(g_hidden, window);
    if (g_parent == window) g_parent = WMINST_GetMainWindow();
}

void Paint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    const Record* r = FindByWindow(window);
    if (dc != nullptr && r != nullptr && r->loaded != nullptr) {
        const BMPDISP_PICTURE& p = r->loaded->picture;
        HPALETTE palette = WMINST_GetPalette();
        HPALETTE previous = palette != nullptr ? SelectPalette(dc, palette, FALSE) : nullptr;
        if (palette != nullptr) RealizePalette(dc);
        RECT client{};
        GetClientRect(window, &client);
        const RECT& area = paint.rcPaint;
        for (LONG y = 0; y < client.bottom; y += p.height) {
            if (y + p.height <= area.top || y >= area.bottom) continue;
            for (LONG x = 0; x < client.right; x += p.width) {
                if (x + p.width <= area.left || x >= area.right) continue;
                StretchDIBits(dc, x, y, p.width, p.height, 0, 0, p.width, p.height, p.Pixels(), r->loaded->Info(),
                              DIB_RGB_COLORS, SRCCOPY);
            }
        }
        if (palette != nullptr) SelectPalette(dc, previous, FALSE);
    }
    EndPaint(window, &paint);
}

LRESULT OnPaletteMessage(HWND window) {
    const UINT changed = RealizeShared(window);
    if (changed > 0) InvalidateRect(window, nullptr, FALSE);
    return static_cast<LRESULT>(changed);
}

LRESULT CALLBACK PictureWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        switch (message) {
        case WM_SHOWWINDOW:
            // Only the window's own showing and hiding; not its parent's.
            if (lparam == 0) wparam ? OnShown(window) : OnHidden(window);
            return 0;
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the tiles cover everything
        case WM_CLOSE:
        case WM_COMMAND:
            return 0;
        case WM_SYSCOMMAND:
            return (wparam & 0xFFF0) == SC_SCREENSAVE ? 1 : 0;
        case WM_QUERYNEWPALETTE:
            return OnPaletteMessage(window);
        case WM_PALETTECHANGED:
            if (reinterpret_cast<HWND>(wparam) == window) return 0;
            return OnPaletteMessage(window);
        case WM_NCDESTROY:
            OnDestroyed(window);
            break;
        default:
            break;
        }
    } catch (const std::bad_alloc&) {
        // A picture that finds no memory is not shown.
        if (Record* r = FindByWindow(window)) {
            r->info.bits = nullptr;
            r->loaded.reset();
        }
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void RegisterPictureClass(HINSTANCE instance) {
    WNDCLASSA existing{};
    if (GetClassInfoA(instance, BMPDISP_CLASS_NAME, &existing)) return;
    WNDCLASSA window_class{};
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = PictureWndProc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(instance, kIcon);
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = BMPDISP_CLASS_NAME;
    if (!RegisterClassA(&window_class)) COMMON_DebugPrint("bmpdisp: RegisterClass failed: %lu\n", GetLastError());
}

void AddImage(const char* name, int x, int y, uint32_t flags, int background) {
    if (static_cast<int>(g_records.size()) >= BMPDISP_MAX_IMAGES) {
        MessageBoxA(GetFocus(), kTooMany, kTooManyCaption, MB_OK);
        return;
    }
    // A longer name is no resource a distribution can carry: it is refused, not cut.
    if (name == nullptr || std::strlen(name) >= static_cast<size_t>(BMPDISP_NAME_SIZE)) {
        COMMON_DebugPrint("bmpdisp: picture name \"%s\" is longer than %d characters\n", name ? name : "",
                          BMPDISP_NAME_SIZE - 1);
        return;
    }
    HINSTANCE instance = Instance();
    RegisterPictureClass(instance);

    Record record;
    std::strcpy(record.info.name, name);
    record.info.x = x;
    record.info.y = y;
    record.info.flags = flags;
    record.info.background = background == 1 ? 1 : 0;
    // The first picture lives on the main window and keeps its own children clear; later
    // ones are its siblings, or children of a tiled background.
    DWORD style = WS_CHILD | WS_BORDER | WS_CLIPSIBLINGS;
    if (g_parent == nullptr) {
        g_parent = WMINST_GetMainWindow();
        style = WS_CHILD | WS_BORDER | WS_CLIPCHILDREN;
    }
    const auto id = static_cast<INT_PTR>(BMPDISP_FIRST_CHILD_ID + static_cast<int>(g_records.size()));
    HWND window = CreateWindowExA(0, BMPDISP_CLASS_NAME, name, style, 0, 0, 1, 1, g_parent,
                                  reinterpret_cast<HMENU>(id), instance, nullptr);
    if (window == nullptr) COMMON_DebugPrint("bmpdisp: CreateWindowEx(%s) failed: %lu\n", name, GetLastError());
    if (window != nullptr && (flags & BMPDISP_FLAG_BACKGROUND)) g_parent = window;
    record.info.window = window;
    g_records.push_back(std::move(record));
}

std::string ReadVariable(const char* name) {
    char value[VAR_MAX_WORK_LENGTH] = "";
    Check(VAR_Get(name, value, sizeof value), __LINE__);
    return value;
}

long ReadNumber(const char* name) {
    long number = 0;
    Check(VAR_GetNumber(name, &number), __LINE__);
    return number;
}

}  // namespace

int BMPDISP_Init() {
    try {
        MODULE_Register(BMPDISP_Terminate, 0);
        if (VAR_Exists("TileBmp")) {
            const std::string tile = ReadVariable("TileBmp");
            if (!tile.empty()) {
                BMPDISP_AddImage(tile.c_str(), 0, 0, BMPDISP_FLAG_BACKGROUND | BMPDISP_FLAG_PALETTE, 1);
                BMPDISP_ShowImages(0);
                return 0;
            }
        }
        if (VAR_Exists("StaticBmp") && VAR_Exists("StaticBmpX") && VAR_Exists("StaticBmpY")) {
            const std::string picture = ReadVariable("StaticBmp");
            if (picture.empty()) return 0;
            const long x = ReadNumber("StaticBmpX");
            const long y = ReadNumber("StaticBmpY");
            BMPDISP_AddImage(picture.c_str(), static_cast<int>(x), static_cast<int>(y), BMPDISP_FLAG_PALETTE, 0);
            // The uninstaller has no InstallName: its picture is made but stays hidden.
            BMPDISP_ShowImages(VAR_Exists("InstallName") ? 0 : 1);
        }
    } catch (const std::bad_alloc&) {
        ZYNERROR_Fatal(ERROR_COMMON_MEMORY_ALLOCATE, kSource, __LINE__);
    }
    return 0;
}

void BMPDISP_AddImage(const char* name, int x, int y, uint32_t flags, int background) {
    try {
        AddImage(name, x, y, flags, background);
    } catch (const std::bad_alloc&) {
        ZYNERROR_Fatal(ERROR_COMMON_MEMORY_ALLOCATE, kSource, __LINE__);
    }
}

void BMPDISP_ShowImages(int background_only) {
    // By index: showing a window runs its procedure, which looks the table up again.
    for (size_t i = 0; i < g_records.size(); ++i) {
        IMAGE_INFO& info = g_records[i].info;
        if ((info.flags & BMPDISP_FLAG_SHOWN) || info.window == nullptr) continue;
        if (background_only && info.background != 1) continue;
        info.flags |= BMPDISP_FLAG_SHOWN;
        ShowWindow(info.window, SW_SHOW);
    }
}

void BMPDISP_RemoveImage(const char* name) {
    if (name == nullptr) return;
    auto it = std::find_if(g_records.begin(), g_records.end(),
                           [name](const Record& r) { return std::strcmp(r.info.name, name) == 0; });
    if (it != g_records.end()) {
        HWND window = it->info.window;
        if (window != nullptr && IsWindowVisible(window)) {
            ShowWindow(window, SW_HIDE);
        } else {
            // A window that never showed gets no hiding message: the record goes here.
            g_records.erase(it);
            if (window != nullptr) g_hidden.push_back(window);
        }
        // Pictures added later would sit in a hidden window.
        if (window != nullptr && window == g_parent) g_parent = WMINST_GetMainWindow();
    }
    if (g_parent != nullptr) RedrawWindow(g_parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int BMPDISP_TileActive() {
    for (const Record& r : g_records)
        if (r.info.background == 1 && r.info.bits != nullptr) return 1;
    return 0;
}

int BMPDISP_Terminate() {
    while (!g_records.empty()) {
        // Out of the table first: destroying the window may hide it, which looks there.
        Record record = std::move(g_records.back());
        g_records.pop_back();
        if (record.info.window != nullptr) DestroyWindow(record.info.window);
    }
    while (!g_hidden.empty()) {
        HWND window = g_hidden.back();
        g_hidden.pop_back();
        if (IsWindow(window)) DestroyWindow(window);
    }
    g_parent = nullptr;
    UnregisterClassA(BMPDISP_CLASS_NAME, Instance());
    if (HWND main = WMINST_GetMainWindow()) {
        InvalidateRect(main, nullptr, TRUE);
        UpdateWindow(main);
    }
    MODULE_Unregister(BMPDISP_Terminate);
    return 0;
}

int BMPDISP_GetCount() { return static_cast<int>(g_records.size()); }

const IMAGE_INFO* BMPDISP_GetImage(int index) {
    if (index < 0 || index >= BMPDISP_GetCount()) return nullptr;
    return &g_records[static_cast<size_t>(index)].info;
}
