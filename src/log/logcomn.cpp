#include "log/logcomn.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

int g_demo_id = -1;  // the demo created in this run, -1 before LOGCOMN_NewDemo

std::string DemoName(int demo_id) { return "Demo " + std::to_string(demo_id); }

// Leading digits with an optional sign, 0 when there are none (the C library's rule).
int ToInt(std::string_view text) {
    std::string copy(text);
    long value = std::strtol(copy.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// Calls visit for each non-empty token of text: tokens end at a separator, skip
// characters before a token are passed over, trailing blanks are not part of it.
template <class Visit>
void ForEachToken(std::string_view text, std::string_view separators, std::string_view skip, Visit visit) {
    size_t at = 0;
    while (at <= text.size()) {
        while (at < text.size() && skip.find(text[at]) != std::string_view::npos) ++at;
        size_t end = at;
        while (end < text.size() && separators.find(text[end]) == std::string_view::npos) ++end;
        std::string_view token = text.substr(at, end - at);
        while (!token.empty() && token.back() == ' ') token.remove_suffix(1);
        if (!token.empty()) visit(token);
        at = end + 1;
    }
}

template <class Visit>
void ForEachId(std::string_view list, Visit visit) {
    ForEachToken(list, ",", " ", visit);
}

std::string_view Text(const char* text) { return text ? std::string_view(text) : std::string_view(); }

// A value of key read through a buffer as long as the key's longest data plus one,
// so that every read fits.
int ReadValue(ZYNLOG_KEY key, const char* name, std::string& data) {
    int longest = 0;
    if (int result = ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, nullptr, nullptr, &longest); result != 0)
        return result;
    std::vector<char> buffer(static_cast<size_t>(longest) + 1);
    if (int result = ZYNLOG_GetValue(key, name, buffer.data(), static_cast<int>(buffer.size())); result != 0)
        return result;
    data = buffer.data();
    return 0;
}

// "Max Demo" of the register; a missing value counts as 0.
int ReadMaxDemo(ZYNLOG_KEY header, int* max_demo) {
    std::string text;
    int result = ReadValue(header, LOGCOMN_MAX_DEMO, text);
    if (result == ERROR_ZYNLOG_VALUE_NOT_FOUND) text.clear();
    else if (result != 0) return result;
    *max_demo = ToInt(text);
    return 0;
}

int NewDemo(const char* demo_name, int* demo_id) {
    ZYNLOG_KEY header = nullptr;
    if (int result = ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, LOGCOMN_HEADER_KEY, &header); result != 0) return result;
    int id = 0;
    if (int result = ReadMaxDemo(header, &id); result != 0) return result;
    if (demo_id != nullptr) *demo_id = id;
    if (int result = ZYNLOG_SetValue(header, LOGCOMN_MAX_DEMO, std::to_string(id + 1).c_str()); result != 0)
        return result;
    std::string name = DemoName(id);
    if (int result = ZYNLOG_SetValue(header, name.c_str(), demo_name ? demo_name : ""); result != 0) return result;
    ZYNLOG_KEY demo_key = nullptr;
    int result = ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, name.c_str(), &demo_key);
    // A failing autosave still leaves the key made: it is the current demo key.
    if (demo_key != nullptr) g_demo_id = id;
    return result;
}

int ReleaseDemo(int demo_id) {
    ZYNLOG_KEY header = nullptr;
    if (int result = ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, LOGCOMN_HEADER_KEY, &header); result != 0) return result;
    int max_demo = 0;
    if (int result = ReadMaxDemo(header, &max_demo); result != 0) return result;
    if (demo_id == max_demo - 1) {
        int next = 0;
        for (int id = demo_id - 1; id >= 0; --id) {
            std::string ignored;
            int result = ReadValue(header, DemoName(id).c_str(), ignored);
            if (result == 0) {
                next = id + 1;
                break;
            }
            if (result != ERROR_ZYNLOG_VALUE_NOT_FOUND) return result;
        }
        if (int result = ZYNLOG_SetValue(header, LOGCOMN_MAX_DEMO, std::to_string(next).c_str()); result != 0)
            return result;
    }
    return ZYNLOG_DeleteValue(header, DemoName(demo_id).c_str());
}

int FindDemoNeighbours(ZYNLOG_KEY key, int demo_id, std::string_view separators, std::string_view skip, int* exact,
                       int* exact_index, int* higher, int* higher_index, int* lower, int* lower_index) {
    int found_exact = -1, found_exact_index = 0;
    int found_higher = -1, found_higher_index = 0;
    int found_lower = -1, found_lower_index = 0;
    int count = 0, longest_name = 0, longest_data = 0;
    if (int result = ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &count, &longest_name, &longest_data); result != 0)
        return result;
    std::vector<char> name(static_cast<size_t>(longest_name) + 1);
    std::vector<char> data(static_cast<size_t>(longest_data) + 1);
    // From the last value to the first, replacing on equal ids: the front-most value wins.
    for (int index = count - 1; index >= 0; --index) {
        if (int result = ZYNLOG_EnumValue(key, index, name.data(), static_cast<int>(name.size()), data.data(),
                                          static_cast<int>(data.size()));
            result != 0)
            return result;
        ForEachToken(name.data(), separators, skip, [&](std::string_view token) {
            int id = ToInt(token);
            if (id == demo_id) {
                found_exact = id;
                found_exact_index = index;
            } else if (id < demo_id) {
                if (found_lower == -1 || id >= found_lower) {
                    found_lower = id;
                    found_lower_index = index;
                }
            } else if (found_higher == -1 || id <= found_higher) {
                found_higher = id;
                found_higher_index = index;
            }
        });
    }
    if (exact != nullptr) *exact = found_exact;
    if (exact_index != nullptr) *exact_index = found_exact_index;
    if (higher != nullptr) *higher = found_higher;
    if (higher_index != nullptr) *higher_index = found_higher_index;
    if (lower != nullptr) *lower = found_lower;
    if (lower_index != nullptr) *lower_index = found_lower_index;
    return 0;
}

}  // namespace

int LOGCOMN_NewDemo(const char* demo_name, int* demo_id) {
    try {
        return NewDemo(demo_name, demo_id);
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int LOGCOMN_ReleaseDemo(int demo_id) {
    try {
        return ReleaseDemo(demo_id);
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int LOGCOMN_GetDemoName(int demo_id, char* buffer, int size) {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
    ZYNLOG_KEY header = nullptr;
    if (int result = ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, LOGCOMN_HEADER_KEY, &header); result != 0) return result;
    int longest = 0;
    if (int result = ZYNLOG_QueryKeyInfo(header, nullptr, nullptr, nullptr, nullptr, &longest); result != 0)
        return result;
    if (buffer == nullptr || size < longest + 1) return ERROR_LOGCOMN_BUFFER_TOO_SMALL;
    try {
        return ZYNLOG_GetValue(header, DemoName(demo_id).c_str(), buffer, size);
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int LOGCOMN_GetDemoKey(ZYNLOG_KEY* key) {
    if (key != nullptr) *key = nullptr;
    if (g_demo_id < 0) return ERROR_LOGCOMN_DEMO_KEY_NOT_SET;
    // Looked up by name rather than kept as a pointer, so that a log terminated and
    // loaded again never hands out the freed node.
    ZYNLOG_KEY found = nullptr;
    try {
        if (ZYNLOG_OpenKey(ZYNLOG_ROOT_KEY, DemoName(g_demo_id).c_str(), &found) != 0)
            return ERROR_LOGCOMN_DEMO_KEY_NOT_SET;
    } catch (const std::bad_alloc&) {
        return -1;
    }
    if (key != nullptr) *key = found;
    return 0;
}

int LOGCOMN_TidyKey(ZYNLOG_KEY parent, ZYNLOG_KEY key, const char* key_name) {
    int sub_keys = 0, values = 0;
    if (int result = ZYNLOG_QueryKeyInfo(key, &sub_keys, nullptr, &values, nullptr, nullptr); result != 0)
        return result;
    if (sub_keys != 0 || values != 0) return 2;
    if (int result = ZYNLOG_DeleteKey(parent, key_name); result != 0) return result;
    return 1;
}

int LOGCOMN_IsDemoInList(const char* list, int demo_id) {
    try {
        std::string id = std::to_string(demo_id);
        bool found = false;
        ForEachId(Text(list), [&](std::string_view token) { found = found || token == id; });
        return found ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int LOGCOMN_AddDemoToList(const char* list, int demo_id, char* out, int size) {
    try {
        std::string result(Text(list));
        if (!LOGCOMN_IsDemoInList(list, demo_id)) {
            // An empty list becomes the id alone rather than ",4".
            if (!result.empty()) result += ',';
            result += std::to_string(demo_id);
        }
        if (out == nullptr || size <= 0 || result.size() >= static_cast<size_t>(size))
            return ERROR_LOGCOMN_BUFFER_TOO_SMALL;
        std::memcpy(out, result.c_str(), result.size() + 1);
        return 0;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int LOGCOMN_RemoveDemoFromList(int demo_id, char* list) {
    if (list == nullptr) return 0;
    try {
        std::string id = std::to_string(demo_id);
        std::string kept;
        ForEachId(list, [&](std::string_view token) {
            if (token == id) return;
            if (!kept.empty()) kept += ',';
            kept += token;
        });
        // Never longer than the input: every kept id had at least its own comma there.
        std::memcpy(list, kept.c_str(), kept.size() + 1);
        return 0;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int LOGCOMN_MaxDemoInList(const char* list) {
    int highest = -1;
    bool any = false;
    try {
        ForEachId(Text(list), [&](std::string_view token) {
            int id = ToInt(token);
            if (!any || id > highest) highest = id;
            any = true;
        });
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return highest;
}

int LOGCOMN_FindDemoNeighbours(ZYNLOG_KEY key, int demo_id, const char* separators, const char* skip, int* exact,
                               int* exact_index, int* higher, int* higher_index, int* lower, int* lower_index) {
    try {
        return FindDemoNeighbours(key, demo_id, separators ? separators : ",", Text(skip), exact, exact_index,
                                  higher, higher_index, lower, lower_index);
    } catch (const std::bad_alloc&) {
        return -1;
    }
}
