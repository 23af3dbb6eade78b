// The text half of the event lines: the tokenizer and the reading of a line into
// what it asks for. No system calls, so it is tested and fuzzed natively.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "script/common.h"
#include "ui/event.h"

namespace {

constexpr int kTokenSize = EVENT_MAX_LINE;

struct Tokenizer {
    std::string text;
    size_t position = 0;
    bool set = false;
};

Tokenizer g_tokens;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && COMMON_CompareNoCase(a.data(), std::string(b).c_str(), a.size()) == 0;
}

// "%d" as the scripts have always been read: leading blanks, a sign, digits, and
// whatever follows the digits ignored.
bool ReadInteger(const char* token, int* value) { return std::sscanf(token, "%d", value) == 1; }

int NextToken(char* token) { return EVENT_NextToken(nullptr, token, kTokenSize); }

int ParseAdd(EVENT_COMMAND* command) {
    char name[kTokenSize], x[kTokenSize], y[kTokenSize];
    if (NextToken(name) != 0 || NextToken(x) != 0 || NextToken(y) != 0) return ERROR_BMPDISP_EVENT_MISSING_PARAMS;
    if (!ReadInteger(x, &command->x) || !ReadInteger(y, &command->y)) return ERROR_BMPDISP_EVENT_MISSING_PARAMS;
    std::snprintf(command->name, sizeof command->name, "%s", name);
    command->kind = EVENT_KIND::AddGraphic;
    return 0;
}

int ParseRemove(EVENT_COMMAND* command) {
    char name[kTokenSize];
    if (NextToken(name) != 0) return ERROR_BMPDISP_EVENT_MISSING_PARAMS;
    std::snprintf(command->name, sizeof command->name, "%s", name);
    command->kind = EVENT_KIND::RemoveGraphic;
    return 0;
}

void TraceTesting() {
    COMMON_DebugPrint("Within Testing Loop\r\n");
    char token[kTokenSize];
    while (NextToken(token) == 0) COMMON_DebugPrint("  Found token:  %s\r\n", token);
}

}  // namespace

int EVENT_NextToken(const char* text, char* output, int size) {
    Tokenizer& t = g_tokens;
    if (text != nullptr) {
        t.text = text;
        t.position = 0;
        t.set = true;
    }
    if (!t.set) return ERROR_EVENT_NO_STRING_SET;
    const std::string_view line = t.text;
    if (t.position >= line.size()) return ERROR_EVENT_NO_MORE_TOKENS;
    size_t start = t.position;
    while (start < line.size() && IsBlank(line[start])) ++start;
    size_t stop = start;
    bool quoted = false;
    for (; stop < line.size(); ++stop) {
        const char c = line[stop];
        if (c == ',' && !quoted) break;
        if (c == '"' && (stop == 0 || line[stop - 1] != '\\')) quoted = !quoted;
    }
    size_t end = stop;
    while (end > start && IsBlank(line[end - 1])) --end;
    const size_t length = end - start;
    if (output == nullptr || static_cast<long long>(length) + 2 > size) return ERROR_EVENT_BUFFER_TOO_SMAL;
    std::memcpy(output, line.data() + start, length);
    output[length] = '\0';
    // Past the comma; after the last token the position stands at the end.
    t.position = stop < line.size() ? stop + 1 : stop;
    return 0;
}

int EVENT_ParseLine(const char* line, EVENT_COMMAND* command) {
    if (line == nullptr || command == nullptr) return ERROR_EVENT_NO_STRING_SET;
    std::string_view text = line;
    if (text.size() >= EVENT_MAX_LINE) return ERROR_EVENT_BUFFER_TOO_SMAL;
    if (!text.empty() && text.front() == '{') text.remove_prefix(1);
    if (!text.empty() && text.back() == '}') text.remove_suffix(1);
    std::string inner(text);
    // A trailing comma stands for one more, empty, parameter.
    if (!inner.empty() && inner.back() == ',') inner += '\n';

    *command = EVENT_COMMAND{};
    char name[kTokenSize];
    // A line without even a name names no event either.
    if (EVENT_NextToken(inner.c_str(), name, sizeof name) != 0) return ERROR_EVENT_NO_HANDLER_FOUND;
    if (EqualNoCase(name, "TESTING_TYPE")) {
        command->kind = EVENT_KIND::Testing;
        TraceTesting();
        return 0;
    }
    if (EqualNoCase(name, "ADD_GRAPHIC_TYPE")) return ParseAdd(command);
    if (EqualNoCase(name, "REMOVE_GRAPHIC_TYPE")) return ParseRemove(command);
    return ERROR_EVENT_NO_HANDLER_FOUND;
}
