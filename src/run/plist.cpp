// The section list.
#include "run/plist.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <list>
#include <new>
#include <string>

#include "script/common.h"
#include "script/module.h"

namespace {

struct Entry {
    int id;
    std::string name;
    PLIST_HANDLER handler;
};

std::list<Entry> g_entries;

std::string CutName(const char* name) {
    std::string text = name != nullptr ? name : "";
    if (text.size() >= static_cast<size_t>(PLIST_NAME_SIZE)) text.resize(PLIST_NAME_SIZE - 1);
    return text;
}

int CopyName(const std::string& name, char* buffer, int size) {
    if (size < 0 || static_cast<size_t>(size) <= name.size()) return ERROR_PLIST_BUFFER_TOO_SMALL;
    if (buffer != nullptr) std::memcpy(buffer, name.c_str(), name.size() + 1);
    return 0;
}

}  // namespace

int PLIST_Init() {
    // a refused second call must not list the terminator twice
    if (!g_entries.empty()) return ERROR_PLIST_INIT;
    MODULE_Register(PLIST_Terminate, 0);
    return 0;
}

int PLIST_Terminate() {
    g_entries.clear();
    MODULE_Unregister(PLIST_Terminate);
    return 0;
}

int PLIST_InsertAfter(int id, const char* name, PLIST_HANDLER handler, PLIST_HANDLER reference) {
    try {
        Entry entry{id, CutName(name), handler};
        auto after = g_entries.end();
        for (auto it = g_entries.end(); it != g_entries.begin();) {
            --it;
            if (it->handler == reference) {
                after = it;
                break;
            }
        }
        auto position = after == g_entries.end() ? g_entries.end() : std::next(after);
        g_entries.insert(position, std::move(entry));
        return 0;
    } catch (const std::bad_alloc&) {
        return ERROR_PLIST_MEMORY_ALLOCATE;
    }
}

int PLIST_Remove(int id, const char* name) {
    size_t before = g_entries.size();
    std::string wanted = CutName(name);
    g_entries.remove_if([&](const Entry& e) {
        return e.id == id && (name == nullptr || (wanted.size() == e.name.size() &&
                                                  COMMON_CompareNoCase(e.name.c_str(), wanted.c_str(), wanted.size()) == 0));
    });
    return g_entries.size() < before ? 0 : ERROR_PLIST_NOT_FOUND;
}

int PLIST_GetFirst(int* id, char* name, PLIST_HANDLER* handler) {
    if (g_entries.empty()) {
        if (id != nullptr) *id = -1;
        if (name != nullptr) name[0] = '\0';
        return ERROR_PLIST_NOT_FOUND;
    }
    const Entry& first = g_entries.front();
    if (id != nullptr) *id = first.id;
    if (name != nullptr) std::snprintf(name, PLIST_NAME_SIZE, "%s", first.name.c_str());
    if (handler != nullptr) *handler = first.handler;
    return 0;
}

int PLIST_GetByIndex(int index, int* id, char* name, int size, PLIST_HANDLER* handler) {
    if (index < 0 || static_cast<size_t>(index) >= g_entries.size()) return ERROR_PLIST_NOT_FOUND;
    const Entry& entry = *std::next(g_entries.begin(), index);
    if (int error = CopyName(entry.name, name, size); error != 0) return error;
    if (id != nullptr) *id = entry.id;
    if (handler != nullptr) *handler = entry.handler;
    return 0;
}

int PLIST_GetNameByHandler(int index, PLIST_HANDLER handler, char* name, int size) {
    int seen = 0;
    for (const Entry& entry : g_entries) {
        if (entry.handler != handler) continue;
        if (seen++ == index) return CopyName(entry.name, name, size);
    }
    return ERROR_PLIST_NOT_FOUND;
}

int PLIST_Run(int demo_id, int action, int remove) {
    for (int position = 0;;) {
        int id = 0;
        char name[PLIST_NAME_SIZE];
        PLIST_HANDLER handler = nullptr;
        if (PLIST_GetByIndex(position, &id, name, sizeof name, &handler) != 0) return 0;
        int result = handler != nullptr ? handler(demo_id, name, action) : 0;
        if (result < 0 || result == 100) return result;
        if (remove) {
            PLIST_Remove(id, name);
        } else {
            ++position;
        }
    }
}
