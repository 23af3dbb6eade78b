#include "script/strlist.h"

#include <iterator>
#include <list>
#include <new>
#include <string>
#include <string_view>

#include "script/common.h"
#include "script/module.h"

namespace {

// A linked list keeps item addresses stable, so a string handed out by STRLIST_Get
// stays valid while other items come and go.
std::list<std::string> g_items;

std::string_view Text(const char* text) { return std::string_view(text == nullptr ? "" : text); }

bool EqualNoCase(const std::string& item, std::string_view text) {
    return item.size() == text.size() && COMMON_CompareNoCase(item.c_str(), text.data(), text.size()) == 0;
}

std::list<std::string>::iterator At(int index) {
    if (index < 0 || static_cast<size_t>(index) >= g_items.size()) return g_items.end();
    return std::next(g_items.begin(), index);
}

}  // namespace

int STRLIST_Init() {
    MODULE_Register(STRLIST_Terminate, 0);
    return g_items.empty() ? 0 : ERROR_STRLIST_INIT;
}

int STRLIST_Terminate() {
    g_items.clear();
    MODULE_Unregister(STRLIST_Terminate);
    return 0;
}

int STRLIST_Insert(const char* text) {
    const std::string_view wanted = Text(text);
    auto before = g_items.begin();
    while (before != g_items.end() && wanted.find(*before) == std::string_view::npos) ++before;
    if (before != g_items.end() && EqualNoCase(*before, wanted)) return 0;
    try {
        g_items.emplace(before, wanted);
    } catch (const std::bad_alloc&) {
        return ERROR_STRLIST_MEMORY_ALLOCATE;
    }
    return 0;
}

int STRLIST_Append(const char* text) {
    try {
        g_items.emplace_back(Text(text));
    } catch (const std::bad_alloc&) {
        return ERROR_STRLIST_MEMORY_ALLOCATE;
    }
    return 0;
}

int STRLIST_Get(int index, const char** text) {
    auto item = At(index);
    if (item == g_items.end()) return ERROR_STRLIST_NOT_FOUND;
    if (text != nullptr) *text = item->c_str();
    return 0;
}

int STRLIST_Remove(int index) {
    auto item = At(index);
    if (item == g_items.end()) return ERROR_STRLIST_NOT_FOUND;
    g_items.erase(item);
    return 0;
}

int STRLIST_Contains(const char* text) {
    const std::string_view wanted = Text(text);
    for (const std::string& item : g_items)
        if (EqualNoCase(item, wanted)) return 1;
    return 0;
}
