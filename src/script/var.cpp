#include "script/var.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "script/common.h"
#include "script/inf.h"
#include "script/module.h"
#include "script/vareval.h"
#include "script/zynerror.h"

namespace {

constexpr const char* kSource = "var";
constexpr size_t kMaxWorkText = VAR_MAX_WORK_LENGTH - 1;
// VAR_GetNumber reads at most this many characters of the value.
constexpr int kNumberBuffer = 30;

struct Slot {
    char name[VAR_MAX_NAME_LENGTH + 1] = {};  // empty: the slot is free
    std::string value;
};

std::vector<Slot> g_slots;
bool g_initialised = false;

// "$(Name)" -> "Name": the first two and the last character go; anything else stays.
std::string_view Normalised(const char* name) {
    if (name == nullptr) return {};
    const std::string_view view(name);
    if (view.size() < 2 || view[0] != '$' || view[1] != '(') return view;
    // "$(" alone leaves nothing; the view still points into the caller's string.
    return view.substr(2, view.size() < 3 ? 0 : view.size() - 3);
}

// Normalises in the caller's own string and returns the result.
std::string_view NormaliseInPlace(char* name) {
    const std::string_view inner = Normalised(name);
    if (name == nullptr || inner.data() == name) return inner;
    std::memmove(name, inner.data(), inner.size());
    name[inner.size()] = '\0';
    return std::string_view(name, inner.size());
}

bool SameName(const char* stored, std::string_view name) {
    size_t i = 0;
    for (; i < name.size(); ++i) {
        if (stored[i] == '\0') return false;
        if (std::tolower(static_cast<unsigned char>(stored[i])) != std::tolower(static_cast<unsigned char>(name[i]))) {
            return false;
        }
    }
    return stored[i] == '\0';
}

// The slot holding name, or null. The empty name never matches (it marks free slots),
// and a name too long for a slot cannot be stored, so it never matches either.
Slot* Find(std::string_view name) {
    if (name.empty() || name.size() > static_cast<size_t>(VAR_MAX_NAME_LENGTH)) return nullptr;
    for (Slot& slot : g_slots) {
        if (slot.name[0] != '\0' && SameName(slot.name, name)) return &slot;
    }
    return nullptr;
}

int Set(std::string_view name, const char* value) {
    if (!g_initialised) return ERROR_VAR_NOT_INITIALIZED;
    if (name.empty()) return ERROR_VAR_NOT_FOUND;
    if (name.size() > static_cast<size_t>(VAR_MAX_NAME_LENGTH)) return ERROR_VAR_BUFFER_TOO_SMALL;
    Slot* slot = Find(name);
    if (slot == nullptr) {
        for (Slot& candidate : g_slots) {
            if (candidate.name[0] == '\0') {
                slot = &candidate;
                break;
            }
        }
        if (slot == nullptr) return ERROR_VAR_NO_FREE_SLOT;
    }
    try {
        std::string copy(value == nullptr ? "" : value);
        slot->value = std::move(copy);
    } catch (const std::bad_alloc&) {
        return ERROR_VAR_MEMORY_ALLOCATE;
    }
    std::memcpy(slot->name, name.data(), name.size());
    slot->name[name.size()] = '\0';
    return 0;
}

int Get(std::string_view name, char* buffer, int size) {
    if (!g_initialised) return ERROR_VAR_NOT_INITIALIZED;
    const Slot* slot = Find(name);
    if (slot == nullptr) {
        if (buffer != nullptr && size > 0) buffer[0] = '\0';
        return ERROR_VAR_NOT_FOUND;
    }
    // The value must fit with its terminator: an unterminated copy is never handed out.
    if (buffer == nullptr || size <= 0 || slot->value.size() >= static_cast<size_t>(size)) {
        return ERROR_VAR_BUFFER_TOO_SMALL;
    }
    std::memcpy(buffer, slot->value.c_str(), slot->value.size() + 1);
    return 0;
}

int Exists(std::string_view name) { return g_initialised && Find(name) != nullptr ? 1 : 0; }

int GetFlag(std::string_view name) {
    if (!g_initialised) ZYNERROR_Fatal(ERROR_VAR_NOT_INITIALIZED, kSource, __LINE__);
    const Slot* slot = Find(name);
    if (slot == nullptr) ZYNERROR_Fatal(ERROR_VAR_NOT_FOUND, kSource, __LINE__);
    return COMMON_IsTrue(slot->value.c_str());
}

int SetNumber(std::string_view name, long number) {
    char text[32];
    std::snprintf(text, sizeof text, "%ld", number);
    return Set(name, text);
}

// Leading white space, an optional sign, then digits up to the first other character;
// saturates instead of overflowing.
long ToNumber(const char* text) {
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\v' || *text == '\f') ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    unsigned long magnitude = 0;
    const unsigned long limit = negative ? 0ul - static_cast<unsigned long>(LONG_MIN) : static_cast<unsigned long>(LONG_MAX);
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
        const unsigned long digit = static_cast<unsigned long>(*text - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    if (!negative) return static_cast<long>(magnitude);
    return magnitude == limit ? LONG_MIN : -static_cast<long>(magnitude);
}

int GetNumber(std::string_view name, long* number) {
    char text[kNumberBuffer];
    const int rc = Get(name, text, kNumberBuffer);
    const long result = rc < 0 ? 0 : ToNumber(text);
    if (number != nullptr) *number = result;
    return rc;
}

int Copy(std::string_view from, std::string_view to) {
    if (!g_initialised) return ERROR_VAR_NOT_INITIALIZED;
    const Slot* source = Find(from);
    if (source == nullptr) return ERROR_VAR_NOT_FOUND;
    try {
        const std::string value = source->value;
        return Set(to, value.c_str());
    } catch (const std::bad_alloc&) {
        return ERROR_VAR_MEMORY_ALLOCATE;
    }
}

int Delete(std::string_view name) {
    if (!g_initialised) return ERROR_VAR_NOT_INITIALIZED;
    Slot* slot = Find(name);
    if (slot == nullptr) return ERROR_VAR_NOT_FOUND;
    *slot = Slot{};
    return 0;
}

// Replacing passes allowed before a text counts as expanding forever. A chain of
// distinct variables needs at most one pass per variable, so only a variable that
// refers to itself (directly or through others) can reach this.
size_t PassLimit() { return g_slots.size() + 1; }

// One pass over source into work: 0 with replaced set, or an error code.
int ExpandPass(const std::string& source, std::string& work, bool& replaced) {
    work.clear();
    replaced = false;
    bool inBlock = false;
    for (size_t i = 0; i < source.size();) {
        const char c = source[i];
        const char next = i + 1 < source.size() ? source[i + 1] : '\0';
        if (c == '$' && next == '(') {
            const size_t close = source.find(')', i + 2);
            if (close == std::string::npos) return ERROR_VAR_REPLACE;
            const Slot* slot = Find(std::string_view(source).substr(i + 2, close - i - 2));
            if (slot == nullptr) return ERROR_VAR_NOT_FOUND;
            if (work.size() + slot->value.size() + 2 > kMaxWorkText) return ERROR_VAR_MAX_WORK_LENGTH;
            // Inside a block a value is one operand, whatever it holds.
            if (inBlock) work += '(';
            work += slot->value;
            if (inBlock) work += ')';
            i = close + 1;
            replaced = true;
            continue;
        }
        if (work.size() + 1 > kMaxWorkText) return ERROR_VAR_MAX_WORK_LENGTH;
        work += c;
        if (c == '$' && next == '[') {
            inBlock = true;
        } else if (c == ']') {
            inBlock = false;
        }
        ++i;
    }
    return 0;
}

int Expand(const char* text, std::string& work) {
    if (!g_initialised) return ERROR_VAR_NOT_INITIALIZED;
    const size_t length = text == nullptr ? 0 : std::strlen(text);
    if (length > kMaxWorkText) return ERROR_VAR_MAX_WORK_LENGTH;
    work.assign(text == nullptr ? "" : text, length);
    std::string source;
    for (size_t passes = 0;; ++passes) {
        if (passes > PassLimit()) return ERROR_VAR_MAX_WORK_LENGTH;
        source.swap(work);
        bool replaced = false;
        const int rc = ExpandPass(source, work, replaced);
        if (rc < 0) return rc;
        if (!replaced) return 0;
    }
}

int StoreResult(const std::string& text, char* buffer, int size) {
    if (buffer == nullptr || size <= 0 || text.size() >= static_cast<size_t>(size)) return ERROR_VAR_BUFFER_TOO_SMALL;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return 0;
}

}  // namespace

int VAR_Init(int count) {
    if (g_initialised) VAR_Terminate();
    g_initialised = true;
    MODULE_Register(VAR_Terminate, 0);
    try {
        g_slots.assign(count > 0 ? static_cast<size_t>(count) : 0, Slot{});
    } catch (const std::bad_alloc&) {
        g_slots.clear();
        return ERROR_VAR_MEMORY_ALLOCATE;
    }
    return 0;
}

int VAR_Terminate() {
    std::vector<Slot>().swap(g_slots);
    g_initialised = false;
    MODULE_Unregister(VAR_Terminate);
    return 0;
}

int VAR_Set(char* name, const char* value) { return Set(NormaliseInPlace(name), value); }
int VAR_Set(const char* name, const char* value) { return Set(Normalised(name), value); }

int VAR_Get(char* name, char* buffer, int size) { return Get(NormaliseInPlace(name), buffer, size); }
int VAR_Get(const char* name, char* buffer, int size) { return Get(Normalised(name), buffer, size); }

int VAR_Exists(char* name) { return Exists(NormaliseInPlace(name)); }
int VAR_Exists(const char* name) { return Exists(Normalised(name)); }

int VAR_GetFlag(char* name) { return GetFlag(NormaliseInPlace(name)); }
int VAR_GetFlag(const char* name) { return GetFlag(Normalised(name)); }

int VAR_SetNumber(char* name, long number) { return SetNumber(NormaliseInPlace(name), number); }
int VAR_SetNumber(const char* name, long number) { return SetNumber(Normalised(name), number); }

int VAR_GetNumber(char* name, long* number) { return GetNumber(NormaliseInPlace(name), number); }
int VAR_GetNumber(const char* name, long* number) { return GetNumber(Normalised(name), number); }

int VAR_Copy(char* from, char* to) {
    const std::string_view source = NormaliseInPlace(from);
    return Copy(source, to == from ? source : NormaliseInPlace(to));
}
int VAR_Copy(const char* from, const char* to) { return Copy(Normalised(from), Normalised(to)); }

int VAR_Delete(char* name) { return Delete(NormaliseInPlace(name)); }
int VAR_Delete(const char* name) { return Delete(Normalised(name)); }

int VAR_Expand(const char* text, char* buffer, int size) {
    try {
        std::string work;
        const int rc = Expand(text, work);
        return rc < 0 ? rc : StoreResult(work, buffer, size);
    } catch (const std::bad_alloc&) {
        return ERROR_VAR_MEMORY_ALLOCATE;
    }
}

int VAR_Substitute(const char* text, char* buffer, int size) {
    try {
        std::string work;
        int rc = Expand(text, work);
        if (rc < 0) return rc;
        if (buffer == nullptr || size <= 0 || work.size() >= static_cast<size_t>(size)) {
            return ERROR_VAR_BUFFER_TOO_SMALL;
        }
        if (VAREVAL_IsBlock(work.c_str())) {
            int32_t value = 0;
            rc = VAREVAL_EvaluateBlock(work.c_str(), &value);
            // A faulty expression in the script stops the run.
            if (rc < 0) ZYNERROR_Fatal(rc, kSource, __LINE__);
            work = std::to_string(value);
        }
        return StoreResult(work, buffer, size);
    } catch (const std::bad_alloc&) {
        return ERROR_VAR_MEMORY_ALLOCATE;
    }
}

int VAR_ReadApplicationSection() {
    char section[] = "Application";
    int rc = INF_FindSection(section);
    if (rc < 0) return rc;
    char line[255];
    for (;;) {
        rc = INF_ReadLine(line, sizeof line);
        if (rc == 1) return 0;
        if (rc < 0) return rc;
        char empty[1] = {'\0'};
        char* value = empty;
        if (char* equals = std::strchr(line, '=')) {
            *equals = '\0';
            value = equals + 1;
        }
        INF_Trim(line, INF_TRIM_BOTH);
        INF_Trim(value, INF_TRIM_BOTH);
        // Only "$(Name)=value" lines define variables; the value stays unexpanded.
        if (std::strstr(line, "$(") == nullptr) continue;
        rc = VAR_Set(line, value);
        if (rc < 0) return rc;
    }
}
