// Loads arbitrary bytes as an install script, then searches sections and reads every
// line and token table with several buffer shapes. Buffers are allocated at exactly
// the size passed, so any read or write past them is caught by the address sanitizer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "script/common.h"
#include "script/inf.h"

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

// Event lines must arrive whole; one that starts "{!" fails to exercise the error path.
int CheckEvent(const char* line) {
    const size_t length = std::strlen(line);
    Require(length >= 2 && line[0] == '{' && line[length - 1] == '}');
    return line[1] == '!' ? ERROR_EVENT_NO_HANDLER_FOUND : 0;
}

// Section names to try: a few fixed ones and the first headers of the input itself.
std::vector<std::string> SectionNames(const uint8_t* data, size_t size) {
    std::vector<std::string> names = {"APPLICATION", "Files", ""};
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t at = 0; names.size() < 7 && at < text.size(); ++at) {
        if (text[at] != '[' || (at > 0 && text[at - 1] != '\n')) continue;
        const size_t close = text.find_first_of("]\n", at + 1);
        if (close == std::string::npos) break;
        names.push_back(text.substr(at + 1, close - at - 1));
    }
    return names;
}

void ReadLines(std::string name, int size, size_t limit) {
    if (INF_FindSection(name.data()) != 0) return;
    std::vector<char> buffer(static_cast<size_t>(size));
    for (size_t guard = 0; guard <= limit; ++guard) {
        const int result = INF_ReadLine(buffer.data(), size);
        if (result == 1) return;
        if (result != 0) continue;
        Require(std::strlen(buffer.data()) < static_cast<size_t>(size));
        Require(INF_GetLineNumber() >= 1);
        std::string copy(buffer.data());
        INF_Trim(copy.data(), INF_TRIM_BOTH);
        for (char* token = COMMON_NextToken(copy.data(), ",", " \t"); token != nullptr;
             token = COMMON_NextToken(nullptr, ",", " \t")) {
        }
    }
    Require(false);  // every read must move on or end the section
}

void ReadTables(std::string name, int n, int w, size_t limit) {
    if (INF_FindSection(name.data()) != 0) return;
    std::vector<char> table(static_cast<size_t>(n) * static_cast<size_t>(w));
    for (size_t guard = 0; guard <= limit; ++guard) {
        const int result = INF_ReadTokens(table.data(), n, w);
        if (result == 1) return;
        for (int k = 0; k < n; ++k)
            Require(std::memchr(table.data() + static_cast<size_t>(k) * w, '\0', static_cast<size_t>(w)) != nullptr);
    }
    Require(false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (INF_LoadText(reinterpret_cast<const char*>(data), size) != 0) return 0;
    INF_SetEventHandler(CheckEvent);
    const size_t limit = size + 2;  // no section has more lines than the script has bytes
    static const int kLineSizes[] = {1, 2, 8, 256};
    static const int kShapes[][2] = {{1, 1}, {1, 256}, {2, 4}, {3, 16}, {4, 8}, {13, 256}};
    for (const std::string& name : SectionNames(data, size)) {
        for (bool events : {true, false}) {
            INF_SetEventLines(events);
            for (int line_size : kLineSizes) ReadLines(name, line_size, limit);
        }
        for (const auto& shape : kShapes) ReadTables(name, shape[0], shape[1], limit);
    }
    INF_SetEventLines(true);
    INF_SetEventHandler(nullptr);
    INF_Terminate();
    return 0;
}
