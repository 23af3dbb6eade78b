// A program for the robot's own tests: message boxes, a form, plain exits.
//   robotchild msgbox FLAGS CAPTION TEXT   exit code: the button chosen; '|' in TEXT breaks the line
//   robotchild twice                       two boxes in a row; exit code first * 10 + second
//   robotchild form OUTFILE                the form; OK writes what it holds to OUTFILE
//   robotchild exit N                      ends at once with N
//   robotchild sleep MS                    ends after MS with 0, showing nothing
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "robotchild_ids.h"

namespace {

std::string g_outFile;

INT_PTR OnFormCommand(HWND dialog, WORD id) {
    switch (id) {
        case IDC_FORM_MORE:
            // A nested modal box: a robot that clicked with SendMessage would block here.
            MessageBoxA(dialog, "More options are not available.", "Robot form", MB_OK | MB_ICONINFORMATION);
            SetDlgItemTextA(dialog, IDC_FORM_STATUS, "more seen");
            return TRUE;
        case IDOK: {
            char name[256] = {};
            GetDlgItemTextA(dialog, IDC_FORM_NAME, name, sizeof name);
            const char* kind = IsDlgButtonChecked(dialog, IDC_FORM_CUSTOM) ? "custom" : "typical";
            const bool shortcut = IsDlgButtonChecked(dialog, IDC_FORM_SHORTCUT) == BST_CHECKED;
            if (FILE* f = std::fopen(g_outFile.c_str(), "wb")) {
                std::fprintf(f, "name=%s;kind=%s;shortcut=%d", name, kind, shortcut ? 1 : 0);
                std::fclose(f);
            }
            EndDialog(dialog, 0);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, 2);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK FormProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            CheckRadioButton(dialog, IDC_FORM_TYPICAL, IDC_FORM_CUSTOM, IDC_FORM_TYPICAL);
            SetDlgItemTextA(dialog, IDC_FORM_NAME, "Demo");
            return TRUE;
        case WM_COMMAND: return OnFormCommand(dialog, LOWORD(wparam));
        default: return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const int argc = __argc;
    char** argv = __argv;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "msgbox" && argc == 5) {
        std::string text = argv[4];
        for (char& c : text) {
            if (c == '|') c = '\n';
        }
        return MessageBoxA(nullptr, text.c_str(), argv[3], static_cast<UINT>(std::strtoul(argv[2], nullptr, 0)));
    }
    if (mode == "twice") {
        const int first = MessageBoxA(nullptr, "First question?", "Robot", MB_YESNO);
        const int second = MessageBoxA(nullptr, "Second question?", "Robot", MB_YESNO);
        return first * 10 + second;
    }
    if (mode == "form" && argc == 3) {
        g_outFile = argv[2];
        return static_cast<int>(DialogBoxParamA(instance, "ROBOTFORM", nullptr, FormProc, 0));
    }
    if (mode == "exit" && argc == 3) return std::atoi(argv[2]);
    if (mode == "sleep" && argc == 3) {
        Sleep(static_cast<DWORD>(std::atoi(argv[2])));
        return 0;
    }
    return 99;
}
