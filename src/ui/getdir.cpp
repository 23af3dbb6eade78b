#include "ui/getdir.h"

#include <cstring>
#include <new>
#include <string>

#include "script/var.h"
#include "script/zynerror.h"
#include "ui/browse.h"
#include "ui/chkpath.h"
#include "ui/dialog.h"
#include "ui/getdir_ids.h"
#include "ui/string_ids.h"

namespace {

constexpr int kPathLimit = 50;  // characters the user may type
constexpr int kReadSize = 1024;
// Undetermined, CD-ROM and floppy drives cannot take an installation.
constexpr int kRefusedDrives = 0x31;

void PresetPath(HWND dialog) {
    char path[kReadSize] = "";
    if (VAR_Get("DestinationDirectory", path, kReadSize) != 0) {
        int result = VAR_Get("DefaultDirectory", path, kReadSize);
        if (result != 0) ZYN_FATAL(result, "getdir");
    }
    SetDlgItemTextA(dialog, IDC_GETDIR_PATH, path);
}

void StripOneBackslash(std::string& path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
}

// The medium the program is installed from cannot be its destination.
bool IsSourceDirectory(const std::string& path) {
    if (path == ".") return true;
    char source[kReadSize] = "";
    if (VAR_Get("SourceDirectory", source, kReadSize) != 0) return false;
    std::string from = source;
    StripOneBackslash(from);
    return lstrcmpiA(path.c_str(), from.c_str()) == 0;
}

void OnOk(HWND dialog) {
    char typed[kReadSize] = "";
    GetDlgItemTextA(dialog, IDC_GETDIR_PATH, typed, kReadSize);
    if (typed[0] == '\0') {
        MSG_SetCaption(IDS_TITLE_DESTINATION);
        MSG_Box(IDS_MSG_DEST_EMPTY, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!PATH_IsValid(typed)) {
        PATH_ShowBadPath(dialog);
        return;
    }
    if (DRIVE_CheckType(typed, kRefusedDrives, 1) != 0) return;
    std::string path = typed;
    StripOneBackslash(path);
    if (IsSourceDirectory(path)) {
        MSG_SetCaption(IDS_TITLE_DESTINATION);
        MSG_Box(IDS_MSG_DEST_IS_SOURCE, MB_OK | MB_ICONEXCLAMATION);
        SetFocus(dialog);
        return;
    }
    int result = VAR_Set("DestinationDirectory", path.c_str());
    if (result != 0) ZYN_FATAL(result, "getdir");
    EndDialog(dialog, IDOK);
}

void OnBrowse(HWND dialog) {
    char typed[BROWSE_PATH_SIZE] = "";
    GetDlgItemTextA(dialog, IDC_GETDIR_PATH, typed, sizeof typed);
    BROWSE_SetPath(typed);
    BROWSE_SetRoot(BROWSE_ROOT_DRIVES);
    int result = BROWSE_Run("DLG_BROWSE", dialog);
    if (result == IDOK) {
        BROWSE_GetPath(typed, sizeof typed);
        SetDlgItemTextA(dialog, IDC_GETDIR_PATH, typed);
    } else if (result == BROWSE_FAILED) {
        // Keep the focus out of a disabled button.
        SetFocus(GetDlgItem(dialog, IDC_GETDIR_PATH));
        EnableWindow(GetDlgItem(dialog, IDC_GETDIR_BROWSE), FALSE);
    }
}

INT_PTR Dispatch(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            DIALOG_InitWizardPage(dialog, static_cast<int>(lparam));
            SendDlgItemMessageA(dialog, IDC_GETDIR_PATH, EM_LIMITTEXT, kPathLimit, 0);
            PresetPath(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK:
                    OnOk(dialog);
                    break;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    break;
                case IDC_WIZARD_BACK:
                    EndDialog(dialog, DIALOG_RESULT_BACK);
                    break;
                case IDC_GETDIR_BROWSE:
                    OnBrowse(dialog);
                    break;
                default:
                    break;
            }
            return TRUE;
        case WM_SYSCOMMAND:
            return DIALOG_SysCommand(dialog, wparam);
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK GetDirectoryProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    // Nothing may be thrown through the system's dialog code.
    try {
        return Dispatch(dialog, message, wparam, lparam);
    } catch (const std::bad_alloc&) {
        ZYN_FATAL(ERROR_DIALOG_MEMORY_ALLOCATE, "getdir");
    }
}

}  // namespace

int GETDIR_Show(int index) {
    INT_PTR left = DIALOG_Modal("DLG_GET_DIRECTORY_32", GetDirectoryProc, index);
    return left == -1 ? DIALOG_RESULT_FAILED : static_cast<int>(left);
}

void ABOUT_Show() { DIALOG_Modal("DLG_ABOUT", PATH_NoticeProc, 0); }
