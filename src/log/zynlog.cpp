#include "log/zynlog.h"

#include <cstdint>
#include <cstring>
#include <list>
#include <map>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/module.h"
#include "sys/sys32.h"

namespace {

unsigned char Fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

// Names compare with ASCII letters folded; other bytes (ANSI accents) as they are.
uint64_t NoCaseHash(std::string_view text) {
    uint64_t hash = 1469598103934665603ull;
    for (char c : text) hash = (hash ^ Fold(static_cast<unsigned char>(c))) * 1099511628211ull;
    return hash;
}

bool NoCaseEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

// Open addressing over the names' hashes: no allocation per entry and one flat probe
// sequence, which stays quick when an autosave has just pushed the tree out of the
// processor's caches.
template <class Iter>
class NameIndex {
public:
    Iter* Find(std::string_view name, uint64_t hash) {
        Slot* slot = FindSlot(name, hash);
        return slot ? &slot->it : nullptr;
    }

    // The name must not be listed yet.
    void Insert(uint64_t hash, Iter it) {
        if ((used_ + 1) * 4 > slots_.size() * 3) Grow();
        size_t at = Home(hash);
        while (slots_[at].state == kFull) at = (at + 1) & Mask();
        if (slots_[at].state == kEmpty) ++used_;
        slots_[at] = Slot{hash, it, kFull};
        ++full_;
    }

    void Erase(std::string_view name, uint64_t hash) {
        if (Slot* slot = FindSlot(name, hash)) {
            slot->state = kDeleted;
            --full_;
        }
    }

    void Clear() {
        slots_.clear();
        full_ = used_ = 0;
    }

private:
    static constexpr unsigned char kEmpty = 0, kFull = 1, kDeleted = 2;
    struct Slot {
        uint64_t hash;
        Iter it;
        unsigned char state;
    };

    Slot* FindSlot(std::string_view name, uint64_t hash) {
        if (slots_.empty()) return nullptr;
        for (size_t at = Home(hash);; at = (at + 1) & Mask()) {
            Slot& slot = slots_[at];
            if (slot.state == kEmpty) return nullptr;
            if (slot.state == kFull && slot.hash == hash && NoCaseEqual(slot.it->name, name)) return &slot;
        }
    }

    size_t Mask() const { return slots_.size() - 1; }
    size_t Home(uint64_t hash) const { return static_cast<size_t>((hash * 0x9E3779B97F4A7C15ull) >> 20) & Mask(); }

    // Doubles when live entries fill half the table, else only sweeps out deleted slots.
    void Grow() {
        size_t size = slots_.empty() ? 8 : slots_.size();
        while (full_ * 2 >= size) size *= 2;
        std::vector<Slot> old(size, Slot{0, Iter{}, kEmpty});
        old.swap(slots_);
        used_ = full_ = 0;
        for (const Slot& slot : old) {
            if (slot.state != kFull) continue;
            size_t at = Home(slot.hash);
            while (slots_[at].state == kFull) at = (at + 1) & Mask();
            slots_[at] = slot;
            ++used_;
            ++full_;
        }
    }

    std::vector<Slot> slots_;
    size_t full_ = 0;
    size_t used_ = 0;  // full and deleted: what ends a probe sequence late
};

// Longest length in a changing set of strings, without rescanning on removal.
class LengthStats {
public:
    void Add(size_t length) { ++counts_[length]; }
    void Remove(size_t length) {
        auto it = counts_.find(length);
        if (it != counts_.end() && --it->second == 0) counts_.erase(it);
    }
    size_t Max() const { return counts_.empty() ? 0 : counts_.rbegin()->first; }
    void Clear() { counts_.clear(); }

private:
    std::map<size_t, size_t> counts_;
};

// Entries in creation order with a case-insensitive name index, so that lookups in
// long lists (thousands of file records under one key) do not walk the list. A
// cursor remembers the last position reached by index: enumerating forwards or
// backwards, with or without deleting the entry just visited, costs one step.
template <class T>
class NamedList {
public:
    using Iter = typename std::list<T>::iterator;

    size_t Size() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    Iter begin() { return items_.begin(); }
    Iter end() { return items_.end(); }
    T& Back() { return items_.back(); }

    Iter Find(std::string_view name) {
        Iter* found = index_.Find(name, NoCaseHash(name));
        return found ? *found : items_.end();
    }

    template <class... Args>
    T& Append(Args&&... args) {
        items_.emplace_back(std::forward<Args>(args)...);
        try {
            index_.Insert(NoCaseHash(items_.back().name), std::prev(items_.end()));
        } catch (...) {
            items_.pop_back();
            throw;
        }
        return items_.back();
    }

    void Erase(Iter it) {
        if (cursor_valid_ && it == cursor_) {
            ++cursor_;
            cursor_valid_ = cursor_ != items_.end();
        } else if (cursor_valid_ && cursor_ != items_.begin() && std::prev(cursor_) == it) {
            --cursor_index_;
        } else if (cursor_valid_ && it != std::prev(items_.end())) {
            cursor_valid_ = false;  // somewhere else: the cursor's index is no longer known
        }
        index_.Erase(it->name, NoCaseHash(it->name));
        items_.erase(it);
    }

    // Moves every entry into out (no destructor runs here) and leaves the list empty.
    void TakeAll(std::list<T>& out) {
        index_.Clear();
        cursor_valid_ = false;
        out.splice(out.end(), items_);
    }

    T* At(size_t index) {
        if (index >= items_.size()) return nullptr;
        size_t from_end = items_.size() - 1 - index;
        Iter it;
        if (cursor_valid_ && Distance(cursor_index_, index) <= std::min(index, from_end)) {
            it = cursor_;
            for (size_t i = cursor_index_; i < index; ++i) ++it;
            for (size_t i = cursor_index_; i > index; --i) --it;
        } else if (index <= from_end) {
            it = items_.begin();
            for (size_t i = 0; i < index; ++i) ++it;
        } else {
            it = std::prev(items_.end());
            for (size_t i = 0; i < from_end; ++i) --it;
        }
        cursor_ = it;
        cursor_index_ = index;
        cursor_valid_ = true;
        return &*it;
    }

private:
    static size_t Distance(size_t a, size_t b) { return a > b ? a - b : b - a; }

    std::list<T> items_;
    NameIndex<Iter> index_;
    Iter cursor_{};
    size_t cursor_index_ = 0;
    bool cursor_valid_ = false;
};

struct Value {
    Value(std::string_view n, std::string_view d, size_t l) : name(n), data(d), line_size(l) {}
    std::string name;
    std::string data;
    size_t line_size;  // bytes of this value in the file, to cut it out of the cached text
};

}  // namespace

struct ZYNLOG_KEY_NODE {
    ZYNLOG_KEY_NODE(std::string_view n, ZYNLOG_KEY_NODE* p, int d) : name(n), parent(p), depth(d) {}

    std::string name;
    ZYNLOG_KEY_NODE* parent;
    int depth;  // -1 for the root, 0 for the top-level keys
    NamedList<ZYNLOG_KEY_NODE> keys;
    NamedList<Value> values;
    LengthStats key_names;
    LengthStats value_names;
    LengthStats value_data;
    // All value lines of this key in order, as saved. Appending or removing the last
    // value keeps it current; any other change marks it stale until the next save.
    std::string values_text;
    bool values_text_valid = true;
    // Where this key's value lines end in the saved image, valid while image_generation
    // is the store's current generation.
    size_t image_values_end = 0;
    uint64_t image_generation = 0;
};

namespace {

ZYNLOG_KEY_NODE g_root("ZYNLOG_ROOT_KEY", nullptr, -1);

std::string g_file_name;
bool g_initialized = false;
bool g_autosave = true;
int g_interval = 0;
int g_changes = 0;
// The file as the next save writes it. A run of edits at the end of one key's values
// (an install recording its files, an uninstall removing them from the last) patches
// it in place, so that an autosave is one write of bytes already there; any other
// edit marks it stale and the next save builds it anew.
std::string g_image;
bool g_image_valid = false;
uint64_t g_generation = 1;  // moves on whenever the recorded offsets may have shifted

bool IsSpecial(unsigned char c) {
    return c == '"' || c == '[' || c == ']' || c == '{' || c == '}' || c == '\\';
}

void AppendEscaped(std::string& out, std::string_view text) {
    size_t specials = 0;
    for (char c : text) specials += IsSpecial(static_cast<unsigned char>(c));
    size_t at = out.size();
    out.resize(at + text.size() + specials);
    char* to = out.data() + at;
    for (char c : text) {
        if (IsSpecial(static_cast<unsigned char>(c))) *to++ = '\\';
        *to++ = c;
    }
}

void AppendValueLine(std::string& out, int depth, std::string_view name, std::string_view data) {
    out.append(static_cast<size_t>(depth + 1), '\t');
    out += '"';
    AppendEscaped(out, name);
    out += "\" = \"";
    AppendEscaped(out, data);
    out += "\"\r\n";
}

// One value line, built in a buffer kept from call to call.
std::string_view ValueLine(int depth, std::string_view name, std::string_view data) {
    static std::string line;
    line.clear();
    AppendValueLine(line, depth, name, data);
    return line;
}

std::string_view Text(const char* text) { return text ? std::string_view(text) : std::string_view(); }

// Copies text and its terminator into a caller's buffer; -201 when it does not fit.
int CopyOut(std::string_view text, char* buffer, int size) {
    if (buffer == nullptr || size <= 0 || text.size() >= static_cast<size_t>(size))
        return ERROR_ZYNLOG_BUFFER_TOO_SMALL;
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return 0;
}

void Empty(char* buffer, int size) {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
}

int CountChange() {
    if (!g_autosave || g_interval <= 0 || ++g_changes < g_interval) return 0;
    g_changes = 0;
    return ZYNLOG_Save();
}

void StaleImage() { g_image_valid = false; }

void StaleValues(ZYNLOG_KEY_NODE& key) {
    key.values_text_valid = false;
    key.values_text.clear();
    StaleImage();
}

// The key's last value line (remove bytes, 0 for none) is replaced by insert, in the
// key's values text and in the image. Both stay current; on any doubt they go stale.
void EditLastLine(ZYNLOG_KEY_NODE& key, size_t remove, std::string_view insert) noexcept {
    try {
        if (key.values_text_valid) {
            key.values_text.resize(key.values_text.size() - remove);
            key.values_text.append(insert);
        }
    } catch (const std::bad_alloc&) {
        key.values_text_valid = false;
        key.values_text.clear();
    }
    if (!g_image_valid) return;
    size_t end = key.image_values_end;
    // Bytes after the edit move: worth it only while they are few next to a rebuild.
    if (key.image_generation != g_generation || g_image.size() - end > g_image.size() / 32 + 512) {
        StaleImage();
        return;
    }
    try {
        g_image.replace(end - remove, remove, insert);
    } catch (const std::bad_alloc&) {
        StaleImage();
        return;
    }
    key.image_values_end = end - remove + insert.size();
    key.image_generation = ++g_generation;
}

const std::string& ValuesText(ZYNLOG_KEY_NODE& key) {
    if (!key.values_text_valid) {
        key.values_text.clear();
        for (const Value& value : key.values) AppendValueLine(key.values_text, key.depth, value.name, value.data);
        key.values_text_valid = true;
    }
    return key.values_text;
}

int CreateKey(ZYNLOG_KEY parent, std::string_view name, ZYNLOG_KEY* key) {
    if (key != nullptr) *key = nullptr;
    if (parent == nullptr) return ERROR_ZYNLOG_KEY_NOT_OPEN;
    if (name.size() >= static_cast<size_t>(ZYNLOG_MAX_KEY_NAME)) return ERROR_ZYNLOG_BUFFER_TOO_SMALL;
    ZYNLOG_KEY_NODE* node;
    auto found = parent->keys.Find(name);
    if (found != parent->keys.end()) {
        node = &*found;
    } else {
        try {
            node = &parent->keys.Append(name, parent, parent->depth + 1);
            StaleImage();
            parent->key_names.Add(name.size());
        } catch (const std::bad_alloc&) {
            return ERROR_ZYNLOG_MEMORY_ALLOCATE;
        }
    }
    if (key != nullptr) *key = node;
    return CountChange();
}

int SetValue(ZYNLOG_KEY key, std::string_view name, std::string_view data) {
    if (key == nullptr) return ERROR_ZYNLOG_KEY_NOT_OPEN;
    try {
        auto found = key->values.Find(name);
        if (found != key->values.end()) {
            Value& value = *found;
            // The name keeps the case in which it was first stored.
            std::string copy(data);
            std::string_view line = ValueLine(key->depth, value.name, data);
            key->value_data.Add(copy.size());
            key->value_data.Remove(value.data.size());
            if (&value == &key->values.Back())
                EditLastLine(*key, value.line_size, line);
            else
                StaleValues(*key);
            value.data = std::move(copy);
            value.line_size = line.size();
        } else {
            std::string_view line = ValueLine(key->depth, name, data);
            key->values.Append(name, data, line.size());
            bool named = false;
            try {
                key->value_names.Add(name.size());
                named = true;
                key->value_data.Add(data.size());
            } catch (const std::bad_alloc&) {
                if (named) key->value_names.Remove(name.size());
                key->values.Erase(key->values.Find(name));
                throw;
            }
            EditLastLine(*key, 0, line);
        }
    } catch (const std::bad_alloc&) {
        return ERROR_ZYNLOG_MEMORY_ALLOCATE;
    }
    return CountChange();
}

void EraseValue(ZYNLOG_KEY_NODE& key, NamedList<Value>::Iter it) {
    if (&*it == &key.values.Back())
        EditLastLine(key, it->line_size, {});
    else
        StaleValues(key);
    key.value_names.Remove(it->name.size());
    key.value_data.Remove(it->data.size());
    key.values.Erase(it);
}

// Removes a key and everything below it, deepest keys first in list order, each
// removal counted as a change. Iterative: a loaded file may nest keys very deeply.
int DeleteKey(ZYNLOG_KEY_NODE& top) {
    std::vector<ZYNLOG_KEY_NODE*> stack{&top};
    while (!stack.empty()) {
        ZYNLOG_KEY_NODE* node = stack.back();
        if (!node->keys.Empty()) {
            stack.push_back(&*node->keys.begin());
            continue;
        }
        stack.pop_back();
        StaleImage();
        ZYNLOG_KEY_NODE* parent = node->parent;
        parent->key_names.Remove(node->name.size());
        parent->keys.Erase(parent->keys.Find(node->name));
        if (int result = CountChange(); result != 0) return result;
    }
    return 0;
}

// Frees every key below the root without recursion.
void ClearTree() {
    std::list<ZYNLOG_KEY_NODE> doomed;
    g_root.keys.TakeAll(doomed);
    while (!doomed.empty()) {
        doomed.front().keys.TakeAll(doomed);
        doomed.pop_front();
    }
    g_root.key_names.Clear();
    std::list<Value> values;
    g_root.values.TakeAll(values);
    g_root.value_names.Clear();
    g_root.value_data.Clear();
    StaleValues(g_root);
    g_root.values_text_valid = true;
}

void AppendKeyHead(std::string& out, const ZYNLOG_KEY_NODE& key) {
    out.append(static_cast<size_t>(key.depth), '\t');
    out += '[';
    AppendEscaped(out, key.name);
    out += "]\r\n";
    out.append(static_cast<size_t>(key.depth), '\t');
    out += "{\r\n";
}

// The whole file: the root's values, then every key depth first, values before sub-keys.
void BuildFile(std::string& out) {
    out.clear();
    uint64_t generation = ++g_generation;
    out += ValuesText(g_root);
    g_root.image_values_end = out.size();
    g_root.image_generation = generation;
    struct Frame {
        ZYNLOG_KEY_NODE* key;
        NamedList<ZYNLOG_KEY_NODE>::Iter next;
    };
    std::vector<Frame> stack{{&g_root, g_root.keys.begin()}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.key->keys.end()) {
            if (frame.key != &g_root) {
                out.append(static_cast<size_t>(frame.key->depth), '\t');
                out += "}\r\n";
            }
            stack.pop_back();
            continue;
        }
        ZYNLOG_KEY_NODE& child = *frame.next++;
        AppendKeyHead(out, child);
        out += ValuesText(child);
        child.image_values_end = out.size();
        child.image_generation = generation;
        stack.push_back({&child, child.keys.begin()});
    }
}

// Closes a file layer handle on every path out of an operation.
class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle() { SYS_FileClose(handle_); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    SYS_HANDLE* out() { return &handle_; }
    SYS_HANDLE get() const { return handle_; }

private:
    SYS_HANDLE handle_ = SYS_INVALID_HANDLE;
};

// One token of the file with its escaping backslashes dropped. The names and data
// of the store are C strings, so a NUL byte in a damaged file ends the token.
std::string Unescape(std::string_view raw) {
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) ++i;
        if (raw[i] == '\0') break;
        text += raw[i];
    }
    return text;
}

// Reads the log by its delimiters only and merges it into the tree.
int Parse(std::string_view bytes) {
    ZYNLOG_KEY current = &g_root;
    std::string pending_name;
    bool name_pending = false;
    bool in_name = false;
    bool in_data = false;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\\') {
            ++i;  // the next byte is literal, whatever it is
            continue;
        }
        switch (c) {
            case '[':
                start = i + 1;
                break;
            case ']': {
                ZYNLOG_KEY key = nullptr;
                if (int result = CreateKey(current, Unescape(bytes.substr(start, i - start)), &key); result != 0)
                    return result;
                current = key;
                break;
            }
            case '}':
                current = current ? current->parent : nullptr;
                break;
            case '"':
                if (!name_pending) {
                    if (!in_name) {
                        in_name = true;
                        start = i + 1;
                    } else {
                        in_name = false;
                        pending_name = Unescape(bytes.substr(start, i - start));
                        name_pending = true;
                    }
                } else if (!in_data) {
                    in_data = true;
                    start = i + 1;
                } else {
                    in_data = false;
                    name_pending = false;
                    if (int result = SetValue(current, pending_name, Unescape(bytes.substr(start, i - start)));
                        result != 0)
                        return result;
                }
                break;
            default:
                break;
        }
    }
    return 0;
}

int Load() {
    FileHandle file;
    if (int result = SYS_FileOpen(g_file_name.c_str(), SYS_OPEN_READ, SYS_SHARE_READ | SYS_SHARE_WRITE, file.out());
        result != 0)
        return result;
    uint32_t size = 0;
    if (int result = SYS_FileLength(file.get(), &size); result != 0) return result;
    if (size == 0) return 0;
    std::string buffer;
    try {
        buffer.resize(size);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    uint32_t done = 0;
    if (int result = SYS_FileRead(file.get(), buffer.data(), size, &done); result != 0) return result;
    try {
        return Parse(buffer);
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

bool DirectoryExists(std::string_view file_name) {
    size_t slash = file_name.find_last_of("\\/");
    if (slash == std::string_view::npos) return true;  // a bare name lives in the current directory
    std::string directory(file_name.substr(0, slash));
    // "C:\log" leaves "C:", the current directory of drive C; "\log" the root.
    if (directory.empty()) return true;
    return SYS_Exists(directory.c_str()) == 1;
}

}  // namespace

ZYNLOG_KEY const ZYNLOG_ROOT_KEY = &g_root;

int ZYNLOG_Init(const char* file_name, int autosave_interval) {
    int result = 0;
    if (file_name == nullptr) {
        g_file_name.clear();
        g_autosave = true;
    } else {
        g_interval = autosave_interval;
        if (std::strlen(file_name) >= static_cast<size_t>(ZYNLOG_MAX_FILENAME)) {
            result = ERROR_ZYNLOG_FILENAME_TOO_LONG;
        } else {
            g_file_name = file_name;
            if (!DirectoryExists(g_file_name)) {
                result = ERROR_ZYNLOG_DIRECTORY_DOESNT_EXIST;
            } else {
                g_autosave = false;
                result = Load();
                g_autosave = true;
                g_changes = 0;
            }
        }
    }
    if (result == 0) g_initialized = true;
    // Listed once however often it is initialised: a second entry would run after the
    // first had emptied the tree and save that empty tree over the log.
    MODULE_Unregister(ZYNLOG_Terminate);
    MODULE_Register(ZYNLOG_Terminate, 0);
    return result;
}

int ZYNLOG_Terminate() {
    g_initialized = false;
    if (int result = ZYNLOG_Save(); result != 0) return result;
    g_autosave = false;
    ClearTree();
    MODULE_Unregister(ZYNLOG_Terminate);
    // The log is on disk and the tree is gone: a later save (a fatal error after the
    // end of the run) must not write the empty tree over it.
    g_file_name.clear();
    g_changes = 0;
    std::string().swap(g_image);
    g_image_valid = false;
    return 0;
}

int ZYNLOG_SetFileName(const char* file_name) {
    try {
        g_file_name = Text(file_name);
    } catch (const std::bad_alloc&) {
        return ERROR_ZYNLOG_MEMORY_ALLOCATE;
    }
    return 0;
}

int ZYNLOG_GetFileName(char* buffer, int size) {
    if (g_file_name.empty()) return ERROR_ZYNLOG_NO_FILE_SET;
    return CopyOut(g_file_name, buffer, size);
}

int ZYNLOG_Save() {
    if (g_file_name.empty()) return 0;
    // The bytes are ready before the file is truncated: a failure here loses nothing.
    if (!g_image_valid) {
        try {
            BuildFile(g_image);
        } catch (const std::bad_alloc&) {
            std::string().swap(g_image);
            return ERROR_ZYNLOG_MEMORY_ALLOCATE;
        }
        g_image_valid = true;
    }
    FileHandle file;
    if (SYS_FileOpen(g_file_name.c_str(), SYS_OPEN_WRITE | SYS_OPEN_CREATE, SYS_SHARE_READ | SYS_SHARE_WRITE,
                     file.out()) != 0)
        return ERROR_ZYNLOG_FILE_OPEN;
    const char* bytes = g_image.data();
    for (size_t left = g_image.size(); left > 0;) {
        uint32_t chunk = left > 0x40000000u ? 0x40000000u : static_cast<uint32_t>(left);
        if (int result = SYS_FileWrite(file.get(), bytes, chunk, nullptr); result != 0) return result;
        bytes += chunk;
        left -= chunk;
    }
    return 0;
}

int ZYNLOG_IsInitialized() { return g_initialized ? 1 : 0; }

int ZYNLOG_CreateKey(ZYNLOG_KEY parent, const char* name, ZYNLOG_KEY* key) {
    return CreateKey(parent, Text(name), key);
}

int ZYNLOG_OpenKey(ZYNLOG_KEY parent, const char* name, ZYNLOG_KEY* key) {
    if (key != nullptr) *key = nullptr;
    if (parent == nullptr) return ERROR_ZYNLOG_KEY_NOT_OPEN;
    auto found = parent->keys.Find(Text(name));
    if (found == parent->keys.end()) return ERROR_ZYNLOG_SUB_KEY_NOT_FOUND;
    if (key != nullptr) *key = &*found;
    return 0;
}

int ZYNLOG_CloseKey(ZYNLOG_KEY key) { return key == nullptr ? ERROR_ZYNLOG_KEY_NOT_OPEN : 0; }

int ZYNLOG_DeleteKey(ZYNLOG_KEY parent, const char* name) {
    if (parent == nullptr) return ERROR_ZYNLOG_KEY_NOT_OPEN;
    auto found = parent->keys.Find(Text(name));
    if (found == parent->keys.end()) return ERROR_ZYNLOG_SUB_KEY_NOT_FOUND;
    return DeleteKey(*found);
}

int ZYNLOG_SetValue(ZYNLOG_KEY key, const char* name, const char* data) {
    return SetValue(key, Text(name), Text(data));
}

int ZYNLOG_GetValue(ZYNLOG_KEY key, const char* name, char* buffer, int size) {
    if (key == nullptr) return ERROR_ZYNLOG_KEY_NOT_OPEN;
    auto found = key->values.Find(Text(name));
    if (found == key->values.end()) return ERROR_ZYNLOG_VALUE_NOT_FOUND;
    return CopyOut(found->data, buffer, size);
}

int ZYNLOG_CopyValue(ZYNLOG_KEY key, const char* source, const char* target) {
    if (key == nullptr) return ERROR_ZYNLOG_KEY_NOT_OPEN;
    auto found = key->values.Find(Text(source));
    if (found == key->values.end()) return ERROR_ZYNLOG_VALUE_NOT_FOUND;
    std::string data;
    try {
        data = found->data;  // the target may be the source itself
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return SetValue(key, Text(target), data);
}

int ZYNLOG_DeleteValue(ZYNLOG_KEY key, const char* name) {
    if (key == nullptr) return ERROR_ZYNLOG_KEY_NOT_OPEN;
    auto found = key->values.Find(Text(name));
    if (found == key->values.end()) return ERROR_ZYNLOG_VALUE_NOT_FOUND;
    EraseValue(*key, found);
    return CountChange();
}

int ZYNLOG_EnumKey(ZYNLOG_KEY key, int index, char* buffer, int size) {
    Empty(buffer, size);
    if (key == nullptr) return ERROR_ZYNLOG_KEY_NOT_OPEN;
    const ZYNLOG_KEY_NODE* sub = index < 0 ? nullptr : key->keys.At(static_cast<size_t>(index));
    if (sub == nullptr) return ERROR_ZYNLOG_SUB_KEY_NOT_FOUND;
    if (int result = CopyOut(sub->name, buffer, size); result != 0) {
        Empty(buffer, size);
        return result;
    }
    return 0;
}

int ZYNLOG_EnumValue(ZYNLOG_KEY key, int index, char* name, int name_size, char* data, int data_size) {
    Empty(name, name_size);
    Empty(data, data_size);
    if (key == nullptr) return ERROR_ZYNLOG_KEY_NOT_OPEN;
    const Value* value = index < 0 ? nullptr : key->values.At(static_cast<size_t>(index));
    if (value == nullptr) return ERROR_ZYNLOG_VALUE_NOT_FOUND;
    if (name == nullptr || data == nullptr || name_size <= 0 || data_size <= 0 ||
        value->name.size() >= static_cast<size_t>(name_size) || value->data.size() >= static_cast<size_t>(data_size))
        return ERROR_ZYNLOG_BUFFER_TOO_SMALL;
    CopyOut(value->name, name, name_size);
    CopyOut(value->data, data, data_size);
    return 0;
}

int ZYNLOG_QueryKeyInfo(ZYNLOG_KEY key, int* sub_keys, int* max_sub_key_name, int* values, int* max_value_name,
                        int* max_value_data) {
    if (key == nullptr) return ERROR_ZYNLOG_KEY_NOT_OPEN;
    if (sub_keys != nullptr) *sub_keys = static_cast<int>(key->keys.Size());
    if (max_sub_key_name != nullptr) *max_sub_key_name = static_cast<int>(key->key_names.Max());
    if (values != nullptr) *values = static_cast<int>(key->values.Size());
    if (max_value_name != nullptr) *max_value_name = static_cast<int>(key->value_names.Max());
    if (max_value_data != nullptr) *max_value_data = static_cast<int>(key->value_data.Max());
    return 0;
}
