// The copy engine on the Win32 file layer.
#include "sys/zyndisk.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "script/common.h"
#include "script/strlist.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sys/sys32.h"

namespace {

ZYNDISK_OVERWRITE_HOOK g_overwriteHook = nullptr;
ZYNDISK_COPY_START_HOOK g_copyStartHook = nullptr;
ZYNDISK_PROGRESS_HOOK g_progressHook = nullptr;
ZYNDISK_CREATED_HOOK g_createdHook = nullptr;

uint32_t g_totalSize = 0;
uint32_t g_totalAllocated = 0;
uint32_t g_clusterSize = 1;

// The directory the current copy last found or made, so that a thousand files
// going into one folder do not each test every component of its path again.
std::string g_lastDirectory;

// Owns a file of the SYS layer for the length of one step.
class File {
public:
    File() = default;
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    int Open(const char* path, uint32_t mode, uint32_t share) { return SYS_FileOpen(path, mode, share, &handle_); }
    SYS_HANDLE get() const { return handle_; }
    void Close() {
        SYS_FileClose(handle_);
        handle_ = SYS_INVALID_HANDLE;
    }

private:
    SYS_HANDLE handle_ = SYS_INVALID_HANDLE;
};

// The walk keeps the program-wide string list only while it collects directories,
// so that a step may itself walk.
class DirectoryList {
public:
    DirectoryList() : result_(STRLIST_Init()) {}
    ~DirectoryList() {
        if (result_ == 0) STRLIST_Terminate();
    }
    DirectoryList(const DirectoryList&) = delete;
    DirectoryList& operator=(const DirectoryList&) = delete;
    int result() const { return result_; }

    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        const char* text = nullptr;
        for (int i = 0; STRLIST_Get(i, &text) == 0; ++i) items.emplace_back(text);
        return items;
    }

private:
    int result_;
};

bool Fits(const std::string& path) { return path.size() < ZYNDISK_PATH_SIZE; }

std::string CurrentDirectory() {
    char buffer[SYS_MAX_PATH];
    return SYS_GetCurrentDirectory(buffer, sizeof buffer) == 0 ? std::string(buffer) : std::string();
}

bool IsDirectory(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Every sub-directory of the list's directories, found round by round until a
// round adds nothing; each lands before its nearest listed ancestor, so deeper
// directories come first and the root last.
int CollectDirectories(uint32_t mask) {
    std::vector<std::string> searched;
    for (bool added = true; added;) {
        added = false;
        std::vector<std::string> round;
        const char* text = nullptr;
        for (int i = 0; STRLIST_Get(i, &text) == 0; ++i) round.emplace_back(text);
        for (const std::string& folder : round) {
            bool done = std::any_of(searched.begin(), searched.end(), [&](const std::string& s) {
                return COMMON_CompareNoCase(s.c_str(), folder.c_str(), s.size() + 1) == 0;
            });
            if (done) continue;
            searched.push_back(folder);
            std::vector<std::string> found;
            SYS_FINDINFO entry;
            std::string search = folder + "\\*.*";
            for (int r = SYS_FindFirst(search.c_str(), mask | SYS_ATTR_DIRECTORY, &entry); r == 0;
                 r = SYS_FindNext(&entry)) {
                if ((entry.attributes & SYS_ATTR_DIRECTORY) == 0 || entry.name[0] == '.') continue;
                found.push_back(folder + "\\" + entry.name);
            }
            for (const std::string& path : found) {
                if (!Fits(path)) return ERROR_ZYNDISK_RECURSION_DEPTH;
                if (STRLIST_Contains(path.c_str())) continue;
                if (int error = STRLIST_Insert(path.c_str()); error != 0) return error;
                added = true;
            }
        }
    }
    return 0;
}

// The matching entries of one directory, read in full before any step runs, so a
// step that deletes, renames or searches cannot disturb the listing.
std::vector<SYS_FINDINFO> ListEntries(const std::string& folder, const std::string& file, uint32_t mask) {
    std::vector<SYS_FINDINFO> entries;
    std::string search = folder + "\\" + file;
    SYS_FINDINFO entry;
    for (int r = SYS_FindFirst(search.c_str(), mask, &entry); r == 0; r = SYS_FindNext(&entry)) {
        entries.push_back(entry);
    }
    return entries;
}

void FillRecord(ZYNDISK_WALK& record, const std::string& source, const std::string& destination) {
    std::memcpy(record.source, source.c_str(), source.size() + 1);
    std::memcpy(record.destination, destination.c_str(), destination.size() + 1);
}

int Walk(ZYNDISK_STEP step, const char* pattern, uint32_t mask, const char* destination, uint32_t attributes,
         uint32_t flags, int32_t extra) {
    if (step == nullptr || pattern == nullptr) return ERROR_ZYNDISK_FILE_NOT_FOUND;
    std::string target = destination != nullptr ? destination : "";
    ZYNDISK_PATTERN parts = ZYNDISK_SplitPattern(pattern);
    std::string root = parts.drive + parts.directory;
    if (root.empty()) {
        root = CurrentDirectory();
    }
    if (!root.empty() && root.back() == '\\') root.pop_back();

    std::vector<std::string> folders;
    {
        DirectoryList list;
        if (list.result() != 0) return list.result();
        if (int error = STRLIST_Append(root.c_str()); error != 0) return error;
        if (flags & ZYNDISK_RECURSE) {
            if (int error = CollectDirectories(mask); error != 0) return error;
        }
        folders = list.Items();
    }

    ZYNDISK_WALK record{};
    record.mask = mask & ~SYS_ATTR_DIRECTORY;
    record.attributes = attributes;
    record.flags = flags;
    record.extra = extra;
    bool handed = false;
    for (const std::string& folder : folders) {
        for (const SYS_FINDINFO& entry : ListEntries(folder, parts.file, mask)) {
            std::string source = folder + "\\" + entry.name;
            std::string to = ZYNDISK_EntryDestination(target, root, folder, entry.name);
            if (!Fits(source) || !Fits(to)) return ERROR_ZYNDISK_RECURSION_DEPTH;
            FillRecord(record, source, to);
            record.entry = &entry;
            handed = true;
            if (int result = step(&record); result != 0) return result;
        }
        if ((flags & ZYNDISK_DIRECTORIES) &&
            (parts.file == "*.*" || ZYNDISK_WildcardMatch(parts.file, folder))) {
            if (!Fits(folder) || !Fits(target)) return ERROR_ZYNDISK_RECURSION_DEPTH;
            FillRecord(record, folder, target);
            record.entry = nullptr;
            handed = true;
            if (int result = step(&record); result != 0) return result;
        }
    }
    return handed ? 0 : ERROR_ZYNDISK_FILE_NOT_FOUND;
}

// Keeps the windows answering while a long copy runs. Under Wine every look at the
// queue is a round trip to the display server, so the queue is drained at most every
// ZYNDISK_PUMP_INTERVAL milliseconds: often enough for a click to be answered at once,
// rarely enough that a fast copy is not slowed down by its own windows.
DWORD g_lastPump = 0;
bool g_pumped = false;

void PumpMessages() {
    DWORD now = GetTickCount();
    if (g_pumped && now - g_lastPump < ZYNDISK_PUMP_INTERVAL) return;
    g_pumped = true;
    g_lastPump = now;
    ZYNDISK_DispatchPending();
}

void Created(const char* path) {
    if (g_createdHook != nullptr) g_createdHook(path);
}

// Every missing directory on the way to the file path, from the top; each one
// made is reported.
int MakeDirectoriesFor(const std::string& path) {
    size_t last = path.find_last_of('\\');
    if (last == std::string::npos || last == 0) return 0;
    std::string folder = path.substr(0, last);
    if (!g_lastDirectory.empty() &&
        COMMON_CompareNoCase(folder.c_str(), g_lastDirectory.c_str(), folder.size() + 1) == 0) {
        return 0;
    }
    size_t start = 0;
    if (folder.size() >= 2 && folder[1] == ':') {
        if (int error = SYS_CheckDrive(folder[0]); error != 0) return error;
        start = 2;
    } else if (folder.rfind("\\\\", 0) == 0) {
        // \\server\share is not ours to create.
        size_t server = folder.find('\\', 2);
        start = server == std::string::npos ? folder.size() : folder.find('\\', server + 1);
        if (start == std::string::npos) start = folder.size();
    }
    while (start < folder.size()) {
        size_t end = folder.find('\\', start + 1);
        if (end == std::string::npos) end = folder.size();
        std::string prefix = folder.substr(0, end);
        start = end;
        if (prefix.empty() || prefix.back() == '\\' || prefix.back() == ':' || IsDirectory(prefix.c_str())) continue;
        if (SYS_MakeDirectory(prefix.c_str()) != 0) return ERROR_ZYNDISK_CREATE_DIR;
        Created(prefix.c_str());
    }
    g_lastDirectory = folder;
    return 0;
}

// The bytes move through a buffer of sixteen blocks, so that a large file costs a
// sixteenth of the system calls; the progress hook still hears of every block.
constexpr uint32_t kBlocksPerTransfer = 16;
constexpr uint32_t kTransferSize = ZYNDISK_COPY_BUFFER * kBlocksPerTransfer;

char* CopyBuffer() {
    static std::unique_ptr<char[]> buffer;
    if (!buffer) buffer.reset(new (std::nothrow) char[kTransferSize]);
    return buffer.get();
}

// start: where the bytes go in to (0, or the old end when appending).
int CopyBytes(SYS_HANDLE from, SYS_HANDLE to, uint32_t size, uint32_t start) {
    char* buffer = CopyBuffer();
    if (buffer == nullptr) return ERROR_ZYNDISK_MEMORY_ALLOCATE;
    uint32_t reported = 0;
    for (uint32_t left = size; left > 0;) {
        uint32_t transfer = std::min(left, kTransferSize);
        if (SYS_FileRead(from, buffer, transfer, nullptr) != 0) return ERROR_ZYNDISK_COPY_READ;
        if (SYS_FileWrite(to, buffer, transfer, nullptr) != 0) return ERROR_ZYNDISK_COPY_WRITE;
        left -= transfer;
        for (uint32_t done = 0; done < transfer;) {
            uint32_t block = std::min(transfer - done, ZYNDISK_COPY_BUFFER);
            done += block;
            reported += block;
            if (g_progressHook != nullptr && g_progressHook(block, size) != 0) {
                // A cancelled copy keeps exactly the blocks it reported, as if it had
                // moved one block at a time.
                SYS_SetLength(to, start + reported);
                return 100;
            }
            PumpMessages();
        }
    }
    return 0;
}

// A file left alone still counts as done for the progress display.
int Skipped(uint32_t size) {
    if (g_progressHook != nullptr && g_progressHook(size, size) != 0) return 100;
    return 0;
}

uint32_t FinalAttributes(uint32_t wanted, uint32_t source) {
    if (wanted & ZYNDISK_ATTR_FROM_SOURCE) {
        wanted = (wanted & ~ZYNDISK_ATTR_FROM_SOURCE) | (source & ~SYS_ATTR_DIRECTORY);
    }
    // Normal means "no other bit"; with any other bit it is dropped, as Windows does.
    if (wanted & ~SYS_ATTR_NORMAL) wanted &= ~SYS_ATTR_NORMAL;
    return wanted == 0 ? SYS_ATTR_NORMAL : wanted;
}

// Opens the destination; an existing read-only, hidden or system file refuses that
// until it has been made normal. Unless a rule had to know beforehand whether the
// destination exists, that is found out by trying, which spares every new file a look.
int OpenDestination(File& to, const char* target, uint32_t mode, bool known_existing) {
    if (known_existing) SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    if (to.Open(target, mode, SYS_SHARE_READ) == 0) return 0;
    if (known_existing || !SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL)) return ERROR_ZYNDISK_COPY_OPEN_DEST;
    return to.Open(target, mode, SYS_SHARE_READ) == 0 ? 0 : ERROR_ZYNDISK_COPY_OPEN_DEST;
}

int CopyStep(ZYNDISK_WALK* record) {
    const char* source = record->source;
    const char* target = record->destination;
    const uint32_t flags = record->flags;
    const SYS_FINDINFO* entry = record->entry;
    if (int error = MakeDirectoriesFor(target); error != 0) return error;
    if (g_copyStartHook != nullptr) g_copyStartHook(record);

    File from;
    if (from.Open(source, SYS_OPEN_READ, SYS_SHARE_READ) != 0) return ERROR_ZYNDISK_COPY_OPEN_SOURCE;
    // Size, times and attributes as the walk found them a moment ago.
    uint32_t size = 0;
    SYS_FILETIMES times{};
    uint32_t source_attributes = SYS_ATTR_NORMAL;
    if (entry != nullptr) {
        if (entry->size > UINT32_MAX) return ERROR_ZYNDISK_COPY_READ;
        size = static_cast<uint32_t>(entry->size);
        times = entry->times;
        source_attributes = entry->attributes;
    } else {
        if (SYS_FileLength(from.get(), &size) != 0) return ERROR_ZYNDISK_COPY_READ;
        if (record->attributes & ZYNDISK_ATTR_FROM_SOURCE) SYS_GetAttributes(source, &source_attributes);
    }

    constexpr uint32_t kAskingRules = ZYNDISK_ASK_OVERWRITE | ZYNDISK_IF_NOT_NEWER | ZYNDISK_NEVER_OVERWRITE;
    const bool exists = (flags & kAskingRules) != 0 && SYS_Exists(target) != 0;
    if ((flags & ZYNDISK_ASK_OVERWRITE) && exists && g_overwriteHook != nullptr && g_overwriteHook(target) == 1) {
        return 100;
    }
    if ((flags & ZYNDISK_IF_NOT_NEWER) && exists) {
        File current;
        if (current.Open(target, SYS_OPEN_READ, SYS_SHARE_READ | SYS_SHARE_WRITE) == 0 &&
            SYS_SourceNotOlder(from.get(), current.get()) == 0) {
            return Skipped(size);
        }
    }
    if (flags & ZYNDISK_BY_VERSION) return ERROR_ZYNDISK_UNIMPLEMENTED;
    if ((flags & ZYNDISK_NEVER_OVERWRITE) && exists) return Skipped(size);

    File to;
    const bool append = (flags & ZYNDISK_APPEND) != 0;
    uint32_t mode = append ? (SYS_OPEN_READ | SYS_OPEN_WRITE) : (SYS_OPEN_WRITE | SYS_OPEN_CREATE);
    if (int error = OpenDestination(to, target, mode, exists); error != 0) return error;
    int result = 0;
    uint32_t start = 0;
    if (append && SYS_FileSeek(to.get(), 0, SYS_SEEK_END, &start) != 0) result = ERROR_ZYNDISK_COPY_WRITE;
    bool copied_times = false;
    if (result == 0 && size != 0) {
        if (flags & ZYNDISK_COMPRESSED) {
            result = ERROR_ZYNDISK_UNIMPLEMENTED;
        } else {
            result = CopyBytes(from.get(), to.get(), size, start);
            if (result == 0 && entry == nullptr) result = SYS_CopyFileTime(from.get(), to.get());
            copied_times = entry != nullptr;
        }
    }
    // The times and the final attributes go on in one call through the open handle:
    // setting attributes by name would open the file once more.
    const uint32_t final_attributes = FinalAttributes(record->attributes, source_attributes);
    bool attributes_by_name = false;
    if (result == 0) {
        int set = SYS_FileSetInfo(to.get(), copied_times ? &times : nullptr, final_attributes);
        if (set < 0) result = set;
        attributes_by_name = set == 1;
    }
    from.Close();
    to.Close();
    if (result == 0 && !SYS_Exists(target)) result = ERROR_ZYNDISK_COPY_WRITE;
    if (result == 0 && attributes_by_name) result = SYS_SetAttributes(target, final_attributes);
    // A failed or cancelled copy leaves a partial file: it is reported so that it
    // is recorded for removal like a complete one.
    if (result != 0 || (flags & ZYNDISK_REPORT_CREATED)) Created(target);
    return result;
}

int DeleteStep(ZYNDISK_WALK* record) {
    return IsDirectory(record->source) ? SYS_RemoveDirectory(record->source) : SYS_DeleteFile(record->source);
}

int RenameStep(ZYNDISK_WALK* record) {
    uint32_t attributes = 0;
    if (int error = SYS_GetAttributes(record->source, &attributes); error != 0) return error;
    uint32_t plain = attributes & ~(SYS_ATTR_READONLY | SYS_ATTR_HIDDEN | SYS_ATTR_SYSTEM);
    if (int error = SYS_SetAttributes(record->source, plain == 0 ? SYS_ATTR_NORMAL : plain); error != 0) return error;
    if (!MoveFileA(record->source, record->destination)) {
        SYS_SetAttributes(record->source, attributes);
        return ERROR_ZYNDISK_RENAME;
    }
    return SYS_SetAttributes(record->destination, attributes);
}

// The size comes from the file's directory entry, as the walk read it: as exact as
// opening the file, and free when an install counts thousands of files.
int SizeStep(ZYNDISK_WALK* record) {
    uint64_t found = 0;
    if (record->entry != nullptr) {
        found = record->entry->size;
    } else {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(record->source, GetFileExInfoStandard, &data)) return ERROR_ZYNDISK_CALC_SIZE;
        found = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    if (found > UINT32_MAX) return ERROR_ZYNDISK_CALC_SIZE;
    uint32_t size = static_cast<uint32_t>(found);
    g_totalSize = ZYNDISK_AddSaturating(g_totalSize, size);
    g_totalAllocated = ZYNDISK_AddSaturating(g_totalAllocated, ZYNDISK_RoundToClusters(size, g_clusterSize));
    return 0;
}

// The variable's value, or what the system reports when the store does not have it.
std::string SystemFolder(const char* variable, UINT(WINAPI* ask)(LPSTR, UINT)) {
    char value[VAR_MAX_WORK_LENGTH];
    if (VAR_Get(variable, value, sizeof value) == 0) return value;
    char system[MAX_PATH];
    UINT length = ask(system, sizeof system);
    return length > 0 && length < sizeof system ? std::string(system) : std::string();
}

// Checks the pattern as written and as the system resolves it, so that a relative
// pattern cannot reach the Windows directory through the current directory.
bool Prohibited(const char* pattern) {
    std::string windows = SystemFolder("WindowsDirectory", GetWindowsDirectoryA);
    std::string system = SystemFolder("WindowsSystemDirectory", GetSystemDirectoryA);
    if (ZYNDISK_IsProhibited(pattern, windows, system)) return true;
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(pattern, sizeof full, full, nullptr);
    return length > 0 && length < sizeof full && ZYNDISK_IsProhibited(full, windows, system);
}

}  // namespace

int ZYNDISK_Walk(ZYNDISK_STEP step, const char* pattern, uint32_t mask, const char* destination,
                 uint32_t attributes, uint32_t flags, int32_t extra) {
    try {
        return Walk(step, pattern, mask, destination, attributes, flags, extra);
    } catch (const std::bad_alloc&) {
        return ERROR_ZYNDISK_MEMORY_ALLOCATE;
    }
}

int ZYNDISK_Copy(const char* pattern, uint32_t mask, const char* destination, uint32_t attributes,
                 uint32_t flags, int32_t extra) {
    g_lastDirectory.clear();
    g_pumped = false;  // each copy drains the queue at its first block
    int result = ZYNDISK_Walk(CopyStep, pattern, mask, destination, attributes, flags, extra);
    g_lastDirectory.clear();
    return result;
}

int ZYNDISK_Delete(const char* pattern, uint32_t mask, uint32_t flags, int32_t extra) {
    if (pattern == nullptr) return ERROR_ZYNDISK_FILE_NOT_FOUND;
    try {
        if (Prohibited(pattern)) {
            ZYNERROR_Warning(ERROR_ZYNDISK_UNWISE_DELETE, "zyndisk", __LINE__);
            return 0;
        }
    } catch (const std::bad_alloc&) {
        return ERROR_ZYNDISK_MEMORY_ALLOCATE;
    }
    return ZYNDISK_Walk(DeleteStep, pattern, mask, "", 0, flags, extra);
}

int ZYNDISK_DeleteTree(const char* directory, uint32_t mask, uint32_t flags, int32_t extra) {
    if (directory == nullptr) return ERROR_ZYNDISK_FILE_NOT_FOUND;
    try {
        std::string pattern = directory;
        if (!pattern.empty() && pattern.back() == '\\') pattern.pop_back();
        // A whole tree is walked as everything inside the directory, which the walk
        // hands over deepest first and the directory itself last; a single directory
        // is found as an entry of its parent, and goes only when it is empty.
        if (flags & ZYNDISK_RECURSE) pattern += "\\*.*";
        if (Prohibited(pattern.c_str())) {
            ZYNERROR_Warning(ERROR_ZYNDISK_UNWISE_DELETE, "zyndisk", __LINE__);
            return 0;
        }
        return ZYNDISK_Walk(DeleteStep, pattern.c_str(), mask | SYS_ATTR_DIRECTORY, "", 0,
                            flags | ZYNDISK_DIRECTORIES, extra);
    } catch (const std::bad_alloc&) {
        return ERROR_ZYNDISK_MEMORY_ALLOCATE;
    }
}

int ZYNDISK_Rename(const char* pattern, uint32_t mask, const char* destination, uint32_t flags, int32_t extra) {
    return ZYNDISK_Walk(RenameStep, pattern, mask, destination, 0, flags, extra);
}

int ZYNDISK_CreateDirectory(const char* path) {
    if (path == nullptr) return ERROR_SYS_DIRECTORY_MAKE;
    try {
        std::string folder = path;
        if (!folder.empty() && folder.back() == '\\') folder.pop_back();
        return SYS_MakeDirectory(folder.c_str()) == 0 ? 0 : ERROR_SYS_DIRECTORY_MAKE;
    } catch (const std::bad_alloc&) {
        return ERROR_ZYNDISK_MEMORY_ALLOCATE;
    }
}

int ZYNDISK_BeginSize(const char* destination) {
    g_totalSize = 0;
    g_totalAllocated = 0;
    g_clusterSize = 1;
    uint32_t cluster = 0;
    int result = SYS_GetClusterSize(destination, &cluster);
    if (result == 0 && cluster > 0) g_clusterSize = cluster;
    return result;
}

int ZYNDISK_AddSize(const char* pattern, uint32_t mask, uint32_t flags, uint32_t size) {
    if (flags & ZYNDISK_GIVEN_SIZE) {
        g_totalSize = ZYNDISK_AddSaturating(g_totalSize, size);
        g_totalAllocated = ZYNDISK_AddSaturating(g_totalAllocated, ZYNDISK_RoundToClusters(size, g_clusterSize));
        return 0;
    }
    return ZYNDISK_Walk(SizeStep, pattern, mask, "", 0, flags, 0);
}

int ZYNDISK_GetTotalSize(uint32_t* total) {
    if (total != nullptr) *total = g_totalSize;
    return 0;
}

int ZYNDISK_GetTotalAllocated(uint32_t* total) {
    if (total != nullptr) *total = g_totalAllocated;
    return 0;
}

int ZYNDISK_GetFreeSpace(const char* path, double* free_bytes) { return SYS_GetFreeSpace(path, free_bytes); }

void ZYNDISK_SetOverwriteHook(ZYNDISK_OVERWRITE_HOOK hook) { g_overwriteHook = hook; }
void ZYNDISK_SetCopyStartHook(ZYNDISK_COPY_START_HOOK hook) { g_copyStartHook = hook; }
void ZYNDISK_SetProgressHook(ZYNDISK_PROGRESS_HOOK hook) { g_progressHook = hook; }
void ZYNDISK_SetCreatedHook(ZYNDISK_CREATED_HOOK hook) { g_createdHook = hook; }

void ZYNDISK_DispatchPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Nobody else would see it: put it back for whoever runs a loop later.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
