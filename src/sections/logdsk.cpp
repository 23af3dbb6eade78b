// The Desktop section.
#include "sections/logdsk.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "run/loginst.h"
#include "run/plist.h"
#include "script/common.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logfile.h"
#include "sections/section.h"
#include "sys/handle.h"
#include "sys/sys32.h"

namespace {

constexpr char kSource[] = "logdsk";
constexpr int kColumns = 7;
constexpr int kLinkSize = 260;
constexpr char kShellFolders[] = "software\\microsoft\\windows\\currentVersion\\Explorer\\Shell Folders";

std::string Complete(const char* path) { return SECTION_DestinationPath(kSource, path); }

// COM for the thread, undone at the end of the scope.
struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
};

template <typename T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p != nullptr) p->Release();
    }
};

}  // namespace

int DSK_MakeLinkName(const char* description, const char* program, char* output, int size) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS) {
        ZYNERROR_Fatal(ERROR_LOGDSK_OPEN_KEY_ERROR, kSource, __LINE__);
    }
    zyn::RegKey key(raw);
    char folder[kLinkSize] = "";
    DWORD bytes = sizeof folder;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), "Desktop", nullptr, &type, reinterpret_cast<BYTE*>(folder), &bytes) !=
        ERROR_SUCCESS) {
        ZYNERROR_Fatal(ERROR_LOGDSK_READ_VALUE, kSource, __LINE__);
    }
    folder[sizeof folder - 1] = '\0';
    std::string name = description != nullptr ? description : "";
    if (name.empty() && program != nullptr && program[0] != '\0') {
        char base[_MAX_FNAME];
        _splitpath(program, nullptr, nullptr, base, nullptr);
        name = base;
    }
    if (name.empty()) name = "ZYNL";
    if (static_cast<int>(std::strlen(folder) + name.size()) + 10 > size) return ERROR_LOGDSK_BUFFER_TOO_SMALL;
    std::snprintf(output, static_cast<size_t>(size), "%s\\%s.LNK", folder, name.c_str());
    for (int counter = 1; SYS_Exists(output); ++counter) {
        std::snprintf(output, static_cast<size_t>(size), "%s\\%s%d.LNK", folder, name.c_str(), counter);
    }
    return 0;
}

int DSK_CreateLink(const char* program, const char* parameters, const char* link, const char* icon_file,
                   int icon_number, const char* uninstall, const char* install, int demo_id) {
    if (!COMMON_IsTrue(install)) return 0;
    int result = 0;
    {
        ComScope com;
        Released<IShellLinkA> shell_link;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(&shell_link.p)))) {
            result = ERROR_LOGDSK_INITIALIZE_INTERFACE;
        } else {
            shell_link.p->SetPath(program);
            shell_link.p->SetArguments(parameters);
            char drive[_MAX_DRIVE], dir[_MAX_DIR];
            _splitpath(program, drive, dir, nullptr, nullptr);
            std::string working = std::string(drive) + dir;
            if (!working.empty() && working.back() == '\\') working.pop_back();
            shell_link.p->SetWorkingDirectory(working.c_str());
            if (icon_file != nullptr && icon_file[0] != '\0') {
                const std::string icon = Complete(icon_file);
                if (FAILED(shell_link.p->SetIconLocation(icon.c_str(), icon_number))) return ERROR_LOGDSK_SET_ICON;
            }
            Released<IPersistFile> file;
            if (FAILED(shell_link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p)))) {
                result = ERROR_LOGDSK_QUERY_INTERFACE;
            } else {
                WCHAR wide[kLinkSize] = {};
                MultiByteToWideChar(CP_ACP, 0, link, -1, wide, kLinkSize);
                wide[kLinkSize - 1] = L'\0';
                file.p->Save(wide, TRUE);
            }
        }
    }
    if (COMMON_IsTrue(uninstall)) LOGFILE_RecordFile(demo_id, link);
    return result;
}

int LOGDSK_Install(int demo_id, const char* section, int action) {
    SECTION_CheckAction(action, kSource);
    // Shortcuts never make a demo exclusive: the test pass only reads the lines.
    const bool install = action == PLIST_INSTALL;
    return SECTION_ForEachLine(kSource, section, kColumns, install, [&](SECTION_TOKEN* tokens) {
        if (!install) return 0;
        const std::string program = Complete(tokens[1]);
        char link[kLinkSize];
        if (DSK_MakeLinkName(tokens[0], tokens[1], link, sizeof link) == 0) {
            DSK_CreateLink(program.c_str(), tokens[2], link, tokens[3], std::atoi(tokens[4]), tokens[5], tokens[6],
                           demo_id);
        }
        return 0;
    });
}

int LOGDSK_Uninstall(ZYNLOG_KEY, int) { return 0; }
