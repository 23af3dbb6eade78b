#include "ui/chkpath.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "script/var.h"
#include "script/zynerror.h"
#include "sys/handle.h"
#include "sys/syscheck.h"
#include "ui/chkpath_text.h"
#include "ui/dialog.h"
#include "ui/language.h"
#include "ui/string_ids.h"

namespace {

constexpr int kDirectorySize = 1024;
constexpr int kDriveClassCount = 7;

bool SystemIsAlnum(unsigned char c) { return IsCharAlphaNumericA(static_cast<CHAR>(c)) != FALSE; }
void SystemToUpper(char* text) { CharUpperA(text); }

const PATH_CHARSET kSystemCharset{SystemIsAlnum, SystemToUpper};

std::string ReadDirectoryVariable(const char* name) {
    char value[kDirectorySize] = "";
    int result = VAR_Get(name, value, kDirectorySize);
    if (result != 0) ZYN_FATAL(result, "chkpath");
    return value;
}

// True when the directory holds anything at all; a directory that does not exist is empty.
bool HasEntries(std::string directory) {
    if (!directory.empty() && directory.back() == '\\') directory.pop_back();
    WIN32_FIND_DATAA entry{};
    zyn::FindHandle search(FindFirstFileA((directory + "\\*.*").c_str(), &entry));
    if (!search) return false;
    do {
        if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0) return true;
    } while (FindNextFileA(search.get(), &entry));
    return false;
}

}  // namespace

INT_PTR CALLBACK PATH_NoticeProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            DIALOG_FillCaption(dialog);
            DIALOG_Center(dialog);
            return TRUE;
        case WM_COMMAND:
            // Escape closes a notice like its OK button.
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) EndDialog(dialog, IDOK);
            return TRUE;
        case WM_SYSCOMMAND:
            return DIALOG_SysCommand(dialog, wparam);
        default:
            return FALSE;
    }
}

int PATH_IsValid(char* path) {
    if (path == nullptr) return 0;
    std::string windows = ReadDirectoryVariable("WindowsDirectory");
    std::string system = ReadDirectoryVariable("WindowsSystemDirectory");
    if (PATH_CheckText(path, windows, system, kSystemCharset) == 0) return 0;
    if (VAR_Exists("UninstallCleanDirs") && VAR_GetFlag("UninstallCleanDirs") && HasEntries(path)) return 0;
    return 1;
}

void PATH_ShowBadPath(HWND owner) {
    bool clean = VAR_Exists("UninstallCleanDirs") && VAR_GetFlag("UninstallCleanDirs");
    const char* name = clean ? "DLG_BADPATH_32_NOT_EMPTY" : "DLG_BADPATH_32";
    DialogBoxParamA(LANGUAGE_GetInstance(), name, owner, PATH_NoticeProc, 0);
}

int DRIVE_CheckType(const char* path, int refused_mask, int show_message) {
    int type = SYSCHECK_DRIVE_UNDETERMINED;
    if (path != nullptr && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':') {
        char root[4] = {path[0], ':', '\\', '\0'};
        type = SYSCHECK_GetDriveClass(root);
    }
    MSG_SetCaption(IDS_TITLE_DESTINATION);
    bool known = type >= 0 && type < kDriveClassCount;
    if (known && (refused_mask & (1 << type)) == 0) return 0;
    if (show_message) MSG_Box(known ? IDS_MSG_DRIVE_UNDETERMINED + type : IDS_MSG_DRIVE_INVALID, MB_OK | MB_ICONEXCLAMATION);
    return -1;
}
