// The Modify Files section.
#include "sections/logmod.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
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
#include "sys/handle.h"
#include "sys/sys32.h"

namespace {

constexpr char kSource[] = "logmod";
constexpr int kColumns = 6;
constexpr int kRecordSize = 255;  // record names and data are read into this much at uninstall

bool g_lineMatched = false;

void Check(int code, int line) {
    if (code < 0) ZYNERROR_Fatal(code, kSource, line);
}

std::string ResolvePath(const char* file) { return SECTION_DestinationPath(kSource, file); }

// The record name up to and including the comma after the new line.
std::string RecordPrefix(const char* operation, const char* new_line) {
    return std::string(operation) + "," + new_line + ",";
}

bool StartsWithNoCase(const char* text, const std::string& prefix) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, text,
                          static_cast<int>(std::min(std::strlen(text), prefix.size())), prefix.c_str(),
                          static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

// The demo joins a record of the same line that another demo already owns.
void JoinExistingRecord(ZYNLOG_KEY key, const std::string& prefix, int demo_id) {
    int values = 0, longest_name = 0, longest_data = 0;
    Check(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &values, &longest_name, &longest_data), __LINE__);
    std::vector<char> name(static_cast<size_t>(longest_name) + 1), data(static_cast<size_t>(longest_data) + 1);
    for (int i = 0; i < values; ++i) {
        Check(ZYNLOG_EnumValue(key, i, name.data(), static_cast<int>(name.size()), data.data(),
                               static_cast<int>(data.size())),
              __LINE__);
        if (!StartsWithNoCase(name.data(), prefix) || LOGCOMN_IsDemoInList(data.data(), demo_id)) continue;
        std::string joined = std::string(data.data()) + "," + std::to_string(demo_id);
        std::string kept(name.data());
        Check(ZYNLOG_DeleteValue(key, kept.c_str()), __LINE__);
        Check(ZYNLOG_SetValue(key, kept.c_str(), joined.c_str()), __LINE__);
        return;
    }
}

}  // namespace

int LOGMOD_LineMatched() { return g_lineMatched ? 1 : 0; }

int LOGMOD_ModifyText(const char* file, const char* old_line, const char* new_line, unsigned flags) {
    // Taking a line out of a file that is gone leaves nothing to do (the uninstall of an
    // added line after the file itself was deleted); the file is not made anew.
    if (new_line == nullptr && !SYS_Exists(file)) {
        g_lineMatched = false;
        return 0;
    }
    zyn::Handle handle(CreateFileA(file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) ZYNERROR_Fatal(ERROR_SYS_FILE_OPEN, kSource, __LINE__);
    std::string text;
    try {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(handle.get(), &size)) ZYNERROR_Fatal(ERROR_SYS_FILE_READ, kSource, __LINE__);
        text.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return ERROR_LOGMOD_MEMORY_ALLOCATE;
    }
    DWORD done = 0;
    if (!text.empty() && (!ReadFile(handle.get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr) ||
                          done != text.size())) {
        ZYNERROR_Fatal(ERROR_SYS_FILE_READ, kSource, __LINE__);
    }
    LOGMOD_EDIT edit = LOGMOD_EditText(text, old_line != nullptr ? old_line : "", new_line, flags);
    g_lineMatched = edit.matched;
    // Only a removal (undoing an added line) changes the file without writing a line.
    const bool removed = edit.matched && new_line == nullptr && !(flags & LOGMOD_MATCH_DONT_ADD);
    if (!edit.written && !removed) return 0;
    SetFilePointer(handle.get(), 0, nullptr, FILE_BEGIN);
    if ((!text.empty() && (!WriteFile(handle.get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr) ||
                           done != text.size())) ||
        !SetEndOfFile(handle.get())) {
        ZYNERROR_Fatal(ERROR_SYS_FILE_WRITE, kSource, __LINE__);
    }
    return edit.written ? 1 : 0;
}

int LOGMOD_ChangeFile(int demo_id, const char* operation, const char* file, const char* old_line,
                      const char* new_line, const char* uninstall, const char* install) {
    if (!COMMON_IsTrue(install)) return 0;
    const std::string path = ResolvePath(file);
    const bool record = COMMON_IsTrue(uninstall) != 0;
    const std::string prefix = RecordPrefix(operation, new_line);
    ZYNLOG_KEY key = nullptr;
    if (record) {
        ZYNLOG_KEY common = nullptr, files = nullptr;
        Check(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Common", &common), __LINE__);
        Check(ZYNLOG_CreateKey(common, LOGMOD_KEY, &files), __LINE__);
        Check(ZYNLOG_CreateKey(files, path.c_str(), &key), __LINE__);
        JoinExistingRecord(key, prefix, demo_id);
    }
    unsigned flags = LOGMOD_ParseFlags(operation);
    if (flags == 0) ZYNERROR_Fatal(ERROR_LOGMOD_UNKNOWN_COMMAND, kSource, __LINE__);
    int written = LOGMOD_ModifyText(path.c_str(), old_line, new_line, flags);
    Check(written, __LINE__);
    int result = 0;
    if (key != nullptr) {
        if (written == 1) {
            std::string name = prefix + (g_lineMatched ? old_line : "");
            result = ZYNLOG_SetValue(key, name.c_str(), std::to_string(demo_id).c_str());
            Check(result, __LINE__);
        }
        ZYNLOG_CloseKey(key);
    }
    return result;
}

int LOGMOD_Install(int demo_id, const char* section, int action) {
    SECTION_CheckAction(action, kSource);
    char destination[VAR_MAX_WORK_LENGTH];
    Check(VAR_Get("DestinationDirectory", destination, sizeof destination), __LINE__);
    return SECTION_ForEachLine(kSource, section, kColumns, true, [&](SECTION_TOKEN* tokens) {
        if (action == PLIST_INSTALL) {
            LOGMOD_ChangeFile(demo_id, tokens[0], tokens[1], tokens[2], tokens[3], tokens[4], tokens[5]);
        } else if (COMMON_IsTrue(tokens[5]) && ResolvePath(tokens[1]).find(destination) == std::string::npos) {
            return ERROR_PLIST_EXCLUSIVE;
        }
        return 0;
    });
}

int LOGMOD_UndoRecord(const char* file, const char* record) {
    // operation, new line and (when the install replaced a line) the old line
    std::string pieces[3];
    size_t piece = 0;
    for (const char* c = record; *c != '\0'; ++c) {
        if (*c == ',' && piece < 2) {
            ++piece;
        } else if (*c != ',') {
            pieces[piece] += *c;
        }
    }
    const bool has_old = piece == 2 && !pieces[2].empty();
    int result = LOGMOD_ModifyText(file, pieces[1].c_str(), has_old ? pieces[2].c_str() : nullptr,
                                   LOGMOD_BEGINNING | LOGMOD_MATCH_EXACT);
    return result < 0 ? result : 0;
}

int LOGMOD_Uninstall(ZYNLOG_KEY key, int demo_id) {
    const std::string id = std::to_string(demo_id);
    char file[kRecordSize], name[kRecordSize], data[kRecordSize];
    for (int f = 0; ZYNLOG_EnumKey(key, f, file, sizeof file) == 0;) {
        ZYNLOG_KEY records = nullptr;
        Check(ZYNLOG_OpenKey(key, file, &records), __LINE__);
        for (int r = 0; ZYNLOG_EnumValue(records, r, name, sizeof name, data, sizeof data) == 0;) {
            if (lstrcmpiA(data, id.c_str()) == 0) {
                Check(ZYNLOG_DeleteValue(records, name), __LINE__);
                int result = LOGMOD_UndoRecord(file, name);
                if (result < 0) return result;
            } else {
                LOGCOMN_RemoveDemoFromList(demo_id, data);
                Check(ZYNLOG_SetValue(records, name, data), __LINE__);
                ++r;
            }
            LOGUNINS_Progress(1);
        }
        // An emptied file key goes, and the next one moves into its place.
        int tidied = LOGCOMN_TidyKey(key, records, file);
        Check(tidied, __LINE__);
        if (tidied != 1) ++f;
    }
    return 0;
}
