#include "script/zyncheck.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <optional>
#include <set>

#include "script/common.h"
#include "script/inf.h"
#include "script/scriptinfo.h"
#include "script/var.h"
#include "script/vareval.h"
#include "script/zynerror.h"

namespace {

constexpr const char* kFlagLetters = "1tTyY0fFnN";  // first letters of the usual true and false words

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = Upper(c);
    return result;
}

// Variable names compare without case, as the store compares them.
struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return Upper(x) < Upper(y); });
    }
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::string CodeText(int code) {
    char text[2048];
    ZYNERROR_GetText(code, text, sizeof text);
    return text;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A decimal integer as "%d" reads one: blanks, a sign, at least one digit.
bool ReadsAsInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// A whole decimal number, blanks around it allowed.
bool IsDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == digits) return false;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return i == text.size();
}

// Cuts text at commas outside double quotes, blanks around each piece dropped: the
// rule of the reader's token read and of event lines. Used to count and name what a
// line holds; the verdict on a line is always the reader's own.
std::vector<std::string> SplitColumns(std::string_view text) {
    std::vector<std::string> pieces;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        const size_t start = i;
        bool quoted = false;
        size_t stop = start;
        for (; stop < text.size(); ++stop) {
            if (text[stop] == ',' && !quoted) break;
            if (text[stop] == '"' && (stop == 0 || text[stop - 1] != '\\')) quoted = !quoted;
        }
        size_t end = stop;
        while (end > start && IsBlank(text[end - 1])) --end;
        pieces.emplace_back(text.substr(start, end - start));
        i = stop + 1;
    }
    return pieces;
}

// The fields of a line that a handler splits itself (Protection, Protection Backup).
std::vector<std::string> SplitFields(const char* line) {
    std::vector<char> copy(line, line + std::strlen(line) + 1);
    std::vector<std::string> fields;
    for (char* field = COMMON_NextToken(copy.data(), ",", " \t\n"); field != nullptr;
         field = COMMON_NextToken(nullptr, ",", " \t\n"))
        fields.emplace_back(field);
    return fields;
}

struct Reference {
    std::string name;
    size_t end;  // one past the ")"
};

// The $(Name) references of text in order; unterminated is set when a "$(" has no ")".
std::vector<Reference> FindReferences(std::string_view text, bool* unterminated) {
    std::vector<Reference> references;
    *unterminated = false;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '$' || text[i + 1] != '(') continue;
        const size_t close = text.find(')', i + 2);
        if (close == std::string_view::npos) {
            *unterminated = true;
            break;
        }
        references.push_back({std::string(text.substr(i + 2, close - i - 2)), close + 1});
        i = close;
    }
    return references;
}

// One physical line of the script as the reader sees it.
struct RawLine {
    std::string text;      // the data line the reader returns: without the character before the line feed
    std::string physical;  // the whole line, a carriage return before the line feed removed
    bool bare_line_feed;   // the character before the line feed was not a carriage return
    bool last_unended;     // the final line, without a line feed: it loses two characters
};

std::vector<RawLine> SplitAsReader(std::string_view script) {
    std::vector<RawLine> lines;
    size_t start = 0;
    while (start < script.size()) {
        const size_t feed = script.find('\n', start);
        RawLine line{};
        if (feed == std::string_view::npos) {
            const size_t length = script.size() - start;
            if (length >= 3) line.text = script.substr(start, length - 2);
            line.physical = script.substr(start);
            line.last_unended = true;
            lines.push_back(std::move(line));
            break;
        }
        if (feed >= start + 2) line.text = script.substr(start, feed - 1 - start);
        line.bare_line_feed = feed > start && script[feed - 1] != '\r';
        line.physical = script.substr(start, feed - start - (line.bare_line_feed || feed == start ? 0 : 1));
        lines.push_back(std::move(line));
        start = feed + 1;
    }
    return lines;
}

struct AppEntry {
    std::string value;
    int line;
};

class Checker {
public:
    Checker(std::string_view script, std::vector<ZYNCHECK_FINDING>* findings)
        : script_(script), findings_(findings), lines_(SplitAsReader(script)) {}

    int Run();
    int OnEvent(const char* line);

private:
    void Error(int line, std::string text) { findings_->push_back({line, ZYNCHECK_ERROR, std::move(text)}); }
    void Warning(int line, std::string text) { findings_->push_back({line, ZYNCHECK_WARNING, std::move(text)}); }

    const std::string& LineText(int line) const {
        static const std::string empty;
        return line >= 1 && line <= static_cast<int>(lines_.size()) ? lines_[line - 1].text : empty;
    }

    void ScanLayout();
    void ReadApplication();
    int FillStore();
    void CheckApplicationValues();
    void FindCycles();
    void CheckRequired();
    void CheckSection(const SCRIPTINFO_SECTION& section);
    void CheckColumnSection(const SCRIPTINFO_SECTION& section);
    void CheckKeywordLine(const SCRIPTINFO_SECTION& section, int line, const std::vector<std::string>& fields);
    void CheckFieldLine(const SCRIPTINFO_SECTION& section, int line, const std::vector<std::string>& fields);
    void CheckDisks();
    void CheckRow(const char* section, int line, std::span<const SCRIPTINFO_COLUMN> layout,
                  const std::vector<std::string>& raw, size_t first);
    std::optional<std::string> CheckExpansion(int line, const std::string& where, const std::string& raw);
    bool CheckReference(int line, const std::string& where, const std::string& name);
    bool IsFixed(const std::string& name, std::set<std::string, NoCaseLess>& seen) const;
    bool ReachesCycle(std::string_view text) const;
    void CheckValue(int line, const std::string& where, const SCRIPTINFO_COLUMN& column, const std::string& value,
                    const std::optional<std::string>& operation);

    std::string_view script_;
    std::vector<ZYNCHECK_FINDING>* findings_;
    std::vector<RawLine> lines_;
    bool have_application_ = false;
    int application_line_ = 1;
    std::map<std::string, AppEntry, NoCaseLess> app_;
    std::set<std::string, NoCaseLess> cyclic_;
};

Checker* g_checker = nullptr;

int EventHook(const char* line) { return g_checker != nullptr ? g_checker->OnEvent(line) : 0; }

// Headers, stray lines and line ends: what the reader's section search and line read
// would silently get wrong.
void Checker::ScanLayout() {
    std::map<std::string, int> headers;
    bool in_section = false;
    int bare_first = 0, bare_count = 0;
    for (size_t k = 0; k < lines_.size(); ++k) {
        const RawLine& raw = lines_[k];
        const int line = static_cast<int>(k) + 1;
        const std::string& text = raw.text;
        if (raw.bare_line_feed && !text.empty()) {
            if (bare_count++ == 0) bare_first = line;
        }
        if (raw.last_unended && !text.empty() && text[0] != ';')
            Error(line, "the last line has no line end: the reader drops its last two characters");
        // The section search looks at the text itself, so a header keeps its last character.
        if (!raw.physical.empty() && raw.physical[0] == '[') {
            const std::string& header = raw.physical;
            in_section = true;
            const size_t close = header.find(']');
            if (close == std::string::npos) {
                Warning(line, "section header without \"]\": the reader never finds it, and it ends the section "
                              "before it");
                continue;
            }
            const std::string written = header.substr(1, close - 1);
            const std::string name = UpperCase(written);
            if (auto [it, fresh] = headers.emplace(name, line); !fresh) {
                Warning(line, "section [" + written + "] already starts at line " + std::to_string(it->second) +
                                  ": the reader uses only the first");
                continue;
            }
            if (SCRIPTINFO_FindSection(name) == nullptr && name != UpperCase(SCRIPTINFO_APPLICATION) &&
                name != UpperCase(SCRIPTINFO_DISKS))
                Warning(line, "section [" + written + "] is not read by the installer");
            continue;
        }
        if (text.empty() || text[0] == ';') continue;
        if (!in_section) Warning(line, "line before the first section header is never read");
    }
    if (bare_count > 0)
        Error(bare_first, "line ends with a bare line feed (" + std::to_string(bare_count) +
                              " such lines): the reader drops the character before each line feed, so lines "
                              "must end with carriage return and line feed");
}

// The [Application] lines as start-up reads them: "$(Name)=value", trimmed.
void Checker::ReadApplication() {
    char section[] = "Application";
    if (INF_FindSection(section) != 0) {
        Error(1, "missing section [Application]: the installer stops at start-up without it");
        return;
    }
    have_application_ = true;
    application_line_ = INF_GetLineNumber();
    char buffer[SCRIPTINFO_RAW_LINE_SIZE];
    for (;;) {
        const int rc = INF_ReadLine(buffer, sizeof buffer);
        if (rc == 1) break;
        const int line = INF_GetLineNumber();
        if (rc < 0) {
            Error(line, "[Application] line is too long (" + std::to_string(SCRIPTINFO_RAW_LINE_SIZE - 1) +
                            " characters at most): start-up stops with " + CodeText(rc));
            if (rc == ERROR_INF_BUFFER_TOO_SMALL) continue;
            break;
        }
        char empty[1] = {'\0'};
        char* value = empty;
        if (char* equals = std::strchr(buffer, '=')) {
            *equals = '\0';
            value = equals + 1;
        }
        INF_Trim(buffer, INF_TRIM_BOTH);
        INF_Trim(value, INF_TRIM_BOTH);
        std::string name(buffer);
        if (name.find("$(") == std::string::npos) {
            Warning(line, "line sets nothing: a variable is set as $(Name)=value");
            continue;
        }
        if (name.rfind("$(", 0) == 0) {
            name = name.substr(2, name.size() - 2 - 1);
        } else {
            Warning(line, "variable name " + Quoted(name) + " does not start with \"$(\" and is taken as written");
        }
        if (name.empty()) {
            Error(line, "empty variable name: start-up stops with " + CodeText(ERROR_VAR_NOT_FOUND));
            continue;
        }
        if (name.size() > VAR_MAX_NAME_LENGTH) {
            Error(line, "variable name longer than " + std::to_string(VAR_MAX_NAME_LENGTH) +
                            " characters: start-up stops with " + CodeText(ERROR_VAR_BUFFER_TOO_SMALL));
            continue;
        }
        if (auto it = app_.find(name); it != app_.end()) {
            Warning(line, "$(" + name + ") is already set at line " + std::to_string(it->second.line) +
                              ": this value replaces it");
            app_.erase(it);
        }
        app_.emplace(name, AppEntry{value, line});
    }
}

// A store as the sections find it: machine values, the script's settings, then
// what the install sets before the first section runs. Slots are counted as the
// installer's store of VAR_DEFAULT_MAX_NUM would fill.
int Checker::FillStore() {
    const auto predefined = SCRIPTINFO_PredefinedVariables();
    std::set<std::string, NoCaseLess> names;
    for (const SCRIPTINFO_VARIABLE& v : predefined)
        if (v.when == SCRIPTINFO_AT_START) names.insert(v.name);
    std::vector<std::pair<int, std::string>> in_order;
    for (const auto& [name, entry] : app_) in_order.emplace_back(entry.line, name);
    std::sort(in_order.begin(), in_order.end());
    for (const auto& [line, name] : in_order) {
        names.insert(name);
        if (names.size() == VAR_DEFAULT_MAX_NUM + 1)
            Error(line, "more variables than the installer's " + std::to_string(VAR_DEFAULT_MAX_NUM) +
                            " slots: start-up stops with " + CodeText(ERROR_VAR_NO_FREE_SLOT));
    }
    if (names.size() <= VAR_DEFAULT_MAX_NUM) {
        size_t later = 0;
        for (const SCRIPTINFO_VARIABLE& v : predefined)
            if ((v.when == SCRIPTINFO_ALWAYS || v.when == SCRIPTINFO_SOMETIMES || v.when == SCRIPTINFO_GONE) &&
                !names.contains(v.name))
                ++later;
        if (names.size() + later > VAR_DEFAULT_MAX_NUM)
            Error(application_line_, "[Application] leaves too few of the installer's " +
                                         std::to_string(VAR_DEFAULT_MAX_NUM) + " variable slots for the " +
                                         std::to_string(later) + " it sets during the install");
    }

    // Room for everything, so that an overflow reported above does not hide other findings.
    if (int rc = VAR_Init(static_cast<int>(names.size() + predefined.size())); rc != 0) return rc;
    for (const SCRIPTINFO_VARIABLE& v : predefined)
        if (v.when == SCRIPTINFO_AT_START) VAR_Set(v.name, v.sample);
    for (const auto& [name, entry] : app_) VAR_Set(name.c_str(), entry.value.c_str());
    if (VAR_Copy("DefaultDirectory", "DestinationDirectory") != 0) VAR_Set("DestinationDirectory", "C:\\DEMO");
    for (const SCRIPTINFO_VARIABLE& v : predefined)
        if (v.when != SCRIPTINFO_AT_START && !VAR_Exists(v.name)) VAR_Set(v.name, v.sample);
    return 0;
}

bool Checker::CheckReference(int line, const std::string& where, const std::string& name) {
    if (app_.contains(name)) return true;
    const SCRIPTINFO_VARIABLE* v = SCRIPTINFO_FindPredefined(name);
    if (v == nullptr && !have_application_) return false;  // the missing section is the one finding
    if (v == nullptr) {
        Error(line, where + "unknown variable $(" + name + "): it is neither predefined nor set in [Application]");
        return false;
    }
    switch (v->when) {
    case SCRIPTINFO_AT_START:
    case SCRIPTINFO_ALWAYS:
        return true;
    case SCRIPTINFO_SOMETIMES:
        Warning(line, where + "$(" + name + ") may be undefined here: " + v->note);
        return true;
    case SCRIPTINFO_UNINSTALL_ONLY:
    case SCRIPTINFO_GONE:
        break;
    }
    Error(line, where + "$(" + name + ") is undefined while the sections run: " + v->note);
    return false;
}

// References inside [Application] values are expanded wherever the value is used.
void Checker::CheckApplicationValues() {
    for (const auto& [name, entry] : app_) {
        bool unterminated = false;
        for (const Reference& r : FindReferences(entry.value, &unterminated))
            CheckReference(entry.line, "in $(" + name + "): ", r.name);
        if (unterminated)
            Error(entry.line, "in $(" + name + "): \"$(\" without \")\": every use stops with " +
                                  CodeText(ERROR_VAR_REPLACE));
    }
}

// A value that leads back to itself never stops expanding.
void Checker::FindCycles() {
    std::map<std::string, int, NoCaseLess> state;  // 1 on the path, 2 done
    std::vector<std::string> path;
    auto visit = [&](auto&& self, const std::string& name) -> void {
        state[name] = 1;
        path.push_back(name);
        bool unterminated = false;
        for (const Reference& r : FindReferences(app_.at(name).value, &unterminated)) {
            if (!app_.contains(r.name)) continue;
            const int s = state.contains(r.name) ? state[r.name] : 0;
            if (s == 0) {
                self(self, r.name);
            } else if (s == 1) {
                auto from = std::find_if(path.begin(), path.end(),
                                         [&](const std::string& p) { return !NoCaseLess{}(p, r.name) &&
                                                                            !NoCaseLess{}(r.name, p); });
                std::string chain;
                for (auto it = from; it != path.end(); ++it) chain += "$(" + *it + ") -> ";
                chain += "$(" + *from + ")";
                for (auto it = from; it != path.end(); ++it) cyclic_.insert(*it);
                Error(app_.at(*from).line, "$(" + *from + ") refers to itself (" + chain +
                                               "): its expansion never ends");
            }
        }
        path.pop_back();
        state[name] = 2;
    };
    for (const auto& [name, entry] : app_)
        if (!state.contains(name)) visit(visit, name);
}

bool Checker::ReachesCycle(std::string_view text) const {
    std::set<std::string, NoCaseLess> seen;
    std::vector<std::string> todo;
    bool unterminated = false;
    for (const Reference& r : FindReferences(text, &unterminated)) todo.push_back(r.name);
    while (!todo.empty()) {
        const std::string name = todo.back();
        todo.pop_back();
        if (cyclic_.contains(name)) return true;
        auto it = app_.find(name);
        if (it == app_.end() || !seen.insert(name).second) continue;
        for (const Reference& r : FindReferences(it->second.value, &unterminated)) todo.push_back(r.name);
    }
    return false;
}

// True when the value of name is the script's own, the same on every machine.
bool Checker::IsFixed(const std::string& name, std::set<std::string, NoCaseLess>& seen) const {
    auto it = app_.find(name);
    if (it == app_.end()) return false;
    const SCRIPTINFO_VARIABLE* v = SCRIPTINFO_FindPredefined(name);
    if (v != nullptr && v->when != SCRIPTINFO_AT_START) return false;  // the install replaces it
    if (!seen.insert(name).second) return true;
    bool unterminated = false;
    for (const Reference& r : FindReferences(it->second.value, &unterminated))
        if (!IsFixed(r.name, seen)) return false;
    return true;
}

void Checker::CheckRequired() {
    for (const SCRIPTINFO_REQUIREMENT& r : SCRIPTINFO_RequiredVariables()) {
        auto it = app_.find(r.name);
        if (it == app_.end()) {
            const char* what = r.read == SCRIPTINFO_READ_FLAG     ? "flag"
                               : r.read == SCRIPTINFO_READ_NUMBER ? "number"
                                                                  : "variable";
            Error(application_line_, std::string("required ") + what + " $(" + r.name +
                                         ") is not set in [Application]: " + r.reader + " stops without it");
            continue;
        }
        const std::string& value = it->second.value;
        if (r.read == SCRIPTINFO_READ_FLAG && !value.empty() && value.find('$') == std::string::npos &&
            std::strchr(kFlagLetters, value[0]) == nullptr)
            Warning(it->second.line, "$(" + std::string(r.name) + ") " + Quoted(value) +
                                         " reads as false: a flag is true when it begins with 1, T or Y");
    }
}

// Expands raw as the handler will; the expanded text when it is the same on every
// machine, nothing otherwise.
std::optional<std::string> Checker::CheckExpansion(int line, const std::string& where, const std::string& raw) {
    bool unterminated = false;
    const std::vector<Reference> references = FindReferences(raw, &unterminated);
    bool known = true;
    for (const Reference& r : references) known = CheckReference(line, where, r.name) && known;
    if (unterminated) {
        Error(line, where + "\"$(\" without \")\": the line stops with " + CodeText(ERROR_VAR_REPLACE));
        return std::nullopt;
    }
    if (!known || !have_application_ || ReachesCycle(raw)) return std::nullopt;

    char buffer[SCRIPTINFO_EXPANDED_SIZE];
    char expanded[VAR_MAX_WORK_LENGTH];
    const int rc = ZYNCHECK_Expand(raw.c_str(), buffer, sizeof buffer);
    if (rc == ERROR_VAR_NOT_FOUND) return std::nullopt;  // reported where the value is set
    if (rc == ERROR_VAR_BUFFER_TOO_SMALL) {
        VAR_Expand(raw.c_str(), expanded, sizeof expanded);
        Error(line, where + "expands to " + std::to_string(std::strlen(expanded)) + " characters, more than the " +
                        std::to_string(SCRIPTINFO_EXPANDED_SIZE - 1) + " a column holds");
        return std::nullopt;
    }
    if (rc <= ERROR_VAREVAL_UNKNOWN_OPERATOR && rc >= ERROR_MISMATCHED_LEFT_AND_RIGHT) {
        const bool parse = rc != ERROR_VAREVAL_BAD_OPERAND && rc != ERROR_MISMATCHED_LEFT_AND_RIGHT;
        Error(line, where + (parse ? "evaluation block does not parse: " : "evaluation block fails: ") +
                        CodeText(rc));
        return std::nullopt;
    }
    if (rc < 0) {
        Error(line, where + "expansion fails: " + CodeText(rc));
        return std::nullopt;
    }
    const bool block = VAREVAL_IsBlock(raw.c_str()) != 0;
    if (!block && raw.find("$[") != std::string::npos && VAR_Expand(raw.c_str(), expanded, sizeof expanded) == 0 &&
        VAREVAL_IsBlock(expanded) == 0)
        Warning(line, where + "\"$[\" is not evaluated: a block must be the whole column, \"$[\" to \"]\"");
    std::set<std::string, NoCaseLess> seen;
    for (const Reference& r : references)
        if (!IsFixed(r.name, seen)) return std::nullopt;
    return std::string(buffer);
}

void Checker::CheckValue(int line, const std::string& where, const SCRIPTINFO_COLUMN& column,
                         const std::string& value, const std::optional<std::string>& operation) {
    switch (column.kind) {
    case SCRIPTINFO_TEXT:
        break;
    case SCRIPTINFO_FLAG:
        if (!value.empty() && std::strchr(kFlagLetters, value[0]) == nullptr)
            Warning(line, where + Quoted(value) + " reads as false: a flag is true when it begins with 1, T or Y");
        break;
    case SCRIPTINFO_UNSUPPORTED:
        if (COMMON_IsTrue(value.c_str()))
            Error(line, where + "is true, but the installer cannot expand compressed files: every non-empty file "
                                "fails to copy");
        break;
    case SCRIPTINFO_NUMBER:
        if (!value.empty() && !IsDecimal(value)) Warning(line, where + Quoted(value) + " is not a decimal number");
        break;
    case SCRIPTINFO_WORD:
        if (!SCRIPTINFO_IsWord(*column.words, value)) {
            std::string text = where + "unknown " + column.words->what + " " + Quoted(value) + "; expected " +
                               SCRIPTINFO_WordList(*column.words);
            if (column.words->fatal)
                Error(line, text);
            else
                Warning(line, text + ": the line does nothing");
        }
        break;
    case SCRIPTINFO_FLAG_WORDS: {
        if (!SCRIPTINFO_IsWord(*column.words, value)) {
            Error(line, where + "no " + column.words->what + " in " + Quoted(value) + "; expected at least one of " +
                            SCRIPTINFO_WordList(*column.words));
            break;
        }
        // Words are found as substrings, so anything between them is ignored; say so
        // for a word that holds none of them, it is probably misspelt.
        std::string word;
        for (size_t i = 0; i <= value.size(); ++i) {
            const char c = i < value.size() ? value[i] : ' ';
            if (c != ' ' && c != '\t' && c != '|') {
                word += c;
                continue;
            }
            if (!word.empty() && !SCRIPTINFO_IsWord(*column.words, word))
                Warning(line, where + "unknown " + column.words->what + " " + Quoted(word) + " is ignored");
            word.clear();
        }
        break;
    }
    case SCRIPTINFO_LETTERS:
        for (char c : value) {
            if (c == ' ' || SCRIPTINFO_IsWord(*column.words, std::string_view(&c, 1))) continue;
            Warning(line, where + column.words->what + " '" + std::string(1, c) + "' is ignored; the letters are " +
                              SCRIPTINFO_WordList(*column.words));
        }
        break;
    case SCRIPTINFO_REGISTRY_KEY: {
        std::string root;
        for (size_t i = 0; i < value.size() && root.empty(); ++i) {
            const size_t end = std::min(value.find('\\', i), value.size());
            root = value.substr(i, end - i);
            i = end;
        }
        if (root.empty())
            Error(line, where + "the key path is empty: the line stops with " +
                            CodeText(ERROR_LOGREG_KEY_DOESNT_EXIT));
        else if (!SCRIPTINFO_IsWord(*column.words, root))
            Error(line, where + "unknown " + column.words->what + " " + Quoted(root) + "; expected " +
                            SCRIPTINFO_WordList(*column.words));
        break;
    }
    case SCRIPTINFO_REGISTRY_TYPE:
        if (operation && SCRIPTINFO_IsWord(SCRIPTINFO_REGISTRY_SET_OPERATIONS, *operation) &&
            !SCRIPTINFO_IsWord(*column.words, value))
            Error(line, where + "unknown " + column.words->what + " " + Quoted(value) + " for " + *operation +
                            "; expected " + SCRIPTINFO_WordList(*column.words));
        break;
    }
}

// The columns of one data line, from index first of raw on (the fields before it are
// the handler's own). layout[i] describes raw[first + i].
void Checker::CheckRow(const char* section, int line, std::span<const SCRIPTINFO_COLUMN> layout,
                       const std::vector<std::string>& raw, size_t first) {
    std::vector<std::optional<std::string>> values;
    for (size_t i = 0; i < layout.size() && first + i < raw.size(); ++i) {
        const std::string where = std::string("[") + section + "] column " + std::to_string(first + i + 1) + " (" +
                                  layout[i].name + "): ";
        const std::string& token = raw[first + i];
        if (layout[i].expanded) {
            values.push_back(CheckExpansion(line, where, token));
        } else {
            values.emplace_back(token);
        }
    }
    const std::optional<std::string> operation = values.empty() ? std::nullopt : values[0];
    for (size_t i = 0; i < values.size(); ++i) {
        if (!values[i]) continue;
        if (layout[i].kind == SCRIPTINFO_FLAG && VAREVAL_IsBlock(raw[first + i].c_str())) continue;
        const std::string where = std::string("[") + section + "] column " + std::to_string(first + i + 1) + " (" +
                                  layout[i].name + ") ";
        CheckValue(line, where, layout[i], *values[i], operation);
    }
}

void Checker::CheckColumnSection(const SCRIPTINFO_SECTION& section) {
    const int n = section.columns;
    const int w = SCRIPTINFO_COLUMN_WIDTH;
    std::vector<char> table(static_cast<size_t>(n) * w);
    for (;;) {
        const int rc = INF_ReadTokens(table.data(), n, w);
        if (rc == 1) break;
        const int line = INF_GetLineNumber();
        const std::string prefix = std::string("[") + section.name + "] ";
        if (rc == ERROR_INF_TOO_FEW_TOKENS_FOUND || rc == ERROR_INF_TOO_MANY_TOKENS_FOUND) {
            std::string text = LineText(line);
            if (!text.empty() && text.back() == ',') text += '\n';
            Error(line, prefix + "line has " + std::to_string(SplitColumns(text).size()) + " columns; " +
                            std::to_string(n) + " expected");
            continue;
        }
        if (rc == ERROR_INF_BUFFER_TOO_SMALL) {
            if (LineText(line).size() >= static_cast<size_t>(n) * w)
                Error(line, prefix + "line is longer than " + std::to_string(n * w - 1) + " characters");
            else
                Error(line, prefix + "a column is longer than " + std::to_string(w - 1) + " characters");
            continue;
        }
        if (rc < 0) {
            Error(line, prefix + CodeText(rc));
            break;
        }
        std::vector<std::string> raw;
        for (int k = 0; k < n; ++k) raw.emplace_back(table.data() + static_cast<size_t>(k) * w);
        CheckRow(section.name, line, section.layout, raw, 0);
    }
}

// A Protection line: the token says which parameters follow before the two flags.
void Checker::CheckKeywordLine(const SCRIPTINFO_SECTION& section, int line, const std::vector<std::string>& fields) {
    const std::string prefix = "[" + std::string(section.name) + "] ";
    const std::string token = fields.empty() ? std::string() : fields[0];
    const SCRIPTINFO_PROTECTION_TOKEN* t = SCRIPTINFO_FindProtectionToken(token);
    if (t == nullptr) {
        std::string trimmed = token;
        while (!trimmed.empty() && IsBlank(trimmed.back())) trimmed.pop_back();
        std::string list;
        for (const SCRIPTINFO_PROTECTION_TOKEN& p : SCRIPTINFO_ProtectionTokens())
            list += (list.empty() ? "" : ", ") + std::string(p.token);
        if (trimmed != token && SCRIPTINFO_FindProtectionToken(trimmed) != nullptr)
            Error(line, prefix + "unknown token " + Quoted(token) +
                            ": the blank before the comma is part of the token");
        else
            Error(line, prefix + "unknown token " + Quoted(token) + "; expected " + list);
        return;
    }
    std::vector<SCRIPTINFO_COLUMN> layout;
    for (const char* p : t->parameters) layout.push_back({p, SCRIPTINFO_TEXT, nullptr, true});
    const SCRIPTINFO_KIND flag = t->reads_flags ? SCRIPTINFO_FLAG : SCRIPTINFO_TEXT;
    layout.push_back({"uninstall?", flag, nullptr, true});
    layout.push_back({"install?", flag, nullptr, true});
    const size_t needed = 1 + t->parameters.size() + (t->reads_flags ? 2 : 0);
    const size_t room = 1 + layout.size();
    if (fields.size() < needed) {
        std::string names = "token";
        for (const SCRIPTINFO_COLUMN& c : layout) names += std::string(", ") + c.name;
        Error(line, prefix + std::string(t->token) + " needs " + std::to_string(needed) + " fields (" +
                        names + "), found " + std::to_string(fields.size()) +
                        ": the missing ones keep the previous line's values");
    } else if (fields.size() > room) {
        Warning(line, prefix + std::to_string(fields.size() - room) + " fields after install? are ignored");
    }
    CheckRow(section.name, line, layout, fields, 1);
}

void Checker::CheckFieldLine(const SCRIPTINFO_SECTION& section, int line, const std::vector<std::string>& fields) {
    if (fields.size() != static_cast<size_t>(section.columns)) {
        std::string names;
        for (const SCRIPTINFO_COLUMN& c : section.layout) names += (names.empty() ? "" : ", ") + std::string(c.name);
        Error(line, "[" + std::string(section.name) + "] line has " + std::to_string(fields.size()) + " fields; " +
                        std::to_string(section.columns) + " expected (" + names + ")");
    }
    CheckRow(section.name, line, section.layout, fields, 0);
}

void Checker::CheckSection(const SCRIPTINFO_SECTION& section) {
    std::string name = section.name;
    if (INF_FindSection(name.data()) != 0) {
        Error(1, "missing section [" + std::string(section.name) + "]: when the install reaches it, it stops with " +
                     CodeText(ERROR_INF_SECTION_NOT_FOUND));
        return;
    }
    if (section.cut == SCRIPTINFO_CUT_COLUMNS) {
        CheckColumnSection(section);
        return;
    }
    char buffer[SCRIPTINFO_RAW_LINE_SIZE];
    for (;;) {
        const int rc = INF_ReadLine(buffer, sizeof buffer);
        if (rc == 1) break;
        const int line = INF_GetLineNumber();
        if (rc < 0) {
            Error(line, "[" + std::string(section.name) + "] line is longer than " +
                            std::to_string(SCRIPTINFO_RAW_LINE_SIZE - 1) + " characters");
            if (rc == ERROR_INF_BUFFER_TOO_SMALL) continue;
            break;
        }
        const std::vector<std::string> fields = SplitFields(buffer);
        if (section.cut == SCRIPTINFO_CUT_KEYWORD)
            CheckKeywordLine(section, line, fields);
        else
            CheckFieldLine(section, line, fields);
    }
}

// Diskette names: "number = name" lines, read when the install asks for a diskette.
void Checker::CheckDisks() {
    char section[] = "Disks";
    if (INF_FindSection(section) != 0) return;
    char buffer[VAR_MAX_WORK_LENGTH];
    for (;;) {
        const int rc = INF_ReadLine(buffer, sizeof buffer);
        if (rc == 1) break;
        const int line = INF_GetLineNumber();
        if (rc < 0) {
            Error(line, "[Disks] " + CodeText(rc));
            if (rc == ERROR_INF_BUFFER_TOO_SMALL) continue;
            break;
        }
        const char* equals = std::strchr(buffer, '=');
        if (equals == nullptr || !IsDecimal(std::string_view(buffer, static_cast<size_t>(equals - buffer))))
            Warning(line, "[Disks] line is not of the form number = name: no diskette gets this name");
    }
}

int Checker::OnEvent(const char* event) {
    const int line = INF_GetLineNumber();
    std::string_view text(event);
    if (text.size() >= SCRIPTINFO_EVENT_LINE_SIZE) {
        Error(line, "event line is longer than " + std::to_string(SCRIPTINFO_EVENT_LINE_SIZE - 1) +
                        " characters: the install stops with " + CodeText(ERROR_EVENT_BUFFER_TOO_SMAL));
        return 0;
    }
    std::string inner(text.substr(1, text.size() - 2));
    if (!inner.empty() && inner.back() == ',') inner += '\n';
    const std::vector<std::string> tokens = SplitColumns(inner);
    const std::string name = tokens.empty() ? std::string() : tokens[0];
    const SCRIPTINFO_EVENT* e = SCRIPTINFO_FindEvent(name);
    if (e == nullptr) {
        std::string list;
        for (const SCRIPTINFO_EVENT& ev : SCRIPTINFO_Events()) list += (list.empty() ? "" : ", ") + std::string(ev.name);
        Error(line, "unknown event " + Quoted(name) + "; expected " + list + ": the install stops with " +
                        CodeText(ERROR_EVENT_NO_HANDLER_FOUND));
        return 0;
    }
    if (e->parameters < 0) return 0;
    const int given = static_cast<int>(tokens.size()) - 1;
    if (given < e->parameters) {
        Error(line, std::string(e->name) + " needs " + std::to_string(e->parameters) + " parameters, found " +
                        std::to_string(given) + ": the install stops with " +
                        CodeText(ERROR_BMPDISP_EVENT_MISSING_PARAMS));
        return 0;
    }
    for (int k = e->first_number; k >= 1 && k <= e->parameters; ++k) {
        if (!ReadsAsInteger(tokens[static_cast<size_t>(k)]))
            Error(line, std::string(e->name) + " parameter " + std::to_string(k) + " " +
                            Quoted(tokens[static_cast<size_t>(k)]) + " is not a number: the install stops with " +
                            CodeText(ERROR_BMPDISP_EVENT_MISSING_PARAMS));
    }
    if (e->first_number > 1 && tokens[1].size() > SCRIPTINFO_PICTURE_NAME)
        Warning(line, "picture name " + Quoted(tokens[1]) + " is longer than " +
                          std::to_string(SCRIPTINFO_PICTURE_NAME) + " characters");
    return 0;
}

int Checker::Run() {
    ScanLayout();
    if (int rc = INF_LoadText(script_.data(), script_.size()); rc != 0) return rc;
    INF_SetEventLines(true);
    INF_SetEventHandler(EventHook);
    ReadApplication();
    int rc = FillStore();
    if (rc == 0) {
        if (have_application_) {
            CheckRequired();
            CheckApplicationValues();
            FindCycles();
        }
        for (const SCRIPTINFO_SECTION& section : SCRIPTINFO_InstallSections()) CheckSection(section);
        CheckDisks();
    }
    INF_SetEventHandler(nullptr);
    VAR_Terminate();
    INF_Terminate();
    return rc;
}

}  // namespace

int ZYNCHECK_CheckText(std::string_view text, std::vector<ZYNCHECK_FINDING>* findings) {
    try {
        std::vector<ZYNCHECK_FINDING> found;
        Checker checker(text, &found);
        g_checker = &checker;
        const int rc = checker.Run();
        g_checker = nullptr;
        std::stable_sort(found.begin(), found.end(),
                         [](const ZYNCHECK_FINDING& a, const ZYNCHECK_FINDING& b) { return a.line < b.line; });
        found.erase(std::unique(found.begin(), found.end(),
                                [](const ZYNCHECK_FINDING& a, const ZYNCHECK_FINDING& b) {
                                    return a.line == b.line && a.severity == b.severity && a.text == b.text;
                                }),
                    found.end());
        *findings = std::move(found);
        return rc;
    } catch (const std::bad_alloc&) {
        g_checker = nullptr;
        INF_SetEventHandler(nullptr);
        return ERROR_INF_MEMORY_ALLOCATE;
    }
}

int ZYNCHECK_Expand(const char* token, char* buffer, size_t size) {
    char work[VAR_MAX_WORK_LENGTH];
    const int limit = static_cast<int>(std::min(size, sizeof work));
    if (int rc = VAR_Expand(token, work, limit); rc != 0) return rc;
    if (VAREVAL_IsBlock(work)) {
        int32_t value = 0;
        if (int rc = VAREVAL_EvaluateBlock(work, &value); rc != 0) return rc;
        std::snprintf(work, sizeof work, "%d", static_cast<int>(value));
        if (std::strlen(work) >= size) return ERROR_VAR_BUFFER_TOO_SMALL;
    }
    std::memcpy(buffer, work, std::strlen(work) + 1);
    return 0;
}

int ZYNCHECK_EvalToken(const char* token, std::span<const std::string> assignments, std::string* result) {
    try {
        int rc = VAR_Init(VAR_DEFAULT_MAX_NUM);
        for (size_t i = 0; rc == 0 && i < assignments.size(); ++i) {
            const std::string& a = assignments[i];
            const size_t equals = a.find('=');
            const std::string name = a.substr(0, equals);
            const std::string value = equals == std::string::npos ? std::string() : a.substr(equals + 1);
            rc = VAR_Set(name.c_str(), value.c_str());
        }
        char buffer[SCRIPTINFO_EXPANDED_SIZE];
        if (rc == 0) rc = ZYNCHECK_Expand(token, buffer, sizeof buffer);
        if (rc == 0) *result = buffer;
        VAR_Terminate();
        return rc;
    } catch (const std::bad_alloc&) {
        VAR_Terminate();
        return ERROR_VAR_MEMORY_ALLOCATE;
    }
}
