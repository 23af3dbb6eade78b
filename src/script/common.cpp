#include "script/common.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace {

// ASCII-only case folding: scripts are single-byte ANSI and must compare the same
// whatever locale the process runs in.
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool InSet(const char* set, char c) { return set != nullptr && c != '\0' && std::strchr(set, c) != nullptr; }

// The split in progress: the next character to look at and the end of the text.
char* g_next = nullptr;
char* g_end = nullptr;

}  // namespace

int MakeString(const char* text, int first, int last, char** result) {
    if (result == nullptr) return ERROR_COMMON_BAD_STRING_ARGS;
    *result = nullptr;
    if (text == nullptr || first < 0 || last < first) return ERROR_COMMON_BAD_STRING_ARGS;
    const size_t length = static_cast<size_t>(last) - static_cast<size_t>(first) + 1;
    char* copy = new (std::nothrow) char[length + 1];
    if (copy == nullptr) return ERROR_COMMON_MEMORY_ALLOCATE;
    std::memcpy(copy, text + first, length);
    copy[length] = '\0';
    *result = copy;
    return 0;
}

int COMMON_IsTrue(const char* text) {
    if (text == nullptr) return 0;
    int c = std::tolower(static_cast<unsigned char>(text[0]));
    return c == '1' || c == 't' || c == 'y';
}

int COMMON_CompareNoCase(const char* a, const char* b, size_t n) {
    if (a == nullptr || b == nullptr) return (a == b) ? 0 : (a == nullptr ? -1 : 1);
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(Upper(a[i]));
        const unsigned char cb = static_cast<unsigned char>(Upper(b[i]));
        if (ca != cb) return static_cast<int>(ca) - static_cast<int>(cb);
        if (ca == '\0') break;
    }
    return 0;
}

const char* COMMON_FindNoCase(const char* text, const char* pattern) {
    if (text == nullptr || pattern == nullptr) return nullptr;
    const std::string_view hay(text), needle(pattern);
    if (needle.size() > hay.size()) return nullptr;
    for (size_t at = 0; at + needle.size() <= hay.size(); ++at) {
        size_t i = 0;
        while (i < needle.size() && Upper(hay[at + i]) == Upper(needle[i])) ++i;
        if (i == needle.size()) return text + at;
    }
    return nullptr;
}

void COMMON_RemoveTrailingBackslash(char* path) {
    if (path == nullptr || path[0] == '\0') return;
    const size_t length = std::strlen(path);
    if (path[length - 1] == '\\') path[length - 1] = '\0';
}

char* COMMON_NextToken(char* text, const char* delimiters, const char* skip) {
    if (text != nullptr) {
        g_next = text;
        g_end = text + std::strlen(text);
    }
    if (g_next == nullptr) return nullptr;
    while (g_next < g_end && InSet(skip, *g_next) && !InSet(delimiters, *g_next)) ++g_next;
    if (g_next >= g_end) {
        g_next = g_end = nullptr;
        return nullptr;
    }
    char* token = g_next;
    while (g_next < g_end && !InSet(delimiters, *g_next)) ++g_next;
    if (g_next < g_end) *g_next++ = '\0';
    return token;
}

void COMMON_DebugPrint(const char* format, ...) {
    if (format == nullptr) return;
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (needed >= 0) {
        try {
            std::string text(static_cast<size_t>(needed) + 1, '\0');
            std::vsnprintf(text.data(), text.size(), format, again);
            text.resize(static_cast<size_t>(needed));
            COMMON_DebugOutput(text.c_str());
        } catch (const std::bad_alloc&) {
            // A trace must never disturb the run.
        }
    }
    va_end(again);
}
