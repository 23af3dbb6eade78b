// The Launch section.
#include "sections/loglnch.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "log/logcomn.h"
#include "run/loginst.h"
#include "run/logunins.h"
#include "run/plist.h"
#include "script/common.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logfile.h"
#include "sections/section.h"
#include "sys/proc.h"
#include "sys/zyndisk.h"
#include "ui/dialog.h"
#include "ui/status.h"
#include "ui/string_ids.h"

namespace {

constexpr char kSource[] = "loglnch";
constexpr int kColumns = 6;

void Check(int code, int line) {
    if (code < 0) ZYNERROR_Fatal(code, kSource, line);
}

std::string Resolve(const char* program, int (*make_path)(char*, int)) {
    // The source or the destination directory, by the caller's choice.
    std::vector<char> path(LOGFILE_DESTINATION_SIZE);
    std::snprintf(path.data(), path.size(), "%s", program);
    Check(make_path(path.data(), static_cast<int>(path.size())), __LINE__);
    return path.data();
}

void RunRecord(const char* record) {
    std::string text(record);
    char* program = COMMON_NextToken(text.data(), ",", " ");
    char* wait = COMMON_NextToken(nullptr, ",", " ");
    // The command line is the rest after the second comma, commas and all.
    std::string arguments;
    const size_t first = std::string_view(record).find(',');
    const size_t second = first == std::string_view::npos ? first : std::string_view(record).find(',', first + 1);
    if (second != std::string_view::npos) arguments = record + second + 1;
    LOGLNCH_Run(program != nullptr ? program : "", arguments.c_str(), wait != nullptr && COMMON_IsTrue(wait));
}

}  // namespace

int LOGLNCH_Run(const char* program, const char* command_line, int wait) {
    const PROC_DRIVER* drivers[] = {PROC_SystemDriver(), nullptr};
    PROC_Init(drivers);
    PROC_SetRestoreFront(0);
    const int slot = PROC_Start(program, command_line);
    if (slot < 0) {
        MSG_SetCaption(IDS_TITLE_PROGRAM_NOT_STARTED);
        MSG_Box(IDS_MSG_PROGRAM_NOT_STARTED, MB_OK | MB_ICONEXCLAMATION, program);
    } else {
        if (wait) {
            PROC_BringToFront(slot);
            // No time limit: the installer's windows stay served while it waits.
            while (PROC_IsRunning(slot)) {
                MSG message;
                if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                    TranslateMessage(&message);
                    DispatchMessageA(&message);
                }
                Sleep(0);
            }
        }
        PROC_Stop(slot);
    }
    PROC_Terminate();
    return 0;
}

int LOGLNCH_LaunchLine(int demo_id, const char* program, const char* command_line, const char* wait,
                       const char* uninstall, const char* install) {
    if (COMMON_IsTrue(install)) {
        LOGLNCH_Run(Resolve(program, LOGINST_MakeSourcePath).c_str(), command_line, COMMON_IsTrue(wait));
    }
    if (COMMON_IsTrue(uninstall)) {
        ZYNLOG_KEY demo = nullptr, key = nullptr;
        Check(LOGCOMN_GetDemoKey(&demo), __LINE__);
        Check(ZYNLOG_CreateKey(demo, LOGLNCH_KEY, &key), __LINE__);
        const std::string name =
            Resolve(program, LOGINST_MakeDestinationPath) + "," + wait + "," + command_line;
        Check(ZYNLOG_SetValue(key, name.c_str(), std::to_string(demo_id).c_str()), __LINE__);
    }
    return 0;
}

int LOGLNCH_Install(int demo_id, const char* section, int action) {
    // The log on disk must be complete while another program runs.
    ZYNLOG_Save();
    SECTION_CheckAction(action, kSource);
    // A launch never makes a demo exclusive: the test pass only reads the lines.
    const bool install = action == PLIST_INSTALL;
    return SECTION_ForEachLine(kSource, section, kColumns, install, [&](SECTION_TOKEN* tokens) {
        if (!install) return 0;
        HWND wait_box = nullptr;
        if (tokens[0][0] != '\0') {
            MSG_SetCaption(IDS_TITLE_LAUNCH_WAIT);
            wait_box = STATUS_ShowWait(IDS_MSG_LAUNCH_WAIT, tokens[0]);
        }
        Check(LOGLNCH_LaunchLine(demo_id, tokens[1], tokens[2], tokens[3], tokens[4], tokens[5]), __LINE__);
        if (wait_box != nullptr) STATUS_CloseWait(wait_box);
        return 0;
    });
}

int LOGLNCH_Uninstall(ZYNLOG_KEY key, int demo_id) {
    const std::string id = std::to_string(demo_id);
    int values = 0, longest_name = 0, longest_data = 0;
    Check(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &values, &longest_name, &longest_data), __LINE__);
    std::vector<char> name(static_cast<size_t>(longest_name) + 1), data(static_cast<size_t>(longest_data) + 1);
    for (int i = 0; ZYNLOG_EnumValue(key, i, name.data(), static_cast<int>(name.size()), data.data(),
                                     static_cast<int>(data.size())) == 0;) {
        const std::string record(name.data());
        if (lstrcmpiA(data.data(), id.c_str()) == 0) {
            Check(ZYNLOG_DeleteValue(key, record.c_str()), __LINE__);
            RunRecord(record.c_str());
        } else if (std::string_view(data.data()).find(',') == std::string_view::npos) {
            ++i;
        } else {
            LOGCOMN_RemoveDemoFromList(demo_id, data.data());
            Check(ZYNLOG_SetValue(key, record.c_str(), data.data()), __LINE__);
            RunRecord(record.c_str());
            ++i;
        }
        LOGUNINS_Progress(1);
    }
    return 0;
}
