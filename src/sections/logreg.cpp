// The Registry32 section.
#include "sections/logreg.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "log/logcomn.h"
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

constexpr char kSource[] = "logreg";
constexpr int kColumns = 7;
constexpr int kNameSize = 512;  // log and registry key names are far shorter

int g_demoId = -1;
std::string g_demoText;

struct RootKey {
    const char* name;
    HKEY key;
};

const RootKey kRoots[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {"HKEY_USERS", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}, {"HKEY_DYN_DATA", HKEY_DYN_DATA},
};

enum class Operation { AddKey, DeleteKey, SetValue, SetValueExist, SetValueNotExist, DeleteValue, Unknown };

struct OperationName {
    const char* name;
    Operation operation;
};

constexpr OperationName kOperations[] = {
    {"REG_ADD_KEY", Operation::AddKey},
    {"REG_DELETE_KEY", Operation::DeleteKey},
    {"REG_SET_VALUE", Operation::SetValue},
    {"REG_SET_VALUE_EXIST", Operation::SetValueExist},
    {"REG_SET_VALUE_NOT_EXIST", Operation::SetValueNotExist},
    {"REG_DELETE_VALUE", Operation::DeleteValue},
};

bool SameNoCase(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

Operation FindOperation(const char* text) {
    for (const OperationName& entry : kOperations) {
        if (text != nullptr && SameNoCase(text, entry.name)) return entry.operation;
    }
    return Operation::Unknown;
}

// The name the registry functions know a value by: "(Default)" is the unnamed one.
const char* RegistryName(const char* value_name) {
    return SameNoCase(value_name, LOGREG_DEFAULT_VALUE) ? "" : value_name;
}

// A key opened for this module: root handles are borrowed, sub-keys owned.
struct Held {
    HKEY root = nullptr;
    zyn::RegKey owned;
    HKEY get() const { return root != nullptr ? root : owned.get(); }
};

int OpenHeld(HKEY parent, const char* key_class, const char* name, bool create, Held* held) {
    HKEY key = nullptr;
    int result = LOGREG_OpenKey(parent, key_class, name, create ? 1 : 0, &key);
    if (result != 0) return result;
    if (parent == nullptr) {
        held->root = key;
    } else {
        held->owned.reset(key);
    }
    return 0;
}

bool KeyExists(HKEY parent, const char* name) {
    if (parent == nullptr || name[0] == '\0') return false;
    HKEY probe = nullptr;
    if (RegOpenKeyExA(parent, name, 0, KEY_QUERY_VALUE, &probe) != ERROR_SUCCESS) return false;
    if (RegCloseKey(probe) != ERROR_SUCCESS) ZYNERROR_Fatal(ERROR_LOGREG_CLOSE_KEY, kSource, __LINE__);
    return true;
}

bool ValueExists(HKEY key, const char* value_name) {
    if (key == nullptr || value_name[0] == '\0') return false;
    const char* name = RegistryName(value_name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    // Deleting the default value leaves it as an empty string, which stands for "absent".
    return name[0] != '\0' || type != REG_SZ || size > 1;
}

int FreeBackupName(HKEY key, bool for_key, std::string* name) {
    const char* prefix = for_key ? LOGREG_BACKUP_KEY_PREFIX : LOGREG_BACKUP_VALUE_PREFIX;
    char candidate[32];
    for (int number = 0; number < LOGREG_BACKUP_COUNT; ++number) {
        if (int result = LOGREG_UniqueName(prefix, number, candidate, sizeof candidate); result != 0) return result;
        if (!(for_key ? KeyExists(key, candidate) : ValueExists(key, candidate))) {
            *name = candidate;
            return 0;
        }
    }
    return for_key ? ERROR_LOGREG_COULDNT_FIND_UNIQUE_KEY : ERROR_LOGREG_COULDNT_FIND_UNIQUE_VALUE;
}

// --- records in the change log ---

struct Record {
    std::string name;  // the list of owning demos
    std::string data;
    LOGREG_RECORD kind = LOGREG_RECORD_NONE;
    int index = -1;
    bool present() const { return kind != LOGREG_RECORD_NONE; }
    std::string backup() const { return LOGREG_RecordBackup(data.c_str()); }
};

// The records of one log key as the current demo sees them.
struct Site {
    ZYNLOG_KEY key = nullptr;
    Record own, earlier, later;
};

int ReadRecord(ZYNLOG_KEY key, int index, Record* record) {
    int longest_name = 0, longest_data = 0;
    int result = ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, nullptr, &longest_name, &longest_data);
    if (result != 0) return result;
    std::vector<char> name(static_cast<size_t>(longest_name) + 1), data(static_cast<size_t>(longest_data) + 1);
    result = ZYNLOG_EnumValue(key, index, name.data(), static_cast<int>(name.size()), data.data(),
                              static_cast<int>(data.size()));
    if (result != 0) return result;
    record->name = name.data();
    record->data = data.data();
    record->kind = LOGREG_RecordKind(data.data());
    record->index = index;
    return 0;
}

int ReadSite(ZYNLOG_KEY key, Site* site) {
    site->key = key;
    int own = -1, own_index = 0, later = -1, later_index = 0, earlier = -1, earlier_index = 0;
    int result = LOGCOMN_FindDemoNeighbours(key, g_demoId, ",", " ", &own, &own_index, &later, &later_index,
                                            &earlier, &earlier_index);
    if (result == 0 && own >= 0) result = ReadRecord(key, own_index, &site->own);
    if (result == 0 && earlier >= 0) result = ReadRecord(key, earlier_index, &site->earlier);
    if (result == 0 && later >= 0) result = ReadRecord(key, later_index, &site->later);
    return result;
}

// Creates the log key of name and reads its records; a later demo's record there means
// this demo would build beneath a change that was made after it.
int OpenSite(ZYNLOG_KEY parent_log, const char* name, Site* site) {
    ZYNLOG_KEY key = nullptr;
    int result = ZYNLOG_CreateKey(parent_log, name, &key);
    if (result == 0) result = ReadSite(key, site);
    if (result == 0 && site->later.present()) result = ERROR_LOGREG_NEXT_DEMO_ID_FOUND;
    return result;
}

int WriteRecord(ZYNLOG_KEY key, LOGREG_RECORD kind, const std::string& backup = "") {
    std::string data = LOGREG_RecordMarker(kind);
    if (!backup.empty()) data += "," + backup;
    return ZYNLOG_SetValue(key, g_demoText.c_str(), data.c_str());
}

// A record takes a new list of owners by being copied under it; an empty list drops it.
int RenameRecord(ZYNLOG_KEY key, const std::string& from, const std::string& to) {
    if (SameNoCase(from.c_str(), to.c_str())) return 0;
    if (!to.empty()) {
        if (int result = ZYNLOG_CopyValue(key, from.c_str(), to.c_str()); result != 0) return result;
    }
    return ZYNLOG_DeleteValue(key, from.c_str());
}

int ShareRecord(const Site& site, const Record& record) {
    std::vector<char> owners(record.name.size() + 16);
    int result = LOGCOMN_AddDemoToList(record.name.c_str(), g_demoId, owners.data(), static_cast<int>(owners.size()));
    return result < 0 ? result : RenameRecord(site.key, record.name, owners.data());
}

int LeaveRecord(const Site& site, const Record& record) {
    std::vector<char> owners(record.name.begin(), record.name.end());
    owners.push_back('\0');
    LOGCOMN_RemoveDemoFromList(g_demoId, owners.data());
    return RenameRecord(site.key, record.name, owners.data());
}

// The earlier record takes over the later one's owners (the later record goes separately).
int MergeEarlierWithLater(const Site& site) {
    if (site.earlier.index == site.later.index) return 0;
    return RenameRecord(site.key, site.earlier.name, site.earlier.name + "," + site.later.name);
}

// Drops the later record, unless it is one value with the earlier one, which stays.
int DropLater(const Site& site) {
    if (site.earlier.present() && site.earlier.index == site.later.index) return 0;
    return ZYNLOG_DeleteValue(site.key, site.later.name.c_str());
}

bool OwnedAlone(const Record& record) { return record.present() && record.name == g_demoText; }

// The record other than the demo's own that names the smallest id above all of its ids.
int FindSuccessor(const Site& site, Record* successor) {
    int count = 0;
    int result = ZYNLOG_QueryKeyInfo(site.key, nullptr, nullptr, &count, nullptr, nullptr);
    const int highest = LOGCOMN_MaxDemoInList(site.own.name.c_str());
    int best = -1;
    for (int i = 0; result == 0 && i < count; ++i) {
        if (i == site.own.index) continue;
        Record record;
        result = ReadRecord(site.key, i, &record);
        for (const char* p = record.name.c_str(); result == 0 && *p != '\0';) {
            char* end = nullptr;
            long id = std::strtol(p, &end, 10);
            if (end != p && id > highest && (best < 0 || id < best)) {
                best = static_cast<int>(id);
                *successor = record;
            }
            p = (end != p && end != nullptr) ? end : p + 1;
        }
    }
    return result;
}

// --- value data ---

struct ValueData {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

int PrepareData(const char* type, const char* text, ValueData* out) {
    if (type == nullptr || text == nullptr) return ERROR_LOGREG_WRITE_VALUE;
    if (SameNoCase(type, "REG_SZ")) {
        out->type = REG_SZ;
        out->bytes.assign(text, text + std::strlen(text) + 1);
    } else if (SameNoCase(type, "REG_DWORD")) {
        const int32_t value = LOGREG_ParseDword(text);
        out->type = REG_DWORD;
        out->bytes.resize(sizeof value);
        std::memcpy(out->bytes.data(), &value, sizeof value);
    } else if (SameNoCase(type, "REG_BINARY")) {
        uint32_t size = 0;
        int result = SYS_ResourceSize(nullptr, text, MAKEINTRESOURCEA(10), &size);
        if (result != 0) return result;
        out->type = REG_BINARY;
        out->bytes.resize(size);
        result = SYS_LoadResource(nullptr, text, MAKEINTRESOURCEA(10), out->bytes.data(), size, nullptr);
        if (result != 0) return result;
    } else {
        return ERROR_LOGREG_UNKNOWN_TYPE;
    }
    return 0;
}

int WriteData(HKEY key, const char* value_name, const ValueData& data) {
    LSTATUS status = RegSetValueExA(key, RegistryName(value_name), 0, data.type, data.bytes.data(),
                                    static_cast<DWORD>(data.bytes.size()));
    return status == ERROR_SUCCESS ? 0 : ERROR_LOGREG_WRITE_VALUE;
}

// --- one line ---

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) pieces.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

int ChangeRegistry(int demo_id, const char* operation_text, const char* key_path, const char* data_type,
                   const char* value_name, const char* value_data, const char* uninstall, const char* install) {
    g_demoId = demo_id;
    g_demoText = std::to_string(demo_id);
    if (!COMMON_IsTrue(install)) return 0;
    if (key_path == nullptr || key_path[0] == '\0') return ERROR_LOGREG_KEY_DOESNT_EXIT;
    const Operation operation = FindOperation(operation_text);
    if (operation == Operation::Unknown) return ERROR_LOGREG_UNKNOWN_OPERATION;
    const bool creates = operation != Operation::DeleteKey && operation != Operation::DeleteValue;
    const bool on_key = operation == Operation::AddKey || operation == Operation::DeleteKey;

    ZYNLOG_KEY log = nullptr;
    if (COMMON_IsTrue(uninstall)) {
        ZYNLOG_KEY common = nullptr;
        int result = ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, LOGCOMN_COMMON_KEY, &common);
        if (result == 0) result = ZYNLOG_CreateKey(common, LOGREG_KEY, &log);
        if (result != 0) return result;
    }
    std::string path = key_path, target;
    bool has_target = false;
    if (on_key) {
        if (size_t cut = path.rfind('\\'); cut != std::string::npos) {
            target = path.substr(cut + 1);
            path.resize(cut);
            has_target = true;
        }
    }
    const std::vector<std::string> pieces = SplitPath(path);
    Held current;
    if (int result = OpenHeld(nullptr, nullptr, pieces.empty() ? "" : pieces[0].c_str(), false, &current);
        result != 0) {
        return result;
    }
    if (log != nullptr) {
        if (int result = ZYNLOG_CreateKey(log, pieces[0].c_str(), &log); result != 0) return result;
    }
    for (size_t i = 1; i < pieces.size(); ++i) {
        Held next;
        if (creates) {
            HKEY key = nullptr;
            int result = LOGREG_CreateKey(current.get(), log, pieces[i].c_str(), &key, log != nullptr ? &log : nullptr);
            if (result != 0) return result;
            next.owned.reset(key);
        } else {
            // Nothing to delete below a key that is not there.
            if (OpenHeld(current.get(), nullptr, pieces[i].c_str(), false, &next) != 0) return 0;
            if (log != nullptr) {
                if (int result = ZYNLOG_CreateKey(log, pieces[i].c_str(), &log); result != 0) return result;
            }
        }
        current = std::move(next);
    }
    const char* name = value_name != nullptr ? value_name : "";
    switch (operation) {
        case Operation::AddKey: {
            if (!has_target) return 0;
            HKEY key = nullptr;
            int result = LOGREG_CreateKey(current.get(), log, target.c_str(), &key, nullptr);
            zyn::RegKey created(key);
            return result;
        }
        case Operation::DeleteKey:
            return has_target ? LOGREG_DeleteKey(current.get(), log, target.c_str()) : 0;
        case Operation::DeleteValue:
            return LOGREG_DeleteValue(current.get(), log, name);
        default:
            return LOGREG_SetValue(current.get(), log, name, value_data, data_type, operation_text);
    }
}

// --- undo ---

// Registry work of an undo step needs the key that holds N; without it (gone since the
// install) only the records are settled.
int DeleteTreeIfThere(HKEY parent, const std::string& name) {
    return KeyExists(parent, name.c_str()) ? LOGREG_DeleteKeyTree(parent, name.c_str()) : 0;
}

int RemoveValueIfThere(HKEY key, const std::string& name) {
    return ValueExists(key, name.c_str()) ? LOGREG_RemoveValue(key, name.c_str()) : 0;
}

int UndoKeyAdded(HKEY parent, const char* name, const Site& site) {
    const Record &own = site.own, &earlier = site.earlier, &later = site.later;
    if (earlier.kind == LOGREG_RECORD_KEY_ADDED || later.kind == LOGREG_RECORD_KEY_ADDED) {
        return LeaveRecord(site, own);
    }
    int result = 0;
    if (!later.present()) {
        result = DeleteTreeIfThere(parent, name);
    } else {
        // A later demo deleted the key: its backup holds only what this demo added.
        if (earlier.kind == LOGREG_RECORD_KEY_DELETED) result = MergeEarlierWithLater(site);
        if (result == 0 && !later.backup().empty()) result = DeleteTreeIfThere(parent, later.backup());
        if (result == 0) result = DropLater(site);
    }
    return result != 0 ? result : ZYNLOG_DeleteValue(site.key, own.name.c_str());
}

int UndoKeyDeleted(HKEY parent, const char* name, const Site& site) {
    const Record &own = site.own, &earlier = site.earlier, &later = site.later;
    if (earlier.kind == LOGREG_RECORD_KEY_DELETED || later.kind == LOGREG_RECORD_KEY_DELETED) {
        return LeaveRecord(site, own);
    }
    const std::string backup = own.backup();
    int result = 0;
    if (!later.present()) {
        if (parent != nullptr && !backup.empty() && !KeyExists(parent, name)) {
            Held restored, saved;
            result = OpenHeld(parent, nullptr, name, true, &restored);
            if (result == 0) result = OpenHeld(parent, nullptr, backup.c_str(), true, &saved);
            if (result == 0) result = LOGREG_CopyKeyTree(saved.get(), restored.get());
        }
    } else {
        // A later demo created the key again and keeps it as it made it.
        if (earlier.kind == LOGREG_RECORD_KEY_ADDED) result = MergeEarlierWithLater(site);
        if (result == 0) result = DropLater(site);
    }
    if (result == 0 && !backup.empty()) result = DeleteTreeIfThere(parent, backup);
    return result != 0 ? result : ZYNLOG_DeleteValue(site.key, own.name.c_str());
}

int UndoValueAdded(HKEY parent, const char* name, const Site& site) {
    const Record &own = site.own, &earlier = site.earlier, &later = site.later;
    int result = 0;
    if (!later.present()) {
        result = RemoveValueIfThere(parent, name);
    } else {
        // The later demo's backup holds this demo's value: nobody needs it any more.
        if (!later.backup().empty()) result = RemoveValueIfThere(parent, later.backup());
        if (result == 0 && later.kind == LOGREG_RECORD_VALUE_CHANGED) {
            result = ZYNLOG_SetValue(site.key, later.name.c_str(), LOGREG_VALUE_ADDED);
        } else if (result == 0 && earlier.kind == LOGREG_RECORD_VALUE_DELETED) {
            result = MergeEarlierWithLater(site);
            if (result == 0) result = DropLater(site);
        }
    }
    return result != 0 ? result : ZYNLOG_DeleteValue(site.key, own.name.c_str());
}

int UndoValueChanged(HKEY parent, const char* name, const Site& site) {
    const Record &own = site.own, &later = site.later;
    const std::string backup = own.backup();
    int result = 0;
    if (!later.present()) {
        if (!backup.empty() && ValueExists(parent, backup.c_str())) {
            result = LOGREG_CopyValue(parent, backup.c_str(), parent, name);
            if (result == 0) result = LOGREG_RemoveValue(parent, backup.c_str());
        }
    } else {
        // The later demo inherits the value from before this demo.
        if (!later.backup().empty()) result = RemoveValueIfThere(parent, later.backup());
        std::string data = std::string(LOGREG_RecordMarker(later.kind)) + "," + backup;
        if (result == 0) result = ZYNLOG_SetValue(site.key, later.name.c_str(), data.c_str());
    }
    return result != 0 ? result : ZYNLOG_DeleteValue(site.key, own.name.c_str());
}

int UndoValueDeleted(HKEY parent, const char* name, const Site& site) {
    const Record &own = site.own, &earlier = site.earlier, &later = site.later;
    if (earlier.kind == LOGREG_RECORD_VALUE_DELETED || later.kind == LOGREG_RECORD_VALUE_DELETED) {
        return LeaveRecord(site, own);
    }
    const std::string backup = own.backup();
    int result = 0;
    if (!later.present()) {
        if (!backup.empty() && ValueExists(parent, backup.c_str())) {
            if (!ValueExists(parent, name)) result = LOGREG_CopyValue(parent, backup.c_str(), parent, name);
            if (result == 0) result = LOGREG_RemoveValue(parent, backup.c_str());
        }
    } else if (!earlier.present()) {
        // A later demo set the value again: its value stays, the one from before is not needed.
        result = DropLater(site);
        if (result == 0 && !backup.empty()) result = RemoveValueIfThere(parent, backup);
    } else {
        std::string data = std::string(LOGREG_VALUE_CHANGED) + "," + backup;
        result = ZYNLOG_SetValue(site.key, later.name.c_str(), data.c_str());
    }
    return result != 0 ? result : ZYNLOG_DeleteValue(site.key, own.name.c_str());
}

using UndoStep = int (*)(HKEY parent, const char* name, const Site& site);

struct UndoEntry {
    LOGREG_RECORD kind;
    UndoStep undo;
};

constexpr UndoEntry kUndo[] = {
    {LOGREG_RECORD_KEY_ADDED, UndoKeyAdded},         {LOGREG_RECORD_KEY_DELETED, UndoKeyDeleted},
    {LOGREG_RECORD_VALUE_ADDED, UndoValueAdded},     {LOGREG_RECORD_VALUE_CHANGED, UndoValueChanged},
    {LOGREG_RECORD_VALUE_DELETED, UndoValueDeleted},
};

bool IsKeyKind(LOGREG_RECORD kind) {
    return kind == LOGREG_RECORD_KEY_ADDED || kind == LOGREG_RECORD_KEY_DELETED;
}

// parent is null at the top (name is a root name) and where the key standing for the
// parent log key is gone; top tells the two apart.
int UndoWalk(HKEY parent, bool top, ZYNLOG_KEY parent_log, const char* name) {
    ZYNLOG_KEY key = nullptr;
    int result = ZYNLOG_OpenKey(parent_log, name, &key);
    Site site;
    if (result == 0) result = ReadSite(key, &site);
    if (result != 0) return result;
    for (const Record* record : {&site.own, &site.earlier, &site.later}) {
        if (record->kind == LOGREG_RECORD_UNKNOWN) return ERROR_LOGREG_UNKNOWN_OPERATION;
    }
    // Which registry key stands for this log key while its children are undone.
    bool descend = true;
    std::string standing = name;
    switch (site.own.kind) {
        case LOGREG_RECORD_KEY_ADDED: {
            // A later demo that deleted the key keeps what this demo put in it in its backup.
            Record successor;
            result = FindSuccessor(site, &successor);
            if (result != 0) return result;
            if (successor.kind == LOGREG_RECORD_KEY_DELETED) standing = successor.backup();
            break;
        }
        case LOGREG_RECORD_KEY_DELETED:
            standing = site.own.backup();
            break;
        case LOGREG_RECORD_NONE:
            if (site.later.kind == LOGREG_RECORD_KEY_DELETED) {
                standing = site.later.backup();
            } else if (site.later.present()) {
                descend = false;
            }
            break;
        default:
            descend = false;
            break;
    }
    Held held;
    if (descend && (top || parent != nullptr)) {
        result = OpenHeld(parent, nullptr, standing.c_str(), false, &held);
        // A root name the log should never hold; a key gone since is only settled in the log.
        if (top && result != 0) return result;
    }
    if (descend) {
        int count = 0;
        result = ZYNLOG_QueryKeyInfo(key, &count, nullptr, nullptr, nullptr, nullptr);
        char child[kNameSize];
        for (int i = count - 1; result == 0 && i >= 0; --i) {
            result = ZYNLOG_EnumKey(key, i, child, sizeof child);
            if (result == 0) result = UndoWalk(held.get(), false, key, child);
        }
        if (result != 0) return result;
    }
    if (site.own.present() && !(top && IsKeyKind(site.own.kind))) {
        for (const UndoEntry& entry : kUndo) {
            if (entry.kind == site.own.kind) result = entry.undo(top ? nullptr : parent, name, site);
        }
        if (result != 0) return result;
        LOGUNINS_Progress(1);
    }
    held = Held();
    result = LOGCOMN_TidyKey(parent_log, key, name);
    return result < 0 ? result : 0;
}

}  // namespace

int LOGREG_Install(int demo_id, const char* section, int action) {
    if (action != PLIST_INSTALL && action != PLIST_EXCLUSIVE_TEST) return ERROR_PLIST_UNKNOWN_ACTION;
    char name[LOGFILE_TOKEN_SIZE];
    std::snprintf(name, sizeof name, "%s", section != nullptr ? section : "");
    // Every section of the fixed list must be in the script: a missing one stops the
    // install here, in the check pass as well, rather than passing for a refusal.
    if (int result = INF_FindSection(name); result != 0) ZYNERROR_Fatal(result, kSource, __LINE__);
    char tokens[kColumns][LOGFILE_TOKEN_SIZE];
    for (;;) {
        int result = INF_ReadTokens(&tokens[0][0], kColumns, LOGFILE_TOKEN_SIZE);
        if (result == 1) return 0;
        if (result != 0) return result;
        for (auto& token : tokens) {
            if (result = VAR_Substitute(token, token, LOGFILE_TOKEN_SIZE); result != 0) return result;
        }
        if (action == PLIST_EXCLUSIVE_TEST) {
            // Any registry change makes the demo non-exclusive.
            if (COMMON_IsTrue(tokens[6])) return ERROR_PLIST_EXCLUSIVE;
            continue;
        }
        result = LOGREG_ChangeRegistry(demo_id, tokens[0], tokens[1], tokens[2], tokens[3], tokens[4], tokens[5],
                                       tokens[6]);
        if (result != 0) return result;
    }
}

int LOGREG_ChangeRegistry(int demo_id, const char* operation, const char* key_path, const char* data_type,
                          const char* value_name, const char* value_data, const char* uninstall,
                          const char* install) {
    try {
        return ChangeRegistry(demo_id, operation, key_path, data_type, value_name, value_data, uninstall, install);
    } catch (const std::bad_alloc&) {
        return ERROR_LOGREG_MEMORY_ALLOCATE;
    }
}

int LOGREG_Uninstall(ZYNLOG_KEY key, int demo_id) {
    g_demoId = demo_id;
    try {
        g_demoText = std::to_string(demo_id);
        int count = 0;
        int result = ZYNLOG_QueryKeyInfo(key, &count, nullptr, nullptr, nullptr, nullptr);
        char root[kNameSize];
        for (int i = count - 1; result == 0 && i >= 0; --i) {
            result = ZYNLOG_EnumKey(key, i, root, sizeof root);
            if (result == 0) result = UndoWalk(nullptr, true, key, root);
        }
        return result;
    } catch (const std::bad_alloc&) {
        return ERROR_LOGREG_MEMORY_ALLOCATE;
    }
}

int LOGREG_UndoWalk(HKEY parent, ZYNLOG_KEY parent_log, const char* name) {
    try {
        return UndoWalk(parent, parent == nullptr, parent_log, name);
    } catch (const std::bad_alloc&) {
        return ERROR_LOGREG_MEMORY_ALLOCATE;
    }
}

int LOGREG_OpenKey(HKEY parent, const char* key_class, const char* name, int create, HKEY* key) {
    *key = nullptr;
    if (parent == nullptr) {
        for (const RootKey& root : kRoots) {
            if (SameNoCase(name, root.name)) {
                *key = root.key;
                return 0;
            }
        }
        COMMON_DebugPrint("Unknown key: %s \n\r", name);
        return ERROR_LOGREG_UNKNOWN_BASE_KEY;
    }
    if (create) {
        char* cls = key_class != nullptr && key_class[0] != '\0' ? const_cast<char*>(key_class) : nullptr;
        return RegCreateKeyExA(parent, name, 0, cls, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key,
                               nullptr) == ERROR_SUCCESS
                   ? 0
                   : ERROR_LOGREG_CREATE_KEY;
    }
    return RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, key) == ERROR_SUCCESS ? 0 : ERROR_LOGREG_OPEN_KEY;
}

int LOGREG_CreateKey(HKEY parent, ZYNLOG_KEY parent_log, const char* name, HKEY* key, ZYNLOG_KEY* log_key) {
    *key = nullptr;
    if (log_key != nullptr) *log_key = nullptr;
    if (name == nullptr || name[0] == '\0') return 0;
    try {
        if (parent_log != nullptr) {
            const bool exists = KeyExists(parent, name);
            Site site;
            int result = OpenSite(parent_log, name, &site);
            if (result != 0) return result;
            if (site.earlier.kind == LOGREG_RECORD_KEY_ADDED) {
                result = ShareRecord(site, site.earlier);
            } else if (site.earlier.present() || !exists) {
                result = WriteRecord(site.key, LOGREG_RECORD_KEY_ADDED);
            }
            if (result != 0) return result;
            if (log_key != nullptr) *log_key = site.key;
        }
        return LOGREG_OpenKey(parent, nullptr, name, 1, key);
    } catch (const std::bad_alloc&) {
        return ERROR_LOGREG_MEMORY_ALLOCATE;
    }
}

int LOGREG_DeleteKey(HKEY parent, ZYNLOG_KEY parent_log, const char* name) {
    if (name == nullptr || name[0] == '\0') return 0;
    try {
        if (parent_log != nullptr) {
            const bool exists = KeyExists(parent, name);
            Site site;
            int result = OpenSite(parent_log, name, &site);
            if (result != 0) return result;
            if (OwnedAlone(site.own) && site.own.kind == LOGREG_RECORD_KEY_ADDED) {
                // The demo takes back a key of its own: nothing to restore later.
                result = ZYNLOG_DeleteValue(site.key, site.own.name.c_str());
            } else if (site.own.kind == LOGREG_RECORD_KEY_DELETED) {
                // Deleted before by this demo: the first backup is the one to keep.
            } else if (site.earlier.kind == LOGREG_RECORD_KEY_DELETED) {
                result = ShareRecord(site, site.earlier);
            } else if (site.earlier.present() || exists) {
                std::string backup;
                Held source, copy;
                result = FreeBackupName(parent, true, &backup);
                if (result == 0) result = OpenHeld(parent, nullptr, name, true, &source);
                if (result == 0) result = OpenHeld(parent, nullptr, backup.c_str(), true, &copy);
                if (result == 0) result = LOGREG_CopyKeyTree(source.get(), copy.get());
                if (result == 0) result = WriteRecord(site.key, LOGREG_RECORD_KEY_DELETED, backup);
            }
            if (result != 0) return result;
        }
        return KeyExists(parent, name) ? LOGREG_DeleteKeyTree(parent, name) : 0;
    } catch (const std::bad_alloc&) {
        return ERROR_LOGREG_MEMORY_ALLOCATE;
    }
}

int LOGREG_SetValue(HKEY key, ZYNLOG_KEY log_key, const char* value_name, const char* data, const char* type,
                    const char* operation) {
    if (value_name == nullptr || value_name[0] == '\0') return 0;
    try {
        const bool exists = ValueExists(key, value_name);
        const Operation op = FindOperation(operation);
        if ((op == Operation::SetValueExist && !exists) || (op == Operation::SetValueNotExist && exists)) return 0;
        // The data is made ready first, so that a bad type or a missing resource changes nothing.
        ValueData value;
        int result = PrepareData(type, data, &value);
        if (result != 0) return result;
        if (log_key != nullptr) {
            Site site;
            result = OpenSite(log_key, value_name, &site);
            if (result != 0) return result;
            const LOGREG_RECORD own = site.own.kind;
            if (own == LOGREG_RECORD_VALUE_ADDED || own == LOGREG_RECORD_VALUE_CHANGED) {
                // Set before by this demo: its first record already tells what to give back.
            } else if (own == LOGREG_RECORD_VALUE_DELETED && OwnedAlone(site.own)) {
                result = WriteRecord(site.key, LOGREG_RECORD_VALUE_CHANGED, site.own.backup());
            } else {
                if (own == LOGREG_RECORD_VALUE_DELETED) result = LeaveRecord(site, site.own);
                if (result == 0 && (site.earlier.kind == LOGREG_RECORD_VALUE_DELETED || !exists)) {
                    result = WriteRecord(site.key, LOGREG_RECORD_VALUE_ADDED);
                } else if (result == 0) {
                    std::string backup;
                    result = FreeBackupName(key, false, &backup);
                    if (result == 0) result = LOGREG_CopyValue(key, value_name, key, backup.c_str());
                    if (result == 0) result = WriteRecord(site.key, LOGREG_RECORD_VALUE_CHANGED, backup);
                }
            }
            if (result != 0) return result;
        }
        return WriteData(key, value_name, value);
    } catch (const std::bad_alloc&) {
        return ERROR_LOGREG_MEMORY_ALLOCATE;
    }
}

int LOGREG_DeleteValue(HKEY key, ZYNLOG_KEY log_key, const char* value_name) {
    if (value_name == nullptr || !ValueExists(key, value_name)) return 0;
    try {
        if (log_key != nullptr) {
            Site site;
            int result = OpenSite(log_key, value_name, &site);
            if (result != 0) return result;
            if (site.own.kind == LOGREG_RECORD_VALUE_ADDED) {
                // The demo takes back a value of its own.
                result = ZYNLOG_DeleteValue(site.key, site.own.name.c_str());
            } else if (site.own.kind == LOGREG_RECORD_VALUE_CHANGED) {
                result = WriteRecord(site.key, LOGREG_RECORD_VALUE_DELETED, site.own.backup());
            } else if (site.earlier.kind == LOGREG_RECORD_VALUE_DELETED) {
                result = ShareRecord(site, site.earlier);
            } else {
                std::string backup;
                result = FreeBackupName(key, false, &backup);
                if (result == 0) result = LOGREG_CopyValue(key, value_name, key, backup.c_str());
                if (result == 0) result = WriteRecord(site.key, LOGREG_RECORD_VALUE_DELETED, backup);
            }
            if (result != 0) return result;
        }
        return LOGREG_RemoveValue(key, value_name);
    } catch (const std::bad_alloc&) {
        return ERROR_LOGREG_MEMORY_ALLOCATE;
    }
}

int LOGREG_CopyKeyTree(HKEY source, HKEY target) {
    DWORD keys = 0, longest_key = 0, longest_class = 0, values = 0, longest_value = 0, longest_data = 0;
    if (RegQueryInfoKeyA(source, nullptr, nullptr, nullptr, &keys, &longest_key, &longest_class, &values,
                         &longest_value, &longest_data, nullptr, nullptr) != ERROR_SUCCESS) {
        return ERROR_LOGREG_QUERY_KEY;
    }
    try {
        // Lengths come back in characters: room for a multi-byte code page as well.
        std::vector<char> name(2 * longest_key + 2), key_class(2 * longest_class + 2);
        for (DWORD i = 0; i < keys; ++i) {
            DWORD name_size = static_cast<DWORD>(name.size()), class_size = static_cast<DWORD>(key_class.size());
            if (RegEnumKeyExA(source, i, name.data(), &name_size, nullptr, key_class.data(), &class_size,
                              nullptr) != ERROR_SUCCESS) {
                return ERROR_LOGREG_ENUM_KEY;
            }
            Held from, to;
            int result = OpenHeld(source, nullptr, name.data(), false, &from);
            if (result == 0) result = OpenHeld(target, key_class.data(), name.data(), true, &to);
            if (result == 0) result = LOGREG_CopyKeyTree(from.get(), to.get());
            if (result != 0) return result;
        }
        std::vector<char> value(2 * longest_value + 2);
        std::vector<BYTE> data(2 * longest_data + 2);
        for (DWORD i = 0; i < values; ++i) {
            DWORD value_size = static_cast<DWORD>(value.size()), data_size = static_cast<DWORD>(data.size());
            DWORD type = 0;
            if (RegEnumValueA(source, i, value.data(), &value_size, nullptr, &type, data.data(), &data_size) !=
                ERROR_SUCCESS) {
                return ERROR_LOGREG_READ_VALUE;
            }
            if (RegSetValueExA(target, value.data(), 0, type, data.data(), data_size) != ERROR_SUCCESS) {
                return ERROR_LOGREG_WRITE_VALUE;
            }
        }
        return 0;
    } catch (const std::bad_alloc&) {
        return ERROR_LOGREG_MEMORY_ALLOCATE;
    }
}

int LOGREG_DeleteKeyTree(HKEY parent, const char* name) {
    Held key;
    if (int result = OpenHeld(parent, nullptr, name, false, &key); result != 0) return result;
    // Deleting shifts the indices: always take the first sub-key until none is left.
    char child[kNameSize];
    for (;;) {
        DWORD size = sizeof child;
        if (RegEnumKeyExA(key.get(), 0, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (int result = LOGREG_DeleteKeyTree(key.get(), child); result != 0) return result;
    }
    key = Held();
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS ? 0 : ERROR_LOGREG_DELETE_KEY;
}

int LOGREG_WriteValue(HKEY key, const char* value_name, const char* type, const char* data) {
    if (value_name == nullptr) return ERROR_LOGREG_WRITE_VALUE;
    try {
        ValueData value;
        int result = PrepareData(type, data, &value);
        return result != 0 ? result : WriteData(key, value_name, value);
    } catch (const std::bad_alloc&) {
        return ERROR_LOGREG_MEMORY_ALLOCATE;
    }
}

int LOGREG_CopyValue(HKEY key, const char* source_name, HKEY target, const char* target_name) {
    DWORD longest_data = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longest_data, nullptr, nullptr) != ERROR_SUCCESS) {
        return ERROR_LOGREG_QUERY_KEY;
    }
    try {
        std::vector<BYTE> data(2 * longest_data + 2);
        DWORD type = 0, size = static_cast<DWORD>(data.size());
        if (RegQueryValueExA(key, RegistryName(source_name), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
            return ERROR_LOGREG_READ_VALUE;
        }
        return RegSetValueExA(target, RegistryName(target_name), 0, type, data.data(), size) == ERROR_SUCCESS
                   ? 0
                   : ERROR_LOGREG_WRITE_VALUE;
    } catch (const std::bad_alloc&) {
        return ERROR_LOGREG_MEMORY_ALLOCATE;
    }
}

int LOGREG_RemoveValue(HKEY key, const char* value_name) {
    const char* name = RegistryName(value_name);
    LSTATUS status = name[0] == '\0' ? RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1)
                                     : RegDeleteValueA(key, name);
    return status == ERROR_SUCCESS ? 0 : ERROR_LOGREG_DELETE_VALUE;
}
