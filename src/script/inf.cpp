#include "script/inf.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "script/module.h"
#include "script/zynerror.h"
#include "sys/sys32.h"

namespace {

// The loaded script: a line feed, the script's bytes, and the string's own NUL, so
// that every line, the first included, follows a line feed. length is the script's
// byte count (L): positions 1..L hold it, and reading stops at position L.
struct Script {
    std::string text;
    size_t length = 0;
    size_t position = 0;
    std::vector<size_t> line_starts;  // position where script line k begins, at index k - 1
};

Script g_script;
bool g_event_lines = true;
INF_EVENT_HANDLER g_event_handler = nullptr;
int g_line_number = 0;

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

int LineOf(size_t position) {
    const auto& starts = g_script.line_starts;
    return static_cast<int>(std::upper_bound(starts.begin(), starts.end(), position) - starts.begin());
}

// Section names match without regard to case because everything from a line-initial
// "[" to the next "]" is upper-cased once, here; a header missing its "]" therefore
// upper-cases on into the following lines.
void UpperCaseHeaders(std::string& text) {
    bool in_header = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char& c = text[i];
        if (!in_header) {
            in_header = c == '[' && i > 0 && text[i - 1] == '\n';
        } else if (c == ']') {
            in_header = false;
        } else {
            c = Upper(c);
        }
    }
}

// Reads physical lines until one is a data line (0), the section ends (1) or a line
// fails. size is the caller's buffer size: a line of size or more characters is -503,
// checked before the line is recognised as comment or event, as the reader always did.
int NextDataLine(std::string& line, long long size) {
    Script& s = g_script;
    for (;;) {
        line.clear();
        if (s.position >= s.length || s.text[s.position] == '[') return 1;
        const size_t start = s.position;
        size_t end = start;
        while (end < s.length && s.text[end] != '\n') ++end;
        s.position = end + 1;
        // The character in front of the line feed is dropped unseen (normally the carriage return).
        if (end < start + 2) continue;  // blank line
        const size_t count = end - 1 - start;
        if (static_cast<long long>(count) >= size) {
            g_line_number = LineOf(start);
            return ERROR_INF_BUFFER_TOO_SMALL;
        }
        line.assign(s.text, start, count);
        if (line[0] == ';') continue;
        // What a caller sees ends at the first NUL byte, should the script hold one.
        const std::string_view seen(line.c_str());
        if (!seen.empty() && seen.front() == '{' && seen.back() == '}') {
            if (g_event_lines && g_event_handler != nullptr) {
                g_line_number = LineOf(start);  // the handler may ask where the event line stands
                if (int error = g_event_handler(line.c_str()); error < 0) return error;
            }
            continue;
        }
        g_line_number = LineOf(start);
        return 0;
    }
}

// Cuts line into tokens: commas separate unless inside double quotes (a quote after a
// backslash does not count), blanks around a token are dropped, quotes stay.
int CutTokens(std::string_view line, char* table, int n, int w) {
    const size_t length = line.size();
    int k = 0;
    size_t i = 0;
    while (i < length) {
        while (i < length && IsBlank(line[i])) ++i;
        const size_t start = i;
        bool quoted = false;
        size_t stop = start;
        for (; stop < length; ++stop) {
            const char c = line[stop];
            if (c == ',' && !quoted) break;
            if (c == '"' && (stop == 0 || line[stop - 1] != '\\')) quoted = !quoted;
        }
        size_t token_end = stop;  // one past the token's last character
        while (token_end > start && IsBlank(line[token_end - 1])) --token_end;
        const size_t token_length = token_end - start;
        if (static_cast<long long>(token_length) + 1 > w) return ERROR_INF_BUFFER_TOO_SMALL;
        if (k == n) return ERROR_INF_TOO_MANY_TOKENS_FOUND;
        char* field = table + static_cast<size_t>(k) * static_cast<size_t>(w);
        std::memcpy(field, line.data() + start, token_length);
        field[token_length] = '\0';
        ++k;
        i = stop + 1;
    }
    return k < n ? ERROR_INF_TOO_FEW_TOKENS_FOUND : 0;
}

}  // namespace

int INF_Load(const char* name) {
    uint32_t size = 0;
    if (int error = SYS_ResourceSize(nullptr, name, "TEXT", &size); error != 0) ZYN_FATAL(error, "inf");
    std::string bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        ZYN_FATAL(ERROR_INF_MEMORY_ALLOCATE, "inf");
    }
    uint32_t loaded = 0;
    if (int error = SYS_LoadResource(nullptr, name, "TEXT", bytes.data(), size, &loaded); error != 0)
        ZYN_FATAL(error, "inf");
    if (int error = INF_LoadText(bytes.data(), loaded); error != 0) ZYN_FATAL(error, "inf");
    return 0;
}

int INF_LoadText(const char* text, size_t length) {
    if (text == nullptr && length > 0) return ERROR_INF_RESOURCE_NOT_FOUND;
    Script script;
    try {
        script.text.reserve(length + 1);
        script.text.push_back('\n');
        script.text.append(text == nullptr ? "" : text, length);
        script.length = length;
        for (size_t i = 0; i < script.text.size(); ++i)
            if (script.text[i] == '\n') script.line_starts.push_back(i + 1);
    } catch (const std::bad_alloc&) {
        return ERROR_INF_MEMORY_ALLOCATE;
    }
    UpperCaseHeaders(script.text);
    INF_Terminate();
    g_script = std::move(script);
    g_line_number = 0;
    MODULE_Register(INF_Terminate, 0);
    return 0;
}

int INF_Terminate() {
    g_script = Script{};
    g_line_number = 0;
    MODULE_Unregister(INF_Terminate);
    return 0;
}

int INF_FindSection(char* name) {
    if (name == nullptr) return ERROR_INF_SECTION_NOT_FOUND;
    for (char* c = name; *c != '\0'; ++c) *c = Upper(*c);
    const std::string_view wanted(name);
    // Positions 0..L: the leading line feed and the script itself.
    const std::string_view text(g_script.text.data(), g_script.text.size());
    for (size_t hit = text.find(wanted); hit != std::string_view::npos; hit = text.find(wanted, hit + 1)) {
        const size_t after = hit + wanted.size();
        if (hit < 2 || text[hit - 1] != '[' || text[hit - 2] != '\n' || after >= text.size() || text[after] != ']')
            continue;
        const size_t line_feed = text.find('\n', after);
        g_script.position = line_feed == std::string_view::npos ? after : line_feed + 1;
        g_line_number = LineOf(hit);
        return 0;
    }
    return ERROR_INF_SECTION_NOT_FOUND;
}

int INF_ReadLine(char* buffer, int size) {
    if (buffer == nullptr) size = 0;
    if (size > 0) buffer[0] = '\0';
    try {
        std::string line;
        const int result = NextDataLine(line, size);
        if (result == 0) std::strcpy(buffer, line.c_str());  // fits: shorter than size
        return result;
    } catch (const std::bad_alloc&) {
        return ERROR_INF_MEMORY_ALLOCATE;
    }
}

int INF_ReadTokens(char* table, int n, int w) {
    if (table == nullptr || n < 0 || w < 0) n = w = 0;
    if (w > 0)
        for (int k = 0; k < n; ++k) table[static_cast<size_t>(k) * static_cast<size_t>(w)] = '\0';
    try {
        std::string line;
        const int result = NextDataLine(line, static_cast<long long>(n) * w);
        if (result != 0) return result;
        line.resize(std::strlen(line.c_str()));
        // A trailing comma announces an empty last token; the line feed lets the cut see it.
        if (!line.empty() && line.back() == ',') line.push_back('\n');
        return CutTokens(line, table, n, w);
    } catch (const std::bad_alloc&) {
        return ERROR_INF_MEMORY_ALLOCATE;
    }
}

void INF_SetEventLines(bool on) { g_event_lines = on; }

void INF_SetEventHandler(INF_EVENT_HANDLER handler) { g_event_handler = handler; }

int INF_GetLineNumber() { return g_line_number; }

void INF_Trim(char* text, int sides) {
    if (text == nullptr || text[0] == '\0') return;
    size_t length = std::strlen(text);
    if (sides & INF_TRIM_START) {
        size_t first = 0;
        while (first + 1 < length && IsBlank(text[first])) ++first;
        if (first > 0) {
            std::memmove(text, text + first, length - first + 1);
            length -= first;
        }
    }
    if (sides & INF_TRIM_END) {
        while (length > 1 && IsBlank(text[length - 1])) --length;
        text[length] = '\0';
    }
}
