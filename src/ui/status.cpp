// The status window and the please-wait box.
#include "ui/status.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "run/mainwnd.h"
#include "script/common.h"
#include "script/module.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "ui/dialog.h"
#include "ui/language.h"
#include "ui/status_ids.h"
#include "ui/string_ids.h"

namespace {

constexpr int kTopOffset = 35;
constexpr int kWaitTextSize = 2048;
constexpr int kWaitMargin = 10;

STATUS_INFO g_info{};
int g_mode = 0;
HWND g_window = nullptr;
// Making a dialog and destroying it costs the window system many times what hiding and
// showing one does, so each template's window (and the please-wait box) is kept, hidden,
// from one use to the next, together with the library and owner it was made from.
struct KeptWindow {
    HWND window = nullptr;
    HINSTANCE library = nullptr;
    HWND owner = nullptr;
};
KeptWindow g_kept[2];  // install, uninstall
KeptWindow g_waitBox;  // from the program's own resources
bool g_onCleanupList = false;
// An install pass's window shows with its first file (or whatever first asks for a
// refresh): a section with nothing to copy would only flash it.
bool g_showPending = false;
bool g_cancelRequested = false;
uint32_t g_fileBytes = 0;
uint32_t g_totalBytes = 0;
bool g_firstFile = true;
// What the texts are to say: what a refresh at every file start would show. They follow
// the destination only, so a file copied onto the destination of the one before keeps
// that one's texts; its destPath is the destination the texts were last taken for.
STATUS_INFO g_texts{};
bool g_textsPending = false;

// The callbacks come once per block and per file, thousands of times a second on a
// fast disk; the window is repainted (and the queue drained) at most this often.
constexpr DWORD kPaintInterval = 50;
DWORD g_lastPaint = 0;

char g_waitText[kWaitTextSize] = "";
int g_waitWidth = 0;
int g_waitHeight = 0;

// Owns the GDI objects of one bar drawing.
struct BarPainter {
    HWND control;
    HDC dc;
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    explicit BarPainter(HWND c) : control(c), dc(GetDC(c)) {}
    ~BarPainter() {
        if (oldBitmap != nullptr) SelectObject(memory, oldBitmap);
        if (bitmap != nullptr) DeleteObject(bitmap);
        if (memory != nullptr) DeleteDC(memory);
        if (dc != nullptr) ReleaseDC(control, dc);
    }
    BarPainter(const BarPainter&) = delete;
    BarPainter& operator=(const BarPainter&) = delete;
};

void RefreshSoon() {
    DWORD now = GetTickCount();
    if (!g_showPending && now - g_lastPaint < kPaintInterval) return;
    STATUS_Refresh();
}

void CopyField(char* field, size_t size, const char* text) { std::snprintf(field, size, "%s", text ? text : ""); }

// One text control of the install window: its handle, looked up once, and the text
// it shows. Copying many small files sets these texts thousands of times a second,
// and each lookup or read-back of a control costs a round trip to the window system.
struct TextField {
    int id;
    HWND control = nullptr;
    char shown[260] = "";
    char initial[260] = "";  // the template's text, which a kept window goes back to
};
TextField g_fields[] = {{IDC_STATUS_SOURCE_DESC}, {IDC_STATUS_SOURCE_PATH}, {IDC_STATUS_DEST_DESC},
                        {IDC_STATUS_DEST_PATH}};
enum { kSourceDesc, kSourcePath, kDestDesc, kDestPath };

void FindFields(HWND window) {
    for (TextField& field : g_fields) {
        field.control = GetDlgItem(window, field.id);
        field.shown[0] = '\0';
        if (field.control != nullptr) GetWindowTextA(field.control, field.shown, sizeof field.shown);
        CopyField(field.initial, sizeof field.initial, field.shown);
    }
}

// A static control paints itself the moment its text is set; here the text is stored
// without that paint and the control is repainted with the next drain of the queue,
// at most once however many files went by. A text already shown is not set again.
void SetField(TextField& field, const char* text) {
    if (field.control == nullptr || std::strcmp(field.shown, text) == 0) return;
    DefWindowProcA(field.control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    InvalidateRect(field.control, nullptr, TRUE);
    CopyField(field.shown, sizeof field.shown, text);
}

void SetShortened(TextField& field, const char* path) {
    if (field.control == nullptr) return;
    char shortened[260];
    STATUS_ShortenPath(field.control, path, shortened);
    SetField(field, shortened);
}

void TakeTextsOfNewFile() {
    if (lstrcmpiA(g_info.destPath, g_texts.destPath) == 0) return;
    g_texts = g_info;
    g_textsPending = true;
}

// The texts are put up with the bars, at most once per repaint interval however many
// small files went by, and whenever the copy waits for the user (see STATUS_Refresh),
// so that a question or an error never stands beside the name of a file before.
void ShowTexts() {
    if (g_window == nullptr || g_mode != STATUS_INSTALL || !g_textsPending) return;
    SetField(g_fields[kSourceDesc], g_texts.sourceDescription);
    SetShortened(g_fields[kSourcePath], g_texts.sourcePath);
    SetField(g_fields[kDestDesc], g_texts.destDescription);
    SetShortened(g_fields[kDestPath], g_texts.destPath);
    g_textsPending = false;
}

// A window whose template has no caption is marked, so that a kept one takes the
// variables' caption again each time it is reused.
constexpr LONG_PTR kCaptionFromVariables = 1;

void CaptionFromVariables(HWND dialog) {
    char caption[1024];
    if (VAR_Get("InstallName", caption, sizeof caption) == 0 || VAR_Get("UninstallName", caption, sizeof caption) == 0) {
        SetWindowTextA(dialog, caption);
    }
}

void PlaceNearTop(HWND dialog) {
    RECT r{};
    GetWindowRect(dialog, &r);
    int width = r.right - r.left;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, kTopOffset, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// What a newly made window would show: the template's texts and caption. It is still
// hidden; the bars are drawn when it shows.
void ResetKept(HWND window) {
    if (GetWindowLongPtrA(window, GWLP_USERDATA) == kCaptionFromVariables) CaptionFromVariables(window);
    if (window != g_kept[STATUS_INSTALL - 1].window) return;
    for (TextField& field : g_fields) SetField(field, field.initial);
}

void AskCancel() {
    STATUS_Refresh();
    MSG_SetCaption(IDS_TITLE_CANCEL);
    if (MSG_Box(IDS_MSG_CONFIRM_CANCEL, MB_YESNO | MB_ICONQUESTION) == IDYES) g_cancelRequested = true;
}

INT_PTR CALLBACK StatusProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        if (GetWindowTextLengthA(dialog) == 0) {
            SetWindowLongPtrA(dialog, GWLP_USERDATA, kCaptionFromVariables);
            CaptionFromVariables(dialog);
        }
        PlaceNearTop(dialog);
        // Made hidden, ahead of its pass: the focus, and the activation that comes with
        // it, wait until it shows, when the dialog manager gives them to Cancel.
        return FALSE;
    case WM_COMMAND:
        // A kept window between passes belongs to no pass: nothing it is sent counts.
        if (LOWORD(wparam) == IDCANCEL && dialog == g_window) AskCancel();
        return TRUE;
    case WM_SYSCOMMAND:
        return DIALOG_SysCommand(dialog, wparam);
    default:
        return FALSE;
    }
}

HFONT WaitFont() {
    char os[256];
    if (VAR_Get("OS", os, sizeof os) != 0) os[0] = '\0';
    return static_cast<HFONT>(GetStockObject(lstrcmpiA(os, "Win95") == 0 ? DEFAULT_GUI_FONT : SYSTEM_FONT));
}

// Narrows the box in steps, wrapping the text, until it is no wider than 4:3, stops
// narrowing, or would fall below a third of the screen.
void FitWaitText(HWND box, int* width, int* height) {
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, WaitFont());
    SetBkMode(dc, TRANSPARENT);
    const int minimum = GetSystemMetrics(SM_CXSCREEN) / 3;
    RECT r{0, 0, 400, 200};
    DrawTextA(dc, g_waitText, -1, &r, DT_CALCRECT | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX);
    int W = r.right + 1, H = r.bottom + 1;
    int w = W - 1, h = H;
    for (int guard = 0; guard < 10000 && h > 0 && w * 1000 / h > 1333 && w != W && w >= minimum; ++guard) {
        W = w;
        H = h;
        r = RECT{0, 0, w - 2, h - 1};
        DrawTextA(dc, g_waitText, -1, &r,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX);
        w = r.right + 1;
        h = r.bottom + 1;
    }
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    *width = W;
    *height = H;
}

void ShowWaitBox(HWND box) {
    char title[MSG_TEXT_SIZE];
    MSG_GetTitle(title, sizeof title);
    SetWindowTextA(box, title);
    int W = 0, H = 0;
    FitWaitText(box, &W, &H);
    g_waitWidth = W + 2 * kWaitMargin + GetSystemMetrics(SM_CXBORDER) + GetSystemMetrics(SM_CXDLGFRAME);
    g_waitHeight = H + 2 * kWaitMargin + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYDLGFRAME) +
                   GetSystemMetrics(SM_CYBORDER);
    // Placed and shown in one step. It takes no input, so it leaves the activation
    // where it is: each change of the active window costs a round of messages.
    SetWindowPos(box, nullptr, (GetSystemMetrics(SM_CXSCREEN) - g_waitWidth) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - g_waitHeight) / 2, g_waitWidth, g_waitHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(box);
}

void PaintWait(HWND box) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(box, &paint);
    HGDIOBJ old = SelectObject(dc, WaitFont());
    SetBkMode(dc, TRANSPARENT);
    RECT r{kWaitMargin, kWaitMargin, g_waitWidth - kWaitMargin, g_waitHeight - kWaitMargin};
    DrawTextA(dc, g_waitText, -1, &r, DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(box, &paint);
}

INT_PTR CALLBACK WaitProc(HWND box, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        // No focus for a box without controls: the dialog manager would give it to the
        // box itself, which takes the activation with it, hidden or not.
        return FALSE;
    case WM_PAINT:
        PaintWait(box);
        return TRUE;
    case WM_SYSCOMMAND:
        return DIALOG_SysCommand(box, wparam);
    default:
        return FALSE;
    }
}

// The kept window, or a new one made from library's template name for the main window
// (nullptr when it cannot be made); made says which. A kept window made from another
// library or for another owner is replaced.
HWND Keep(KeptWindow& kept, HINSTANCE library, const char* name, DLGPROC procedure, bool& made) {
    HWND owner = WMINST_GetMainWindow();
    made = false;
    if (kept.window != nullptr && (!IsWindow(kept.window) || kept.library != library || kept.owner != owner)) {
        if (IsWindow(kept.window)) DestroyWindow(kept.window);
        kept = KeptWindow{};
    }
    if (kept.window != nullptr || library == nullptr) return kept.window;
    kept.window = CreateDialogParamA(library, name, owner, procedure, 0);
    if (kept.window == nullptr) return nullptr;
    kept.library = library;
    kept.owner = owner;
    made = true;
    if (!g_onCleanupList) MODULE_Register(STATUS_Discard, 0);
    g_onCleanupList = true;
    return kept.window;
}

// The window of mode's template: the kept one, reset, or a new one.
HWND WindowFor(int mode) {
    bool made = false;
    HWND window = Keep(g_kept[mode - 1], LANGUAGE_GetInstance(),
                       mode == STATUS_INSTALL ? "DLG_STATUS" : "DLG_UNINSTALL_STATUS", StatusProc, made);
    if (window == nullptr) return nullptr;
    if (!made) {
        ResetKept(window);
    } else if (mode == STATUS_INSTALL) {
        FindFields(window);
    }
    return window;
}

HWND WaitBox() {
    bool made = false;
    HINSTANCE own = WMINST_GetInstance() != nullptr ? WMINST_GetInstance() : GetModuleHandleA(nullptr);
    return Keep(g_waitBox, own, "DLG_MODELESS", WaitProc, made);
}

// Texts go up before the window shows, so that its first frame already names the file.
void ShowPendingWindow() {
    if (!g_showPending) return;
    g_showPending = false;
    ShowTexts();
    ShowWindow(g_window, SW_SHOW);
    UpdateWindow(g_window);
}

}  // namespace

int STATUS_Init(int mode) {
    if (mode != STATUS_INSTALL && mode != STATUS_UNINSTALL) return ERROR_STATUS_UNKNOWN_INIT_PARAMETER;
    STATUS_Terminate();
    g_mode = mode;
    g_cancelRequested = false;
    if (mode == STATUS_INSTALL) {
        ZYNDISK_SetCopyStartHook(STATUS_FileStart);
        ZYNDISK_SetProgressHook(STATUS_FileProgress);
    }
    g_window = WindowFor(mode);
    if (g_window == nullptr) return 0;
    g_showPending = true;
    if (mode == STATUS_UNINSTALL) STATUS_Refresh();
    return 0;
}

void STATUS_Prepare(int mode) {
    WaitBox();
    if (g_window != nullptr || (mode != STATUS_INSTALL && mode != STATUS_UNINSTALL)) return;
    WindowFor(mode);
}

int STATUS_Terminate() {
    if (g_window != nullptr && !g_showPending) {
        ShowWindow(g_window, SW_HIDE);
        // Message boxes, and a second copy of the program bringing this one forward, go
        // to the owner's last active popup: a hidden window must not stay that.
        HWND owner = GetWindow(g_window, GW_OWNER);
        if (owner != nullptr && GetLastActivePopup(owner) == g_window) SetActiveWindow(owner);
    }
    g_window = nullptr;
    g_showPending = false;
    return 0;
}

int STATUS_Discard() {
    STATUS_Terminate();
    for (KeptWindow* kept : {&g_kept[0], &g_kept[1], &g_waitBox}) {
        if (kept->window != nullptr && IsWindow(kept->window)) DestroyWindow(kept->window);
        *kept = KeptWindow{};
    }
    for (TextField& field : g_fields) field.control = nullptr;
    MODULE_Unregister(STATUS_Discard);
    g_onCleanupList = false;
    return 0;
}

void STATUS_SetDescriptions(const char* source_description, const char* dest_description) {
    CopyField(g_info.sourceDescription, sizeof g_info.sourceDescription, source_description);
    CopyField(g_info.destDescription, sizeof g_info.destDescription, dest_description);
}

void STATUS_SetPercent(int percent) {
    g_info.totalPercent = static_cast<float>(percent);
    RefreshSoon();
}

void STATUS_FileStart(const ZYNDISK_WALK* record) {
    CopyField(g_info.sourcePath, sizeof g_info.sourcePath, record ? record->source : "");
    CopyField(g_info.destPath, sizeof g_info.destPath, record ? record->destination : "");
    g_info.filePercent = -1.0f;
    if (g_firstFile) g_info.totalPercent = -1.0f;
    g_firstFile = false;
    TakeTextsOfNewFile();
    RefreshSoon();
}

int STATUS_FileProgress(uint32_t done, uint32_t size) {
    if (g_info.filePercent < 0) g_fileBytes = 0;
    if (g_info.totalPercent < 0) g_totalBytes = 0;
    g_fileBytes += done;
    g_totalBytes += done;
    g_info.filePercent = static_cast<float>(g_fileBytes * 100.0 / (size == 0 ? 1 : size));
    uint32_t total = 0;
    ZYNDISK_GetTotalSize(&total);
    g_info.totalPercent = static_cast<float>(g_totalBytes * 100.0 / (total == 0 ? 1 : total));
    RefreshSoon();
    return g_cancelRequested ? 1 : 0;
}

void STATUS_Refresh() {
    if (g_window == nullptr) return;
    ShowPendingWindow();
    g_lastPaint = GetTickCount();
    if (g_mode == STATUS_INSTALL) {
        ShowTexts();
        STATUS_DrawBar(g_window, IDC_STATUS_FILE_BAR, static_cast<int>(g_info.filePercent));
        STATUS_DrawBar(g_window, IDC_STATUS_TOTAL_BAR, static_cast<int>(g_info.totalPercent));
    } else {
        STATUS_DrawBar(g_window, IDC_UNINSTALL_STATUS_BAR, static_cast<int>(g_info.totalPercent));
    }
}

void STATUS_DrawBar(HWND dialog, int id, int percent) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return;
    {
        BarPainter p(control);
        RECT client{};
        GetClientRect(control, &client);
        int width = client.right - client.left + 1, height = client.bottom - client.top + 1;
        p.memory = CreateCompatibleDC(p.dc);
        p.bitmap = p.memory != nullptr ? CreateCompatibleBitmap(p.dc, width, height) : nullptr;
        if (p.bitmap == nullptr) ZYNERROR_Fatal(ERROR_STATUS_COULDNT_CREATE_BMP, "status", __LINE__);
        p.oldBitmap = SelectObject(p.memory, p.bitmap);
        BitBlt(p.memory, 0, 0, width, height, p.dc, 0, 0, SRCCOPY);
        HGDIOBJ oldPen = SelectObject(p.memory, GetStockObject(BLACK_PEN));
        HGDIOBJ oldBrush = SelectObject(p.memory, GetStockObject(WHITE_BRUSH));
        Rectangle(p.memory, 0, 0, width - 1, height - 1);
        int filled = std::clamp(percent, 0, 100) * client.right / 100;
        if (filled > 0) {
            HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
            SelectObject(p.memory, GetStockObject(NULL_PEN));
            SelectObject(p.memory, blue);
            Rectangle(p.memory, 1, 1, filled, height - 1);
            SelectObject(p.memory, GetStockObject(WHITE_BRUSH));
            DeleteObject(blue);
        }
        BitBlt(p.dc, 0, 0, width, height, p.memory, 0, 0, SRCCOPY);
        SelectObject(p.memory, oldPen);
        SelectObject(p.memory, oldBrush);
    }
    UpdateWindow(dialog);
    ZYNDISK_DispatchPending();
}

void STATUS_ShortenPath(HWND control, const char* path, char* output) {
    if (output == nullptr) return;
    if (path == nullptr) path = "";
    HDC dc = GetDC(control);
    RECT measured{0, 0, 640, 480};
    DrawTextA(dc, path, -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    ReleaseDC(control, dc);
    RECT client{};
    GetClientRect(control, &client);
    if (measured.right - measured.left <= client.right - client.left) {
        std::snprintf(output, 260, "%s", path);
        return;
    }
    ZYNDISK_PATTERN parts = ZYNDISK_SplitPattern(path);
    std::string name = parts.file;
    size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    if (dot != std::string::npos) name.resize(dot);
    std::snprintf(output, 260, "%s\\...\\%s%s", parts.drive.c_str(), name.c_str(), extension.c_str());
}

HWND STATUS_ShowWait(int string_id, ...) {
    char format[kWaitTextSize];
    LANGUAGE_LoadString(string_id, format, sizeof format);
    va_list arguments;
    va_start(arguments, string_id);
    std::vsnprintf(g_waitText, sizeof g_waitText, format, arguments);
    va_end(arguments);
    HWND box = WaitBox();
    if (box != nullptr) ShowWaitBox(box);
    return box;
}

void STATUS_CloseWait(HWND window) {
    if (window != nullptr) ShowWindow(window, SW_HIDE);
}

const STATUS_INFO* STATUS_GetInfo() { return &g_info; }
HWND STATUS_GetWindow() { return g_window; }
bool STATUS_IsCancelRequested() { return g_cancelRequested; }
