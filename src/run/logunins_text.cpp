// The uninstall's walk over the loaded change log: which sub-keys go in which pass,
// the handler each key name selects, and the counts the driver needs beforehand.
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "log/logcomn.h"
#include "run/logunins.h"
#include "script/common.h"

namespace {

// Undone before any file is deleted: a DLL is unregistered and a registry value or INI
// entry put back while the files they point to still exist.
constexpr std::array<std::string_view, 4> kFirstPassKeys{"Register DLL", "Launch", "Reg32", "INI Settings"};

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && COMMON_CompareNoCase(a.data(), b.data(), a.size()) == 0;
}

const LOGUNINS_ENTRY* FindHandler(const char* name, const LOGUNINS_ENTRY* table, int count) {
    for (int i = 0; i < count; ++i) {
        if (EqualNoCase(name, table[i].keyName)) return &table[i];
    }
    return nullptr;
}

// One pass over the sub-keys of top; sub-keys of the other pass are stepped over.
int ReplayPass(ZYNLOG_KEY top, bool first_pass, int demo_id, const LOGUNINS_ENTRY* table, int count) {
    char name[ZYNLOG_MAX_KEY_NAME];
    for (int index = 0;;) {
        int result = ZYNLOG_EnumKey(top, index, name, sizeof name);
        if (result == ERROR_ZYNLOG_SUB_KEY_NOT_FOUND) return 0;
        if (result != 0) return result;
        if ((LOGUNINS_IsFirstPassKey(name) == 1) != first_pass) {
            ++index;
            continue;
        }
        ZYNLOG_KEY key = nullptr;
        if (result = ZYNLOG_OpenKey(top, name, &key); result != 0) return result;
        const LOGUNINS_ENTRY* entry = FindHandler(name, table, count);
        if (entry == nullptr) return ERROR_LOGUNINS_UNHANDLED_KEY;
        if (result = entry->handler(key, demo_id); result < 0) return result;
        result = LOGCOMN_TidyKey(top, key, name);
        if (result < 0) return result;
        // A removed key's successor now has its index.
        if (result != 1) ++index;
    }
}

int CountValues(ZYNLOG_KEY key) {
    int sub_keys = 0, values = 0;
    if (ZYNLOG_QueryKeyInfo(key, &sub_keys, nullptr, &values, nullptr, nullptr) != 0) return 0;
    char name[ZYNLOG_MAX_KEY_NAME];
    for (int i = 0; i < sub_keys; ++i) {
        ZYNLOG_KEY sub = nullptr;
        if (ZYNLOG_EnumKey(key, i, name, sizeof name) == 0 && ZYNLOG_OpenKey(key, name, &sub) == 0) {
            values += CountValues(sub);
        }
    }
    return values;
}

// The id of a register value named "Demo <id>" as the log writes it; -1 for any other name.
int RegisteredId(std::string_view name) {
    constexpr std::string_view kPrefix = "Demo ";
    if (name.size() <= kPrefix.size() || !EqualNoCase(name.substr(0, kPrefix.size()), kPrefix)) return -1;
    std::string digits(name.substr(kPrefix.size()));
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
    int id = std::atoi(digits.c_str());
    return std::to_string(id) == digits ? id : -1;
}

}  // namespace

int LOGUNINS_IsFirstPassKey(const char* key_name) {
    if (key_name == nullptr) return 0;
    for (std::string_view first : kFirstPassKeys) {
        if (EqualNoCase(key_name, first)) return 1;
    }
    return 0;
}

int LOGUNINS_ReplayKeyWith(ZYNLOG_KEY parent, const char* key_name, int demo_id, const LOGUNINS_ENTRY* table,
                           int count) {
    ZYNLOG_KEY top = nullptr;
    if (int result = ZYNLOG_OpenKey(parent, key_name, &top); result != 0) return result;
    if (int result = ReplayPass(top, true, demo_id, table, count); result != 0) return result;
    return ReplayPass(top, false, demo_id, table, count);
}

int LOGUNINS_CountValues(ZYNLOG_KEY key) { return key == nullptr ? 0 : CountValues(key); }

int LOGUNINS_IsOnlyDemo(int demo_id) {
    ZYNLOG_KEY header = nullptr;
    if (ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, LOGCOMN_HEADER_KEY, &header) != 0) return 0;
    int values = 0, longest_name = 0, longest_data = 0;
    if (ZYNLOG_QueryKeyInfo(header, nullptr, nullptr, &values, &longest_name, &longest_data) != 0) return 0;
    std::vector<char> name(static_cast<size_t>(longest_name) + 1), data(static_cast<size_t>(longest_data) + 1);
    int max_demo = 0;
    if (ZYNLOG_GetValue(header, LOGCOMN_MAX_DEMO, data.data(), static_cast<int>(data.size())) == 0) {
        max_demo = std::atoi(data.data());
    }
    // Only the ids below "Max Demo" count as installed, as the register hands them out.
    int registered = 0;
    bool found = false;
    for (int i = 0; i < values; ++i) {
        if (ZYNLOG_EnumValue(header, i, name.data(), static_cast<int>(name.size()), data.data(),
                             static_cast<int>(data.size())) != 0) {
            continue;
        }
        int id = RegisteredId(name.data());
        if (id < 0 || id >= max_demo) continue;
        ++registered;
        found = found || id == demo_id;
    }
    return registered == 1 && found ? 1 : 0;
}
