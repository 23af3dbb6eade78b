// The PM Info section.
#include "sections/logpm.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "log/logcomn.h"
#include "run/logunins.h"
#include "run/plist.h"
#include "script/common.h"
#include "script/zynerror.h"
#include "sections/dde.h"

namespace {

constexpr char kSource[] = "logpm";
constexpr char kStartUp[] = "StartUp";
constexpr int kShortPathSize = 260;

enum Column { kOperation, kGroup, kFile, kDescription, kIconFile, kIconIndex, kUninstall, kInstall };

// The group of the last ADD line carried out in this pass.
std::string g_group;

void Check(int code, int line) {
    if (code < 0) ZYNERROR_Fatal(code, kSource, line);
}

void Send(const std::string& command) { DDE_Execute(command.c_str()); }

// A script path made absolute against the destination, in the short form the file system
// reports (as it was, when the file system cannot tell).
void CompletePath(char* path) {
    const std::string full = SECTION_DestinationPath(kSource, path);
    char short_form[kShortPathSize] = "";
    const DWORD length = GetShortPathNameA(full.c_str(), short_form, sizeof short_form);
    const std::string& chosen = length > 0 && length < sizeof short_form ? std::string(short_form) : full;
    std::snprintf(path, LOGFILE_TOKEN_SIZE, "%s", chosen.c_str());
}

ZYNLOG_KEY OpenRecords() {
    ZYNLOG_KEY common = nullptr, key = nullptr;
    Check(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, LOGCOMN_COMMON_KEY, &common), __LINE__);
    Check(ZYNLOG_CreateKey(common, LOGPM_KEY, &key), __LINE__);
    return key;
}

void Record(ZYNLOG_KEY key, int demo_id, SECTION_TOKEN* tokens) {
    const std::string name = std::string(tokens[kOperation]) + ',' + tokens[kGroup] + ',' + tokens[kFile] + ',' +
                             tokens[kDescription] + ',' + tokens[kIconFile] + ',' + tokens[kIconIndex];
    std::string owners = std::to_string(demo_id);
    int data_size = 0;
    Check(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, nullptr, nullptr, &data_size), __LINE__);
    std::vector<char> old(static_cast<size_t>(data_size) + 1);
    const int read = ZYNLOG_GetValue(key, name.c_str(), old.data(), static_cast<int>(old.size()));
    if (read == 0) {
        owners = std::string(old.data()) + ", " + owners;
    } else if (read != ERROR_ZYNLOG_VALUE_NOT_FOUND) {
        Check(read, __LINE__);
    }
    Check(ZYNLOG_SetValue(key, name.c_str(), owners.c_str()), __LINE__);
}

// A record's name split at commas; a run of commas is one separator and the icon number
// takes whatever is left.
std::vector<std::string> SplitRecord(const std::string& name) {
    std::vector<std::string> fields;
    size_t at = 0;
    while (fields.size() < 6) {
        at = name.find_first_not_of(',', at);
        if (at == std::string::npos) break;
        const size_t end = fields.size() == 5 ? std::string::npos : name.find(',', at);
        fields.push_back(name.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end;
    }
    fields.resize(6);
    return fields;
}

// The third field of the shell's group record: its number of items.
std::string ItemCount(char* answer) {
    const char* field = COMMON_NextToken(answer, ",", " ");
    for (int i = 0; i < 2 && field != nullptr; ++i) field = COMMON_NextToken(nullptr, ",", " ");
    return field != nullptr ? field : "";
}

void UndoItem(const std::string& record) {
    DDE_Connect();
    std::vector<std::string> fields = SplitRecord(record);
    std::string& group = fields[kGroup];
    const std::string& description = fields[kDescription];
    if (lstrcmpiA(fields[kOperation].c_str(), "ADD") == 0 && !description.empty()) {
        // Shown minimised and then normally, the group becomes the active one.
        Send("[ShowGroup(" + group + ",2)]");
        Send("[ShowGroup(" + group + ",1)]");
        Send("[DeleteItem(" + description + ")]");
    }
    if (!group.empty() && group.front() == '"') group = group.size() >= 2 ? group.substr(1, group.size() - 2) : "";
    char answer[LOGPM_REQUEST_SIZE] = "";
    DDE_Request(group.c_str(), answer, sizeof answer);
    if (ItemCount(answer).starts_with('0') && lstrcmpiA(group.c_str(), kStartUp) != 0)
        Send("[DeleteGroup(\"" + group + "\")]");
    DDE_Disconnect();
}

}  // namespace

int LOGPM_Install(int demo_id, const char* section, int action) {
    SECTION_CheckAction(action, kSource);
    g_group.clear();
    return SECTION_ForEachLine(kSource, section, LOGPM_COLUMNS, true, [&](SECTION_TOKEN* tokens) {
        return action == PLIST_INSTALL ? PM_InstallLine(demo_id, tokens) : 0;
    });
}

int PM_InstallLine(int demo_id, SECTION_TOKEN* tokens) {
    const bool uninstall = COMMON_IsTrue(tokens[kUninstall]) != 0;
    DDE_Connect();
    ZYNLOG_KEY key = uninstall ? OpenRecords() : nullptr;
    if (COMMON_IsTrue(tokens[kInstall])) {
        CompletePath(tokens[kFile]);
        CompletePath(tokens[kIconFile]);
        const std::string group = tokens[kGroup];
        if (lstrcmpiA(group.c_str(), g_group.c_str()) != 0) {
            Send("[ShowGroup(" + g_group + ",6)]");
            Send("[CreateGroup(" + group + ",)]");
            Send("[ShowGroup(" + group + ",1)]");
        }
        const std::string description = tokens[kDescription];
        if (lstrcmpiA(tokens[kOperation], "ADD") == 0) {
            Send("[ReplaceItem(" + description + ")]");
            Send("[AddItem(" + std::string(tokens[kFile]) + ',' + description + ',' + tokens[kIconFile] + ',' +
                 tokens[kIconIndex] + ",,,,,)]");
            g_group = group;
            if (uninstall) Record(key, demo_id, tokens);
        } else if (lstrcmpiA(tokens[kOperation], "DELETE") == 0) {
            Send(description.empty() ? "[DeleteGroup(" + group + ")]" : "[DeleteItem(" + description + ")]");
        }
        if (!group.empty()) Send("[Reload(" + group + ")]");
    }
    if (key != nullptr) Check(ZYNLOG_CloseKey(key), __LINE__);
    DDE_Disconnect();
    return 0;
}

int PM_Uninstall(ZYNLOG_KEY key, int demo_id) {
    const std::string id = std::to_string(demo_id);
    int longest_name = 0, longest_data = 0;
    Check(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, nullptr, &longest_name, &longest_data), __LINE__);
    std::vector<char> name(static_cast<size_t>(longest_name) + 1), data(static_cast<size_t>(longest_data) + 1);
    for (int i = 0; ZYNLOG_EnumValue(key, i, name.data(), static_cast<int>(name.size()), data.data(),
                                     static_cast<int>(data.size())) == 0;) {
        bool last_owner = lstrcmpiA(data.data(), id.c_str()) == 0;
        if (!last_owner) {
            const bool listed = LOGCOMN_IsDemoInList(data.data(), demo_id) == 1;
            LOGCOMN_RemoveDemoFromList(demo_id, data.data());
            // A demo that added the same item twice is still its only owner.
            last_owner = listed && data[0] == '\0';
        }
        if (last_owner) {
            const std::string record = name.data();
            Check(ZYNLOG_DeleteValue(key, record.c_str()), __LINE__);
            UndoItem(record);
        } else {
            Check(ZYNLOG_SetValue(key, name.data(), data.data()), __LINE__);
            ++i;
        }
        LOGUNINS_Progress(1);
    }
    return 0;
}
