// The Ini Settings section: INI entries changed through the profile functions or the
// own text editor, their shared records in the change log, and their undoing.
#include "sections/logini.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>
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
#include "sys/handle.h"
#include "sys/sys32.h"

namespace {

constexpr char kSource[] = "logini";
constexpr int kPathSize = 260;
constexpr int kInitialRead = 520;
// Profile reads grow their buffer up to this; no INI value the handler meets is longer.
constexpr size_t kLongestRead = 64 * 1024;

enum Column { kOperation, kFile, kSection, kEntry, kValue, kReplace, kUninstall, kInstall };

[[noreturn]] void Fatal(int code, int line) { ZYNERROR_Fatal(code, kSource, line); }

void Check(int code, int line) {
    if (code < 0) Fatal(code, line);
}

struct SysFileTraits {
    using pointer = SYS_HANDLE;
    static pointer invalid() noexcept { return SYS_INVALID_HANDLE; }
    static bool valid(pointer h) noexcept { return h != SYS_INVALID_HANDLE && h != nullptr; }
    static void close(pointer h) noexcept { SYS_FileClose(h); }
};
using SysFile = zyn::UniqueHandle<SysFileTraits>;

// Writes the system's cached copy of an INI file to disk, so that the file on disk is
// what the profile functions see.
void FlushProfileCache(const char* file) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, file); }

std::string ReadProfile(const char* file, const char* section, const char* entry, const char* fallback) {
    std::vector<char> buffer(kInitialRead);
    for (;;) {
        DWORD got =
            GetPrivateProfileStringA(section, entry, fallback, buffer.data(), static_cast<DWORD>(buffer.size()), file);
        if (got + 1 < buffer.size() || buffer.size() >= kLongestRead) return std::string(buffer.data(), got);
        buffer.resize(buffer.size() * 2);
    }
}

bool SectionHasEntries(const char* file, const char* section) {
    char names[1024];
    return GetPrivateProfileStringA(section, nullptr, "", names, sizeof names, file) > 0;
}

int ReadWhole(SYS_HANDLE file, std::string* text) {
    uint32_t length = 0;
    if (int result = SYS_FileLength(file, &length); result != 0) return result;
    text->assign(length, '\0');
    uint32_t done = 0;
    if (int result = SYS_FileRead(file, text->data(), length, &done); result != 0) return result;
    return done == length ? 0 : ERROR_SYS_FILE_READ;
}

// Opens an INI file for the text editor (no sharing, created when missing) and reads it.
int OpenText(const char* file, uint32_t mode, SysFile* handle, std::string* text) {
    FlushProfileCache(file);
    if (int result = SYS_FileOpen(file, mode, 0, handle->put()); result != 0) return result;
    return ReadWhole(handle->get(), text);
}

int ReadMulti(const char* file, const char* section, const char* entry, const char* match, std::string* value) {
    SysFile handle;
    std::string text;
    if (int result = OpenText(file, SYS_OPEN_READ, &handle, &text); result != 0) return result;
    LOGINI_FindMultiText(text, section, entry, match, value);
    return 0;
}

int WriteMulti(const char* file, const char* section, const char* entry, const char* match, const char* new_value) {
    // Taking a line out of a file that is gone leaves nothing to do; creating it empty
    // would leave a file behind that no record owns.
    if (new_value == nullptr && !SYS_Exists(file)) return 0;
    SysFile handle;
    std::string text;
    if (int result = OpenText(file, SYS_OPEN_READ | SYS_OPEN_WRITE, &handle, &text); result != 0) return result;
    std::string edited = LOGINI_EditMultiText(text, section, entry, match, new_value);
    if (edited == text) return 0;
    uint32_t done = 0;
    if (int result = SYS_FileSeek(handle.get(), 0, SYS_SEEK_BEGIN, nullptr); result != 0) return result;
    if (int result = SYS_FileWrite(handle.get(), edited.data(), static_cast<uint32_t>(edited.size()), &done);
        result != 0)
        return result;
    if (done != edited.size()) return ERROR_SYS_FILE_WRITE;
    return SYS_SetLength(handle.get(), done);
}

// Creating a key that exists counts as a change of the log; open first.
ZYNLOG_KEY OpenOrCreateKey(ZYNLOG_KEY parent, const char* name) {
    ZYNLOG_KEY key = nullptr;
    int result = ZYNLOG_OpenKey(parent, name, &key);
    if (result == ERROR_ZYNLOG_SUB_KEY_NOT_FOUND) result = ZYNLOG_CreateKey(parent, name, &key);
    Check(result, __LINE__);
    return key;
}

struct Record {
    std::string name, data;
};

Record ReadRecord(ZYNLOG_KEY key, int index) {
    int longest_name = 0, longest_data = 0;
    Check(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, nullptr, &longest_name, &longest_data), __LINE__);
    std::vector<char> name(static_cast<size_t>(longest_name) + 1), data(static_cast<size_t>(longest_data) + 1);
    Check(ZYNLOG_EnumValue(key, index, name.data(), static_cast<int>(name.size()), data.data(),
                           static_cast<int>(data.size())),
          __LINE__);
    return {name.data(), data.data()};
}

std::string WithoutDemo(int demo_id, std::string list) {
    LOGCOMN_RemoveDemoFromList(demo_id, list.data());
    list.resize(std::strlen(list.c_str()));
    return list;
}

// An earlier demo's record describes the same change when it holds the same operation
// and value; the value must end there, so that "x" and "xy" are different changes.
bool SameChange(const std::string& data, const std::string& change) {
    return data.size() >= change.size() && COMMON_CompareNoCase(data.c_str(), change.c_str(), change.size()) == 0 &&
           (data.size() == change.size() || data[change.size()] == ',');
}

// The record tree of one entry; the earlier demo's record is shared when it describes
// the same change. Returns the entry key when this demo needs a record of its own.
ZYNLOG_KEY PrepareRecord(int demo_id, const char* file, const char* section, const char* entry,
                         const std::string& change) {
    ZYNLOG_KEY key = OpenOrCreateKey(ZYNLOG_ROOT_KEY, LOGCOMN_COMMON_KEY);
    for (const char* name : {LOGINI_KEY, file, section, entry}) key = OpenOrCreateKey(key, name);
    int earlier = -1, earlier_index = 0;
    Check(LOGCOMN_FindDemoNeighbours(key, demo_id, ",", " ", nullptr, nullptr, nullptr, nullptr, &earlier,
                                     &earlier_index),
          __LINE__);
    if (earlier < 0) return key;
    Record shared = ReadRecord(key, earlier_index);
    if (!SameChange(shared.data, change)) return key;
    Check(ZYNLOG_DeleteValue(key, shared.name.c_str()), __LINE__);
    std::string owners = shared.name + "," + std::to_string(demo_id);
    Check(ZYNLOG_SetValue(key, owners.c_str(), shared.data.c_str()), __LINE__);
    return nullptr;
}

// One entry key at uninstall: the first record naming the demo is undone, or passed on
// to the nearest later demo, whose change is the one in force.
void ReplayEntry(ZYNLOG_KEY key, const char* file, const char* section, const char* entry, int demo_id) {
    int count = 0;
    Check(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &count, nullptr, nullptr), __LINE__);
    int own_index = 0;
    Record own;
    for (; own_index < count; ++own_index) {
        own = ReadRecord(key, own_index);
        if (LOGCOMN_IsDemoInList(own.name.c_str(), demo_id)) break;
    }
    if (own_index == count) return;
    int later = -1, later_index = 0, earlier = -1, earlier_index = 0;
    Check(LOGCOMN_FindDemoNeighbours(key, demo_id, ",", " ", nullptr, nullptr, &later, &later_index, &earlier,
                                     &earlier_index),
          __LINE__);
    if (later < 0) {
        if (earlier >= 0 && earlier_index == own_index) {
            // Shared with an earlier demo still installed: the change stays for it.
            Check(ZYNLOG_DeleteValue(key, own.name.c_str()), __LINE__);
            Check(ZYNLOG_SetValue(key, WithoutDemo(demo_id, own.name).c_str(), own.data.c_str()), __LINE__);
        } else {
            LOGINI_RestoreEntry(file, section, entry, own.data.c_str());
            Check(ZYNLOG_DeleteValue(key, own.name.c_str()), __LINE__);
        }
    } else {
        Record theirs = ReadRecord(key, later_index);
        Check(ZYNLOG_DeleteValue(key, theirs.name.c_str()), __LINE__);
        std::string reduced = WithoutDemo(later, theirs.name);
        if (!reduced.empty()) Check(ZYNLOG_SetValue(key, reduced.c_str(), theirs.data.c_str()), __LINE__);
        // Both may have stood in one value, which now goes by the reduced name.
        std::string own_name = later_index == own_index ? reduced : own.name;
        Check(ZYNLOG_DeleteValue(key, own_name.c_str()), __LINE__);
        std::string rest = WithoutDemo(demo_id, own_name);
        std::string heir = std::to_string(later);
        std::string name = rest.empty() ? heir : rest + ", " + heir;
        Check(ZYNLOG_SetValue(key, name.c_str(), own.data.c_str()), __LINE__);
    }
    LOGUNINS_Progress(1);
}

// Walks the sub-keys of parent, calling visit(key, name) for each, then removes the
// ones left empty.
template <typename Visit>
void ForEachSubKey(ZYNLOG_KEY parent, Visit visit) {
    char name[ZYNLOG_MAX_KEY_NAME];
    for (int index = 0;;) {
        int result = ZYNLOG_EnumKey(parent, index, name, sizeof name);
        if (result == ERROR_ZYNLOG_SUB_KEY_NOT_FOUND) return;
        Check(result, __LINE__);
        ZYNLOG_KEY key = nullptr;
        Check(ZYNLOG_OpenKey(parent, name, &key), __LINE__);
        visit(key, name);
        int tidy = LOGCOMN_TidyKey(parent, key, name);
        Check(tidy, __LINE__);
        if (tidy != 1) ++index;
    }
}

int Install(int demo_id, const char* section, int action) {
    if (action != PLIST_INSTALL && action != PLIST_EXCLUSIVE_TEST) Fatal(ERROR_PLIST_UNKNOWN_ACTION, __LINE__);
    char destination[VAR_MAX_WORK_LENGTH];
    Check(VAR_Get("DestinationDirectory", destination, sizeof destination), __LINE__);
    char name[LOGINI_TOKEN_SIZE];
    std::snprintf(name, sizeof name, "%s", section != nullptr ? section : "");
    Check(INF_FindSection(name), __LINE__);
    char tokens[LOGINI_COLUMNS][LOGINI_TOKEN_SIZE];
    for (;;) {
        int result = INF_ReadTokens(&tokens[0][0], LOGINI_COLUMNS, LOGINI_TOKEN_SIZE);
        if (result == 1) return result;
        if (result != 0) Fatal(result, __LINE__);
        for (auto& token : tokens) Check(VAR_Substitute(token, token, LOGINI_TOKEN_SIZE), __LINE__);
        if (action == PLIST_INSTALL) {
            Check(LOGINI_ChangeEntry(demo_id, tokens[kOperation], tokens[kFile], tokens[kSection], tokens[kEntry],
                                     tokens[kValue], tokens[kReplace], tokens[kUninstall], tokens[kInstall]),
                  __LINE__);
        } else if (COMMON_IsTrue(tokens[kInstall])) {
            char path[kPathSize];
            std::snprintf(path, sizeof path, "%s", tokens[kFile]);
            Check(LOGINST_MakeDestinationPath(path, sizeof path), __LINE__);
            if (std::strstr(path, destination) == nullptr) return ERROR_PLIST_EXCLUSIVE;
        }
    }
}

int ChangeEntry(int demo_id, const char* operation, const char* file, const char* section, const char* entry,
                const char* value, const char* replace, const char* uninstall, const char* install) {
    if (!COMMON_IsTrue(install)) return 0;
    LOGINI_OP op = LOGINI_ParseOperation(operation);
    if (op == LOGINI_OP::Unknown) Fatal(ERROR_LOGINI_UNHANDLED_INF_COMMAND, __LINE__);
    char path[kPathSize];
    std::snprintf(path, sizeof path, "%s", file);
    Check(LOGINST_MakeDestinationPath(path, sizeof path), __LINE__);
    const bool recorded = COMMON_IsTrue(uninstall);
    if (!SYS_Exists(path)) {
        SysFile created;
        if (SYS_FileOpen(path, SYS_OPEN_WRITE, SYS_SHARE_READ | SYS_SHARE_WRITE, created.put()) == 0 && recorded) {
            LOGFILE_RecordFile(demo_id, path);
        }
    }
    const std::string change = std::string(operation) + "," + value;
    ZYNLOG_KEY key = recorded ? PrepareRecord(demo_id, path, section, entry, change) : nullptr;

    const bool multi = LOGINI_IsMulti(op);
    std::string current = LOGINI_DEFAULT;
    if (multi) {
        ReadMulti(path, section, entry, replace, &current);
    } else {
        current = ReadProfile(path, section, entry, LOGINI_DEFAULT);
    }
    LOGINI_CHANGE plan = LOGINI_PlanChange(op, current, value);
    const char* written = plan.write == LOGINI_CHANGE::kSet ? plan.value.c_str() : nullptr;
    if (plan.write != LOGINI_CHANGE::kKeep) {
        if (multi) {
            WriteMulti(path, section, entry, replace, written);
        } else {
            LOGINI_WriteEntry(section, entry, written, path);
        }
    }
    if (key != nullptr && plan.record) {
        std::string data = plan.has_old ? change + "," + plan.old : change;
        Check(ZYNLOG_SetValue(key, std::to_string(demo_id).c_str(), data.c_str()), __LINE__);
    }
    return 0;
}

int RestoreEntry(const char* file, const char* section, const char* entry, const char* record) {
    std::string operation, value, old;
    LOGINI_SplitRecord(record, &operation, &value, &old);
    switch (LOGINI_ParseOperation(operation)) {
    case LOGINI_OP::Add:
    case LOGINI_OP::Delete:
    case LOGINI_OP::Modify:
    case LOGINI_OP::Create:
        LOGINI_WriteEntry(section, entry, LOGINI_IsDefault(old) ? nullptr : old.c_str(), file);
        if (!SectionHasEntries(file, section)) LOGINI_WriteEntry(section, nullptr, nullptr, file);
        break;
    case LOGINI_OP::Append:
        LOGINI_WriteEntry(section, entry, LOGINI_DropWords(ReadProfile(file, section, entry, ""), value).c_str(), file);
        break;
    case LOGINI_OP::Unappend: {
        std::string restored;
        if (LOGINI_RestoreWord(ReadProfile(file, section, entry, ""), old, &restored)) {
            LOGINI_WriteEntry(section, entry, restored.c_str(), file);
        }
        break;
    }
    case LOGINI_OP::DeleteMulti:
    case LOGINI_OP::AddMulti:
    case LOGINI_OP::ModifyMulti:
        WriteMulti(file, section, entry, value.c_str(), LOGINI_IsDefault(old) ? nullptr : old.c_str());
        break;
    case LOGINI_OP::Unknown:
        // Not written by this handler; there is nothing it could undo.
        break;
    }
    return 0;
}

}  // namespace

int LOGINI_Install(int demo_id, const char* section, int action) {
    try {
        return Install(demo_id, section, action);
    } catch (const std::bad_alloc&) {
        return ERROR_LOGINI_MEMORY_ALLOCATE;
    }
}

int LOGINI_ChangeEntry(int demo_id, const char* operation, const char* file, const char* section, const char* entry,
                       const char* value, const char* replace, const char* uninstall, const char* install) {
    try {
        return ChangeEntry(demo_id, operation, file, section, entry, value, replace, uninstall, install);
    } catch (const std::bad_alloc&) {
        return ERROR_LOGINI_MEMORY_ALLOCATE;
    }
}

int LOGINI_Uninstall(ZYNLOG_KEY key, int demo_id) {
    try {
        ForEachSubKey(key, [&](ZYNLOG_KEY file_key, const char* file) {
            ForEachSubKey(file_key, [&](ZYNLOG_KEY section_key, const char* section) {
                ForEachSubKey(section_key, [&](ZYNLOG_KEY entry_key, const char* entry) {
                    ReplayEntry(entry_key, file, section, entry, demo_id);
                });
            });
        });
    } catch (const std::bad_alloc&) {
        return ERROR_LOGINI_MEMORY_ALLOCATE;
    }
    return 0;
}

int LOGINI_RestoreEntry(const char* file, const char* section, const char* entry, const char* record) {
    try {
        return RestoreEntry(file, section, entry, record);
    } catch (const std::bad_alloc&) {
        return ERROR_LOGINI_MEMORY_ALLOCATE;
    }
}

int LOGINI_ReadMultiEntry(const char* section, const char* entry, const char* match, const char* default_value,
                          char* buffer, int size, const char* file) {
    if (buffer == nullptr || size <= 0) return ERROR_LOGINI_MEMORY_ALLOCATE;
    try {
        std::string value = default_value != nullptr ? default_value : "";
        int result = ReadMulti(file, section, entry, match, &value);
        std::snprintf(buffer, static_cast<size_t>(size), "%s", value.c_str());
        return result;
    } catch (const std::bad_alloc&) {
        return ERROR_LOGINI_MEMORY_ALLOCATE;
    }
}

int LOGINI_WriteMultiEntry(const char* section, const char* entry, const char* match, const char* new_value,
                           const char* file) {
    try {
        return WriteMulti(file, section, entry, match, new_value);
    } catch (const std::bad_alloc&) {
        return ERROR_LOGINI_MEMORY_ALLOCATE;
    }
}

int LOGINI_WriteEntry(const char* section, const char* entry, const char* value, const char* file) {
    uint32_t attributes = 0;
    if (int result = SYS_GetAttributes(file, &attributes); result != 0) return result;
    if (int result = SYS_SetAttributes(file, SYS_ATTR_NORMAL); result != 0) return result;
    FlushProfileCache(file);
    BOOL written = WritePrivateProfileStringA(section, entry, value, file);
    FlushProfileCache(file);
    SYS_SetAttributes(file, attributes);
    return written ? 0 : ERROR_LOGINI_WRITE;
}
