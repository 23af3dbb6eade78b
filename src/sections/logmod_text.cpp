#include "sections/logmod_text.h"

#include <cctype>

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

bool IsCommented(std::string_view line) {
    return (!line.empty() && line[0] == ';') ||
           (line.size() >= 4 && EqualNoCase(line.substr(0, 4), "REM "));
}

bool Matches(std::string_view line, std::string_view old_line, std::string_view new_line,
             unsigned flags) {
    if ((flags & LOGMOD_IGNORE_COMMENTED) && IsCommented(line)) return false;
    if (flags & LOGMOD_MATCH_FILENAME) {
        return EqualNoCase(LOGMOD_LastPiece(line), LOGMOD_LastPiece(new_line));
    }
    if (line.find(old_line) != std::string_view::npos) return true;
    return (flags & LOGMOD_MATCH_EXACT) && EqualNoCase(line, old_line);
}

// Length of the one line break at pos (CR LF, LF or CR), 0 when there is none.
size_t BreakLength(std::string_view text, size_t pos) {
    if (pos >= text.size()) return 0;
    if (text[pos] == '\r') return pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
    return text[pos] == '\n' ? 1 : 0;
}

}  // namespace

unsigned LOGMOD_ParseFlags(std::string_view operation) {
    struct Word {
        std::string_view text;
        unsigned flag;
    };
    static constexpr Word kWords[] = {
        {"BEGINNING", LOGMOD_BEGINNING},
        {"END", LOGMOD_END},
        {"MATCH_EXACT", LOGMOD_MATCH_EXACT},
        {"MATCH_FILENAME", LOGMOD_MATCH_FILENAME},
        {"IGNORE_COMMENTED", LOGMOD_IGNORE_COMMENTED},
        {"MATCH_DONT_ADD", LOGMOD_MATCH_DONT_ADD},
    };
    unsigned flags = 0;
    for (const Word& word : kWords) {
        if (operation.find(word.text) != std::string_view::npos) flags |= word.flag;
    }
    return flags;
}

std::string_view LOGMOD_LastPiece(std::string_view line) {
    auto separator = [](char c) { return c == ' ' || c == '\\' || c == ':'; };
    size_t end = line.size();
    while (end > 0 && separator(line[end - 1])) --end;
    size_t start = end;
    while (start > 0 && !separator(line[start - 1])) --start;
    return line.substr(start, end - start);
}

LOGMOD_EDIT LOGMOD_EditText(std::string& text, std::string_view old_line, const char* new_line,
                            unsigned flags) {
    const std::string_view view(text);
    const std::string_view added = new_line != nullptr ? new_line : "";
    LOGMOD_EDIT edit{false, false};
    size_t span_start = view.size();
    size_t span_end = view.size();
    if (!old_line.empty()) {
        size_t previous_end = 0;  // just past the previous line and its own line break
        size_t pos = 0;
        for (;;) {
            while (pos < view.size() && IsBreak(view[pos])) ++pos;
            if (pos >= view.size()) {
                span_start = span_end = view.size();
                break;
            }
            size_t end = pos;
            while (end < view.size() && !IsBreak(view[end])) ++end;
            if (end - pos > LOGMOD_MAX_LINE) {
                span_start = span_end = pos;
                break;
            }
            if (Matches(view.substr(pos, end - pos), old_line, added, flags)) {
                edit.matched = true;
                span_start = previous_end;
                span_end = end + BreakLength(view, end);
                break;
            }
            previous_end = end + BreakLength(view, end);
            pos = end;
        }
    }
    if (edit.matched && (flags & LOGMOD_MATCH_DONT_ADD)) return edit;
    if (!edit.matched) {
        if (new_line == nullptr) return edit;
        if (flags & LOGMOD_BEGINNING) span_start = span_end = 0;
    }
    std::string result(view.substr(0, span_start));
    if (new_line != nullptr) {
        // A last line without a line break must not get the new line glued onto it.
        if (!result.empty() && !IsBreak(result.back())) result += "\r\n";
        result.append(added);
        result += "\r\n";
        edit.written = true;
    }
    result.append(view.substr(span_end));
    text = std::move(result);
    return edit;
}
