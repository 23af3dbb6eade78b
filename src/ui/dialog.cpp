#include "ui/dialog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "run/mainwnd.h"
#include "run/plist.h"
#include "script/errcodes.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "ui/dialog_ids.h"
#include "ui/language.h"
#include "ui/string_ids.h"

namespace {

constexpr int kTextSize = MSG_TEXT_SIZE;
constexpr int kCaptionSize = 1024;
constexpr int kButtonSize = 255;
constexpr const char* kBuiltInTitle = MSG_DEFAULT_TITLE;

constexpr int kStringFinish = IDS_BUTTON_FINISH;
constexpr int kStringBack = IDS_BUTTON_BACK;
constexpr int kStringNext = IDS_BUTTON_NEXT;
constexpr int kStringCancel = IDS_BUTTON_CANCEL;
constexpr int kStringCancelCaption = IDS_TITLE_CANCEL;
constexpr int kStringCancelQuestion = IDS_MSG_CONFIRM_CANCEL;

char g_caption[kTextSize] = "";

// State of the running sequence, read by the pages' initialisation.
DIALOG_ENTRY* g_entries = nullptr;
int g_count = 0;

// The title the box hook gives the windows it sees; set for one MSG_Box.
const char* g_hookTitle = "";

void FormatString(int id, va_list args, char (&out)[kTextSize]) {
    char pattern[kTextSize] = "";
    LANGUAGE_LoadString(id, pattern, kTextSize);
    std::vsnprintf(out, kTextSize, pattern, args);
}

bool ReadVariable(const char* name, char* buffer, int size) {
    return VAR_Get(name, buffer, size) == 0;
}

LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        auto window = reinterpret_cast<HWND>(wParam);
        auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        create->style &= ~static_cast<LONG>(WS_SYSMENU);
        LONG style = GetWindowLongA(window, GWL_STYLE);
        SetWindowLongA(window, GWL_STYLE, style & ~static_cast<LONG>(WS_SYSMENU));
        // Only the box itself: its buttons and text keep their own.
        if ((create->style & WS_CHILD) == 0) SetWindowTextA(window, g_hookTitle);
        return 0;
    }
    if (code == HCBT_SYSCOMMAND) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct HookOwner {
    HHOOK hook;
    ~HookOwner() {
        if (hook != nullptr) UnhookWindowsHookEx(hook);
    }
};

bool IsTerminator(const DIALOG_ENTRY& entry) { return std::strcmp(entry.name, DIALOG_TERMINATE_NAME) == 0; }

int NextIndex(const DIALOG_ENTRY* entries, int count, int index) {
    const char* name = entries[index].next[0];
    if (name[0] == '\0') return index + 1;
    for (int i = 0; i < count; ++i)
        if (std::strcmp(entries[i].name, name) == 0) return i;
    return -1;
}

void SetEmptyButtonText(HWND dialog, int control, int stringId) {
    HWND button = GetDlgItem(dialog, control);
    if (button == nullptr) return;
    char text[kButtonSize] = "";
    if (GetWindowTextA(button, text, kButtonSize) > 0) return;
    LANGUAGE_LoadString(stringId, text, kButtonSize);
    SetWindowTextA(button, text);
}

}  // namespace

int MSG_SetCaption(int id, ...) {
    if (id == -1) {
        g_caption[0] = '\0';
        return 0;
    }
    va_list args;
    va_start(args, id);
    FormatString(id, args, g_caption);
    va_end(args);
    return 0;
}

const char* MSG_GetCaption() { return g_caption; }

void MSG_GetTitle(char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return;
    if (g_caption[0] != '\0') {
        std::snprintf(buffer, static_cast<size_t>(size), "%s", g_caption);
        return;
    }
    if (!ReadVariable("InstallName", buffer, size) && !ReadVariable("UninstallName", buffer, size))
        std::snprintf(buffer, static_cast<size_t>(size), "%s", kBuiltInTitle);
}

int MSG_Box(int id, UINT style, ...) {
    HookOwner owner{SetWindowsHookExA(WH_CBT, BoxHook, nullptr, GetCurrentThreadId())};
    char text[kTextSize];
    va_list args;
    va_start(args, style);
    FormatString(id, args, text);
    va_end(args);
    char title[kTextSize];
    MSG_GetTitle(title, kTextSize);
    const char* previousTitle = std::exchange(g_hookTitle, title);
    HWND main = WMINST_GetMainWindow();
    HWND parent = main != nullptr ? GetLastActivePopup(main) : nullptr;
    int pressed = MessageBoxA(parent, text, title, style | MB_TASKMODAL);
    g_hookTitle = previousTitle;
    return pressed;
}

INT_PTR DIALOG_Modal(const char* templateName, DLGPROC procedure, LPARAM parameter) {
    return DialogBoxParamA(LANGUAGE_GetInstance(), templateName, WMINST_GetMainWindow(), procedure, parameter);
}

void DIALOG_FillCaption(HWND dialog) {
    char caption[kCaptionSize] = "";
    if (GetWindowTextA(dialog, caption, kCaptionSize) > 0) return;
    if (!ReadVariable("InstallName", caption, kCaptionSize) && !ReadVariable("UninstallName", caption, kCaptionSize))
        return;
    SetWindowTextA(dialog, caption);
}

void DIALOG_Center(HWND dialog) {
    RECT frame{};
    GetWindowRect(dialog, &frame);
    int x = (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR DIALOG_SysCommand(HWND dialog, WPARAM command) {
    LONG_PTR reply = (command & 0xFFF0) == SC_SCREENSAVE ? 1 : 0;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, reply);
    return TRUE;
}

void DIALOG_InitWizardPage(HWND dialog, int index) {
    DIALOG_FillCaption(dialog);
    DIALOG_Center(dialog);
    bool inSequence = g_entries != nullptr && index >= 0 && index < g_count;
    bool noBack = index <= 0 || (inSequence && (g_entries[index].flags & DIALOG_FLAG_NO_BACK) != 0);
    if (noBack) {
        if (HWND back = GetDlgItem(dialog, IDC_WIZARD_BACK)) EnableWindow(back, FALSE);
    }
    bool last = !inSequence || index + 1 >= g_count || IsTerminator(g_entries[index + 1]);
    SetEmptyButtonText(dialog, IDC_WIZARD_BACK, kStringBack);
    SetEmptyButtonText(dialog, IDOK, last ? kStringFinish : kStringNext);
    SetEmptyButtonText(dialog, IDCANCEL, kStringCancel);
}

int DIALOG_RunSequence(DIALOG_ENTRY* entries, int count) {
    if (count < 0) count = 0;
    std::unique_ptr<int[]> history(new (std::nothrow) int[static_cast<size_t>(count) + 1]());
    if (!history) return ERROR_DIALOG_MEMORY_ALLOCATE;
    // Pages read the running sequence; a nested run restores the outer one.
    DIALOG_ENTRY* outerEntries = std::exchange(g_entries, entries);
    int outerCount = std::exchange(g_count, count);

    int result = 0;
    int current = 0;
    int depth = 0;
    while (current >= 0 && current < count && !IsTerminator(entries[current])) {
        int shown = current;
        // A page registers its handlers again each time it is shown.
        PLIST_Remove(shown, nullptr);
        current = NextIndex(entries, count, shown);
        history[depth] = shown;
        int left = entries[shown].show(shown);
        if (left == DIALOG_RESULT_BACK) {
            if (depth > 0) --depth;
            current = history[depth];
        } else if (left == IDOK) {
            // A loop of pages can not outgrow the history: the deepest slot is reused.
            if (depth < count - 1) ++depth;
        } else if (left == IDCANCEL) {
            MSG_SetCaption(kStringCancelCaption);
            if (MSG_Box(kStringCancelQuestion, MB_YESNO) == IDYES) {
                current = -1;
                result = -1;
            } else {
                current = shown;
            }
        } else if (left == DIALOG_RESULT_STOP) {
            current = -1;
            result = -2;
        } else if (left == DIALOG_RESULT_FAILED) {
            g_entries = outerEntries;
            g_count = outerCount;
            ZYN_FATAL(ERROR_DIALOG_CREATION_FAILED, "dialog");
        }
    }
    g_entries = outerEntries;
    g_count = outerCount;
    return result;
}
