#include "ui/language.h"

#include <cstdio>
#include <new>
#include <string>
#include <string_view>

#include "run/mainwnd.h"
#include "script/errcodes.h"
#include "script/module.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sys/zyndisk.h"
#include "ui/dialog.h"
#include "ui/language_ids.h"

namespace {

constexpr const char* kLibraryNames[] = {
    "english.dll", "czech.dll",    "dutch.dll",  "french.dll",  "german.dll",  "italian.dll",
    "japanese.dll", "polish.dll", "portug.dll", "russian.dll", "spanish.dll",
};
constexpr int kLanguageCount = static_cast<int>(sizeof kLibraryNames / sizeof kLibraryNames[0]);
static_assert(IDC_LANGUAGE_FIRST + kLanguageCount - 1 == IDC_LANGUAGE_LAST);

constexpr const char* kUninstallLibrary = "uninstal.dll";
constexpr const char* kFallbackLibrary = "english.dll";
constexpr int kDefaultNameSize = 100;
constexpr int kFullPathSize = MAX_PATH;
// Delete-with-attributes mask: read-only, hidden, system and archive files too.
constexpr uint32_t kDiscardMask = 0x87;

HINSTANCE g_library = nullptr;
bool g_loaded = false;  // g_library is ours to free
int g_index = 0;        // chosen in the language dialog; persists for the run
char g_fullPath[kFullPathSize] = "";

void OnLanguageOk(HWND dialog) {
    int index = 0;
    for (int id = IDC_LANGUAGE_FIRST + 1; id <= IDC_LANGUAGE_LAST; ++id) {
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) {
            index = id - IDC_LANGUAGE_FIRST;
            break;
        }
    }
    g_index = index;
    char value[16];
    std::snprintf(value, sizeof value, "%d", index);
    int result = VAR_Set("Language", value);
    if (result != 0) ZYN_FATAL(result, "language");
    EndDialog(dialog, IDOK);
}

// The chosen file name beside the running executable; whatever directory it names is dropped.
bool BesideExecutable(std::string_view chosen, char (&out)[kFullPathSize]) {
    char own[kFullPathSize] = "";
    DWORD length = GetModuleFileNameA(nullptr, own, kFullPathSize);
    if (length == 0 || length >= static_cast<DWORD>(kFullPathSize)) return false;
    std::string_view ownPath(own, length);
    std::string directory(ownPath.substr(0, ownPath.find_last_of("\\/:") + 1));
    size_t cut = chosen.find_last_of("\\/:");
    std::string name(cut == std::string_view::npos ? chosen : chosen.substr(cut + 1));
    std::string full = directory + name;
    int written = std::snprintf(out, kFullPathSize, "%s", full.c_str());
    return written >= 0 && written < kFullPathSize;
}

// A language whose library is not beside the executable cannot be chosen: loading it
// would end the install at its first dialog. English, the default, stays as it is.
void DisableMissingLanguages(HWND dialog) {
    for (int id = IDC_LANGUAGE_FIRST + 1; id <= IDC_LANGUAGE_LAST; ++id) {
        char full[kFullPathSize] = "";
        bool present = BesideExecutable(kLibraryNames[id - IDC_LANGUAGE_FIRST], full) &&
                       GetFileAttributesA(full) != INVALID_FILE_ATTRIBUTES;
        if (HWND button = GetDlgItem(dialog, id); button != nullptr && !present) EnableWindow(button, FALSE);
    }
}

INT_PTR CALLBACK LanguageProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            DIALOG_Center(dialog);
            for (int id = IDC_LANGUAGE_FIRST; id <= IDC_LANGUAGE_LAST; ++id)
                CheckDlgButton(dialog, id, id == IDC_LANGUAGE_ENGLISH ? BST_CHECKED : BST_UNCHECKED);
            DisableMissingLanguages(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) OnLanguageOk(dialog);
            if (LOWORD(wparam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_SYSCOMMAND:
            // Only the screen saver is kept away; the close box and moving work as usual.
            if ((wparam & 0xFFF0) == SC_SCREENSAVE) return DIALOG_SysCommand(dialog, wparam);
            return FALSE;
        default:
            return FALSE;
    }
}

void ShowLanguageDialog() {
    // The template lives in the executable: no library is loaded yet to carry it.
    HINSTANCE own = WMINST_GetInstance();
    if (own == nullptr) own = GetModuleHandleA(nullptr);
    DialogBoxParamA(own, "DLG_LANGUAGE", WMINST_GetMainWindow(), LanguageProc, 0);
}

void PlainBox(const char* text, const char* title) {
    MessageBoxA(WMINST_GetMainWindow(), text, title, MB_OK | MB_TASKMODAL);
}

int Load() {
    if (!VAR_Exists("GetLanguage")) {
        PlainBox("Did not find LANGUAGE VAR!", "INSTALL.INF ERROR!");
        return -1;
    }
    char chosen[kDefaultNameSize] = "";
    if (!VAR_Exists("InstallName")) {
        std::snprintf(chosen, sizeof chosen, "%s", kUninstallLibrary);
    } else {
        if (VAR_Get("DefaultLanguageDLL", chosen, kDefaultNameSize) != 0)
            std::snprintf(chosen, sizeof chosen, "%s", kFallbackLibrary);
        if (VAR_GetFlag("GetLanguage")) {
            ShowLanguageDialog();
            if (g_index >= 0 && g_index < kLanguageCount)
                std::snprintf(chosen, sizeof chosen, "%s", kLibraryNames[g_index]);
        }
    }

    char full[kFullPathSize] = "";
    HINSTANCE library = nullptr;
    if (BesideExecutable(chosen, full)) library = LoadLibraryA(full);
    std::snprintf(g_fullPath, sizeof g_fullPath, "%s", full[0] != '\0' ? full : chosen);
    if (library == nullptr) {
        char text[kFullPathSize + 64];
        std::snprintf(text, sizeof text, "Could not initialize language DLL: %s.", g_fullPath);
        PlainBox(text, "Low Level Error");
        return ERROR_LANGUAGE_DLL_NOT_LOADED;
    }
    g_library = library;
    g_loaded = true;
    MODULE_Register(LANGUAGE_Terminate, 0);
    return 0;
}

}  // namespace

HINSTANCE LANGUAGE_GetInstance() { return g_library; }

int LANGUAGE_LoadString(int id, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    buffer[0] = '\0';
    // A null module would make LoadStringA read the executable's own strings.
    if (g_library == nullptr) return 0;
    int length = LoadStringA(g_library, static_cast<UINT>(id), buffer, size);
    if (length <= 0) buffer[0] = '\0';
    return length > 0 ? length : 0;
}

void LANGUAGE_SetInstance(HINSTANCE library) { g_library = library; }

int LANGUAGE_Load() {
    if (g_loaded) return 0;
    try {
        return Load();
    } catch (const std::bad_alloc&) {
        return ERROR_LANGUAGE_DLL_NOT_LOADED;
    }
}

int LANGUAGE_Terminate() {
    if (g_loaded && g_library != nullptr) FreeLibrary(g_library);
    g_library = nullptr;
    g_loaded = false;
    MODULE_Unregister(LANGUAGE_Terminate);
    return 0;
}

void LANGUAGE_Discard() {
    LANGUAGE_Terminate();
    if (g_fullPath[0] != '\0') ZYNDISK_Delete(g_fullPath, kDiscardMask, 0, 0);
}
