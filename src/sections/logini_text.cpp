// INI settings without the system: the operations' effects on an entry's value, the
// word lists of APPEND and UNAPPEND, record data, and the INI text editor that sees
// every line of a section where the profile functions see only the first of a name.
#include <array>
#include <cctype>
#include <string>
#include <string_view>
#include <utility>

#include "sections/logini.h"

namespace {

constexpr std::array<std::pair<std::string_view, LOGINI_OP>, 9> kOperations{{
    {"ADD", LOGINI_OP::Add},
    {"APPEND", LOGINI_OP::Append},
    {"UNAPPEND", LOGINI_OP::Unappend},
    {"DELETE", LOGINI_OP::Delete},
    {"MODIFY", LOGINI_OP::Modify},
    {"CREATE", LOGINI_OP::Create},
    {"DELETE_MULTI", LOGINI_OP::DeleteMulti},
    {"ADD_MULTI", LOGINI_OP::AddMulti},
    {"MODIFY_MULTI", LOGINI_OP::ModifyMulti},
}};

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) return false;
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

size_t FindNoCase(std::string_view text, std::string_view pattern) {
    for (size_t i = 0; i + pattern.size() <= text.size(); ++i) {
        if (EqualNoCase(text.substr(i, pattern.size()), pattern)) return i;
    }
    return std::string_view::npos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Calls visit(word, end of word) for every blank-separated word until it returns true.
template <typename Visit>
void ForEachWord(std::string_view text, Visit visit) {
    size_t pos = 0;
    for (;;) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos >= text.size()) return;
        size_t end = text.find(' ', pos);
        if (end == std::string_view::npos) end = text.size();
        if (visit(text.substr(pos, end - pos), end)) return;
        pos = end;
    }
}

std::string_view FileNamePart(std::string_view word) {
    size_t slash = word.find_last_of("\\/:");
    return slash == std::string_view::npos ? word : word.substr(slash + 1);
}

// Past one line end (CR LF, LF or CR) at pos.
size_t PastLineEnd(std::string_view text, size_t pos) {
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    return pos;
}

// Where a section's entry lines begin (after its header line), or npos. A header
// counts at the start of the text or after a line end; the first one wins.
size_t FindSectionBody(std::string_view text, std::string_view section) {
    std::string header = "[" + std::string(section) + "]";
    size_t pos = 0;
    if (!StartsWithNoCase(text, header)) {
        pos = FindNoCase(text, "\n" + header);
        if (pos == std::string_view::npos) return pos;
        ++pos;
    }
    size_t end = pos;
    while (end < text.size() && !IsLineEnd(text[end])) ++end;
    return PastLineEnd(text, end);
}

// The outcome of a search for "entry=match" in a section.
struct MultiLine {
    bool section = false;
    bool matched = false;
    size_t begin = 0;  // the matched line with the blank lines before it, or the insertion point
    size_t end = 0;    // past the matched line's line end
    std::string_view value;
};

MultiLine FindMultiLine(std::string_view text, std::string_view section, std::string_view entry,
                        std::string_view match) {
    MultiLine found;
    size_t pos = FindSectionBody(text, section);
    if (pos == std::string_view::npos) return found;
    found.section = true;
    found.begin = pos;
    for (;;) {
        size_t span = pos;
        while (pos < text.size() && IsLineEnd(text[pos])) ++pos;
        if (pos >= text.size() || text[pos] == '[') return found;
        size_t line_end = pos;
        while (line_end < text.size() && !IsLineEnd(text[line_end])) ++line_end;
        std::string_view line = text.substr(pos, line_end - pos);
        size_t equals = line.find('=');
        std::string_view name = line.substr(0, equals);
        std::string_view value =
            equals == std::string_view::npos ? std::string_view() : Trimmed(line.substr(equals + 1));
        pos = PastLineEnd(text, line_end);
        if (EqualNoCase(name, entry) && EqualNoCase(value, match)) {
            found.matched = true;
            found.begin = span;
            found.end = pos;
            found.value = value;
            return found;
        }
        found.begin = pos;  // new lines go after the last entry line, before blank lines
    }
}

}  // namespace

LOGINI_OP LOGINI_ParseOperation(std::string_view name) {
    for (const auto& [text, op] : kOperations) {
        if (EqualNoCase(name, text)) return op;
    }
    return LOGINI_OP::Unknown;
}

bool LOGINI_IsDefault(std::string_view value) { return EqualNoCase(value, LOGINI_DEFAULT); }

LOGINI_CHANGE LOGINI_PlanChange(LOGINI_OP op, std::string_view current, std::string_view value) {
    const bool present = !LOGINI_IsDefault(current);
    LOGINI_CHANGE change;
    auto set = [&](std::string_view to, std::string_view old) {
        change = {LOGINI_CHANGE::kSet, std::string(to), true, true, std::string(old)};
    };
    switch (op) {
    case LOGINI_OP::Add:
    case LOGINI_OP::AddMulti:
        set(value, current);
        break;
    case LOGINI_OP::Modify:
    case LOGINI_OP::ModifyMulti:
        if (present) set(value, current);
        break;
    case LOGINI_OP::Delete:
    case LOGINI_OP::DeleteMulti:
        if (present) change = {LOGINI_CHANGE::kRemove, {}, true, true, std::string(current)};
        break;
    case LOGINI_OP::Create:
        if (!present) set(value, LOGINI_DEFAULT);
        break;
    case LOGINI_OP::Append:
        if (!present) {
            change = {LOGINI_CHANGE::kSet, std::string(value), true, false, {}};
        } else if (current.find(value) == std::string_view::npos) {
            set(std::string(current) + " " + std::string(value), current);
        }
        break;
    case LOGINI_OP::Unappend: {
        // The value is rewritten even without a match, so an absent entry becomes empty.
        std::string removed;
        change.write = LOGINI_CHANGE::kSet;
        change.record = LOGINI_UnappendWord(present ? current : std::string_view(), value, &change.value, &removed);
        change.has_old = change.record;
        change.old = removed;
        break;
    }
    case LOGINI_OP::Unknown:
        break;
    }
    return change;
}

bool LOGINI_UnappendWord(std::string_view current, std::string_view word, std::string* result, std::string* removed) {
    std::string kept;
    bool matched = false;
    ForEachWord(current, [&](std::string_view candidate, size_t end) {
        if (!EqualNoCase(FileNamePart(candidate), word)) {
            kept.append(candidate).push_back(' ');
            return false;
        }
        matched = true;
        *removed = std::string(candidate);
        // The blank that ended the word goes with it; the rest stays as written.
        if (end < current.size()) kept.append(current.substr(end + 1));
        return true;
    });
    *result = std::move(kept);
    return matched;
}

std::string LOGINI_DropWords(std::string_view current, std::string_view word) {
    std::string kept;
    ForEachWord(current, [&](std::string_view candidate, size_t) {
        if (!EqualNoCase(candidate, word)) kept.append(candidate).push_back(' ');
        return false;
    });
    return kept;
}

bool LOGINI_RestoreWord(std::string_view current, std::string_view word, std::string* result) {
    if (current.empty()) {
        *result = std::string(word);
        return true;
    }
    bool held = false;
    ForEachWord(current, [&](std::string_view candidate, size_t) { return held = EqualNoCase(candidate, word); });
    if (held) return false;
    *result = std::string(current) + " " + std::string(word);
    return true;
}

void LOGINI_SplitRecord(std::string_view record, std::string* operation, std::string* value, std::string* old) {
    size_t first = record.find(',');
    *operation = std::string(record.substr(0, first));
    value->clear();
    old->clear();
    if (first == std::string_view::npos) return;
    std::string_view rest = record.substr(first + 1);
    size_t second = rest.find(',');
    *value = std::string(rest.substr(0, second));
    if (second != std::string_view::npos) *old = std::string(rest.substr(second + 1));
}

bool LOGINI_FindMultiText(std::string_view text, std::string_view section, std::string_view entry,
                          std::string_view match, std::string* value) {
    MultiLine line = FindMultiLine(text, section, entry, match);
    if (line.matched) *value = std::string(line.value);
    return line.matched;
}

std::string LOGINI_EditMultiText(std::string_view text, std::string_view section, std::string_view entry,
                                 std::string_view match, const char* new_value) {
    MultiLine line = FindMultiLine(text, section, entry, match);
    if (new_value == nullptr && !line.matched) return std::string(text);
    std::string added;
    if (new_value != nullptr) {
        if (!entry.empty()) added.append(entry).push_back('=');
        added.append(new_value).append("\r\n");
    }
    if (!line.section) return std::string(text) + "\r\n[" + std::string(section) + "]\r\n" + added;
    std::string edited(text.substr(0, line.begin));
    // A last line without a line end must not run into the new one.
    if (!line.matched && !edited.empty() && !IsLineEnd(edited.back())) edited.append("\r\n");
    edited.append(added);
    edited.append(text.substr(line.matched ? line.end : line.begin));
    return edited;
}
