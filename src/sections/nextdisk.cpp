// The diskette prompt and the diskette names.
#include "sections/nextdisk.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "script/common.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/nextdisk_ids.h"
#include "ui/dialog.h"
#include "ui/language.h"
#include "ui/status.h"
#include "ui/string_ids.h"

namespace {

constexpr int kLineSize = 1024;
constexpr int kPathTextSize = 1024;

std::vector<std::pair<std::string, std::string>> g_diskNames;

struct Prompt {
    const char* diskName;
    const char* file;
};

INT_PTR CALLBACK BadPathProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        // The field that holds the wrong path names the box.
        SetWindowTextA(dialog, NEXTDISK_FIELD_NAME);
        DIALOG_Center(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) EndDialog(dialog, LOWORD(wparam));
        return TRUE;
    case WM_SYSCOMMAND:
        return DIALOG_SysCommand(dialog, wparam);
    default:
        return FALSE;
    }
}

void InitPrompt(HWND dialog, const Prompt* prompt) {
    DIALOG_FillCaption(dialog);
    DIALOG_Center(dialog);
    SetDlgItemTextA(dialog, IDC_DISKETTE_NAME, prompt->diskName);
    char shown[260];
    STATUS_ShortenPath(GetDlgItem(dialog, IDC_DISKETTE_FILE), prompt->file, shown);
    SetDlgItemTextA(dialog, IDC_DISKETTE_FILE, shown);
    char source[kPathTextSize] = "";
    if (VAR_Get("SourceDirectory", source, sizeof source) != 0) source[0] = '\0';
    SetDlgItemTextA(dialog, IDC_DISKETTE_PATH, source);
    MessageBeep(MB_OK);
}

void AcceptPath(HWND dialog) {
    char typed[kPathTextSize] = "";
    GetDlgItemTextA(dialog, IDC_DISKETTE_PATH, typed, sizeof typed);
    std::string path = typed;
    if (!NEXTDISK_IsValidPath(path)) {
        DialogBoxParamA(LANGUAGE_GetInstance(), "DLG_BADPATH_32", dialog, BadPathProc, 0);
        SetFocus(GetDlgItem(dialog, IDC_DISKETTE_PATH));
        return;
    }
    if (int error = VAR_Set("SourceDirectory", path.c_str()); error != 0) ZYNERROR_Fatal(error, "nextdisk", __LINE__);
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        InitPrompt(dialog, reinterpret_cast<const Prompt*>(lparam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) AcceptPath(dialog);
        if (LOWORD(wparam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_SYSCOMMAND:
        return DIALOG_SysCommand(dialog, wparam);
    default:
        return FALSE;
    }
}

}  // namespace

int NEXTDISK_LoadDiskNames() {
    g_diskNames.clear();
    char section[] = "Disks";
    if (INF_FindSection(section) != 0) return 0;
    char line[kLineSize];
    for (;;) {
        int result = INF_ReadLine(line, sizeof line);
        if (result == 1) return 0;
        if (result != 0) return result;
        std::string number, name;
        if (NEXTDISK_ParseDiskLine(line, &number, &name)) g_diskNames.emplace_back(std::move(number), std::move(name));
    }
}

std::string NEXTDISK_GetDiskName(int number) {
    std::string wanted = std::to_string(number);
    for (const auto& [key, name] : g_diskNames) {
        if (key.size() == wanted.size() && COMMON_CompareNoCase(key.c_str(), wanted.c_str(), key.size()) == 0) {
            return name;
        }
    }
    char application[VAR_MAX_WORK_LENGTH] = "";
    if (VAR_Get("ApplicationName", application, sizeof application) != 0) application[0] = '\0';
    return std::string(application) + " " + wanted;
}

int NEXTDISK_Prompt(const char* disk_name, const char* file) {
    Prompt prompt{disk_name != nullptr ? disk_name : "", file != nullptr ? file : ""};
    for (;;) {
        INT_PTR result = DIALOG_Modal("DLG_DISKETTE", PromptProc, reinterpret_cast<LPARAM>(&prompt));
        if (result == IDOK) return 1;
        if (result != IDCANCEL) ZYNERROR_Fatal(ERROR_DIALOG_CREATION_FAILED, "nextdisk", __LINE__);
        MSG_SetCaption(IDS_TITLE_CANCEL);
        if (MSG_Box(IDS_MSG_CONFIRM_CANCEL, MB_YESNO | MB_ICONQUESTION) == IDYES) return 2;
    }
}
