// The fatal-error and warning dialogs. They use the executable's own templates,
// not the language library's, because an error can come before any library,
// main window or change log exists; every step copes with their absence.
#include <windows.h>

#include <array>
#include <cstdio>

#include "run/mainwnd.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "script/zynerror_ids.h"
#include "ui/dialog.h"
#include "ui/language.h"
#include "ui/string_ids.h"

namespace {

constexpr size_t kTextSize = 2048;
constexpr int kCaptionLength = 255;

constexpr char kErrorIntroduction[] =
    "An error has occurred while running INSTALL.  If you plan to report this error, choose "
    "Details.... Otherwise, choose OK to exit.";
constexpr char kWarningIntroduction[] =
    "A warning was generated while running INSTALL. For more information, choose Details.... "
    "Otherwise, press Continue to go on or Exit to quit.";
constexpr char kDefaultCaption[] = "ZYN Install/Uninstall";

// Fixed buffers: the error being reported may well be an exhausted heap.
struct DialogData {
    std::array<char, kTextSize> introduction{};
    std::array<char, kTextSize> errorText{};
    const char* source = "";
    int line = 0;
    int code = 0;
    HINSTANCE instance = nullptr;
    HWND owner = nullptr;
    HICON icon = nullptr;
};

DialogData g_data;

// Set once the closing steps have begun: an error raised by a terminate
// function must not start the clean-up list over again.
bool g_closingDown = false;

void CopyText(std::array<char, kTextSize>& target, const char* text) {
    std::snprintf(target.data(), target.size(), "%s", text ? text : "");
}

// The caption comes from the variable store, which does not exist yet when
// start-up itself fails; the caller then falls back to the built-in name.
bool ReadVariable(const char* name, char (&value)[kCaptionLength + 1]) {
    if (VAR_Get(name, value, static_cast<int>(sizeof value)) != 0) return false;
    value[kCaptionLength] = '\0';
    return true;
}

void ReadCaption(char (&caption)[kCaptionLength + 1]) {
    if (!ReadVariable("InstallName", caption) && !ReadVariable("UninstallName", caption))
        std::snprintf(caption, sizeof caption, "%s", kDefaultCaption);
}

void SetCaption(HWND dialog) {
    char caption[kCaptionLength + 1] = "";
    ReadCaption(caption);
    SetWindowTextA(dialog, caption);
}

// Like every dialog of the program: no moving or closing through the system
// menu, and no screen saver while it is up.
INT_PTR RefuseSystemCommand(HWND dialog, WPARAM command) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, (command & 0xFFF0) == SC_SCREENSAVE ? 1 : 0);
    return TRUE;
}

class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// The cursor may be hidden by a full-screen window; the user needs it to answer.
class CursorShown {
public:
    CursorShown() { ShowCursor(TRUE); }
    ~CursorShown() { ShowCursor(FALSE); }
    CursorShown(const CursorShown&) = delete;
    CursorShown& operator=(const CursorShown&) = delete;
};

void SetNumber(HWND dialog, int control, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    SetDlgItemTextA(dialog, control, text);
}

INT_PTR CALLBACK DetailsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetCaption(dialog);
        DIALOG_Center(dialog);
        SetDlgItemTextA(dialog, IDC_ERROR_TEXT, g_data.errorText.data());
        SetDlgItemTextA(dialog, IDC_ERROR_FILE, g_data.source);
        SetNumber(dialog, IDC_ERROR_LINE, g_data.line);
        SetNumber(dialog, IDC_ERROR_VALUE, g_data.code);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        return RefuseSystemCommand(dialog, wParam);
    default:
        return FALSE;
    }
}

INT_PTR OnMessageInit(HWND dialog) {
    SetCaption(dialog);
    DIALOG_Center(dialog);
    SetDlgItemTextA(dialog, IDC_ERROR_TEXT, g_data.introduction.data());
    // A shared system icon: it is never destroyed.
    g_data.icon = LoadIconA(nullptr, IDI_EXCLAMATION);
    return TRUE;
}

INT_PTR OnMessageCommand(HWND dialog, int command) {
    switch (command) {
    case IDOK:
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_ERROR_DETAILS:
        DialogBoxParamA(g_data.instance, "ERRORDETAILS", dialog, DetailsDialogProc, 0);
        SetFocus(dialog);
        SetActiveWindow(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

// Shared by ERRORMESSAGE and WARNINGMESSAGE.
INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnMessageInit(dialog);
    case WM_PAINT: {
        PaintScope paint(dialog);
        if (g_data.icon != nullptr) DrawIcon(paint.dc(), 12, 20, g_data.icon);
        return TRUE;
    }
    case WM_COMMAND:
        return OnMessageCommand(dialog, LOWORD(wParam));
    case WM_SYSCOMMAND:
        return RefuseSystemCommand(dialog, wParam);
    default:
        return FALSE;
    }
}

void Prepare(int code, const char* source, int line, const char* fallbackIntroduction) {
    LANGUAGE_LoadString(IDS_MSG_ERROR_INTRO, g_data.introduction.data(), static_cast<int>(kTextSize));
    if (g_data.introduction[0] == '\0') CopyText(g_data.introduction, fallbackIntroduction);
    ZYNERROR_GetText(code, g_data.errorText.data(), kTextSize);
    g_data.source = source ? source : "";
    g_data.line = line;
    g_data.code = code;
    HINSTANCE instance = WMINST_GetInstance();
    g_data.instance = instance ? instance : GetModuleHandleA(nullptr);
    // A main window already destroyed at tear-down would make the dialog fail.
    HWND owner = WMINST_GetMainWindow();
    g_data.owner = IsWindow(owner) ? owner : nullptr;
}

// Only when the template cannot be shown: the user still learns what happened.
// OK stands for OK or Continue, Cancel for Exit.
INT_PTR ShowPlainBox(bool warning) {
    char caption[kCaptionLength + 1] = "";
    ReadCaption(caption);
    static std::array<char, 2 * kTextSize + 600> text;
    std::snprintf(text.data(), text.size(), "%s\n\n%s\n\nFile: %.260s\nLine: %d\nValue: %d",
                  g_data.introduction.data(), g_data.errorText.data(), g_data.source, g_data.line,
                  g_data.code);
    UINT style = (warning ? MB_OKCANCEL : MB_OK) | MB_ICONEXCLAMATION | MB_TASKMODAL;
    return MessageBoxA(g_data.owner, text.data(), caption, style) == IDCANCEL ? 0 : 1;
}

INT_PTR ShowMessage(const char* templateName, bool warning) {
    CursorShown cursor;
    INT_PTR result = DialogBoxParamA(g_data.instance, templateName, g_data.owner, MessageDialogProc, 0);
    return result == -1 ? ShowPlainBox(warning) : result;
}

[[noreturn]] void EndRun() {
    if (!g_closingDown) {
        g_closingDown = true;
        ZYNERROR_CloseDown();
    }
    ExitProcess(static_cast<UINT>(-1));
}

}  // namespace

void ZYNERROR_Fatal(int code, const char* source, int line) {
    if (g_closingDown) EndRun();
    Prepare(code, source, line, kErrorIntroduction);
    ShowMessage("ERRORMESSAGE", false);
    EndRun();
}

void ZYNERROR_Warning(int code, const char* source, int line) {
    Prepare(code, source, line, kWarningIntroduction);
    if (ShowMessage("WARNINGMESSAGE", true) == 0) EndRun();
}
