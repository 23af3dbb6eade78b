// Win32 file layer: each operation wraps the call it is named after and turns its
// failure into the SYS code; the Windows error goes to the debug trace only.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "run/mainwnd.h"
#include "script/zynerror.h"
#include "sys/sys32.h"

namespace {

HANDLE Win(SYS_HANDLE handle) { return static_cast<HANDLE>(handle); }

bool Valid(SYS_HANDLE handle) { return handle != nullptr && handle != SYS_INVALID_HANDLE; }

// Captures GetLastError before anything else can overwrite it.
void Trace(const char* operation, const char* path) {
    DWORD error = GetLastError();
    char line[512];
    std::snprintf(line, sizeof line, "sys32: %s failed (%lu)%s%s\n", operation, static_cast<unsigned long>(error),
                  path ? ": " : "", path ? path : "");
    OutputDebugStringA(line);
    SetLastError(error);
}

std::string_view LastComponent(std::string_view path) {
    while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.remove_suffix(1);
    size_t slash = path.find_last_of("/\\:");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// FindResourceA, LoadResource and LockResource in one step; the data stays valid for
// the module's lifetime, so nothing needs freeing.
int LocateResource(void* module, const char* name, const char* type, const void** data, uint32_t* size) {
    HMODULE instance = static_cast<HMODULE>(module);
    HRSRC info = FindResourceA(instance, name, type);
    if (info == nullptr) return ERROR_SYS_RESOURCE_NOT_FOUND;
    HGLOBAL loaded = LoadResource(instance, info);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return ERROR_SYS_RESOURCE_NOT_FOUND;
    *data = bytes;
    *size = SizeofResource(instance, info);
    return 0;
}

// The one open search of the program.
struct Search {
    HANDLE handle = INVALID_HANDLE_VALUE;
    uint32_t mask = 0;
    ~Search() { Close(); }
    void Close() {
        if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
        handle = INVALID_HANDLE_VALUE;
    }
};

Search g_search;

uint64_t Number(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME Time(uint64_t number) {
    return FILETIME{static_cast<DWORD>(number), static_cast<DWORD>(number >> 32)};
}

// The basic information of a file as SetFileInformationByHandle takes it; the headers
// declare it only for systems that have the call, which is looked up at run time.
struct BasicInfo {
    LARGE_INTEGER created;
    LARGE_INTEGER accessed;
    LARGE_INTEGER written;
    LARGE_INTEGER changed;
    DWORD attributes;
};
constexpr int kFileBasicInfo = 0;
using SetInfoByHandle = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

SetInfoByHandle SetInfoCall() {
    static const SetInfoByHandle call = [] {
        HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
        return kernel ? reinterpret_cast<SetInfoByHandle>(
                            reinterpret_cast<void*>(GetProcAddress(kernel, "SetFileInformationByHandle")))
                      : nullptr;
    }();
    return call;
}

// Walks the open search on to the next entry the mask lets through.
int NextMatch(WIN32_FIND_DATAA& data, bool have_first, SYS_FINDINFO* found) {
    for (bool have = have_first;; have = FindNextFileA(g_search.handle, &data) != FALSE) {
        if (!have) {
            g_search.Close();
            return ERROR_SYS_FILE_NOT_FOUND;
        }
        if (!SYS_AttributesMatch(data.dwFileAttributes, g_search.mask)) continue;
        if (found != nullptr) {
            std::snprintf(found->name, sizeof found->name, "%s", data.cFileName);
            found->attributes = data.dwFileAttributes;
            found->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            found->times = {Number(data.ftCreationTime), Number(data.ftLastAccessTime), Number(data.ftLastWriteTime)};
        }
        return 0;
    }
}

// The root (letter, colon, backslash) of a path that begins with a drive letter and a colon.
bool DriveRoot(const char* path, char (&root)[4]) {
    if (path == nullptr || !IsCharAlphaA(path[0]) || path[1] != ':') return false;
    std::snprintf(root, sizeof root, "%c:\\", path[0]);
    return true;
}

}  // namespace

int SYS_FileOpen(const char* name, uint32_t mode, uint32_t share, SYS_HANDLE* handle) {
    if (handle != nullptr) *handle = SYS_INVALID_HANDLE;
    if (name == nullptr || handle == nullptr) return ERROR_SYS_FILE_OPEN;
    DWORD disposition = (mode & SYS_OPEN_CREATE) ? CREATE_ALWAYS : OPEN_ALWAYS;
    HANDLE h = CreateFileA(name, mode & 0xC0000000u, share, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Trace("CreateFileA", name);
        return ERROR_SYS_FILE_OPEN;
    }
    *handle = h;
    return 0;
}

void SYS_FileClose(SYS_HANDLE handle) {
    if (Valid(handle)) CloseHandle(Win(handle));
}

int SYS_FileFlush(SYS_HANDLE handle) {
    if (!Valid(handle) || !FlushFileBuffers(Win(handle))) {
        Trace("FlushFileBuffers", nullptr);
        return ERROR_SYS_FILE_FLUSH;
    }
    return 0;
}

int SYS_FileRead(SYS_HANDLE handle, void* buffer, uint32_t count, uint32_t* done) {
    DWORD n = 0;
    BOOL ok = Valid(handle) && ReadFile(Win(handle), buffer, count, &n, nullptr);
    if (done != nullptr) *done = n;
    if (!ok || n != count) {
        Trace("ReadFile", nullptr);
        return ERROR_SYS_FILE_READ;
    }
    return 0;
}

int SYS_FileWrite(SYS_HANDLE handle, const void* buffer, uint32_t count, uint32_t* done) {
    DWORD n = 0;
    BOOL ok = Valid(handle) && WriteFile(Win(handle), buffer, count, &n, nullptr);
    if (done != nullptr) *done = n;
    if (!ok || n != count) {
        Trace("WriteFile", nullptr);
        return ERROR_SYS_FILE_WRITE;
    }
    return 0;
}

int SYS_FileSeek(SYS_HANDLE handle, int32_t distance, int method, uint32_t* position) {
    if (!Valid(handle)) return ERROR_SYS_FILE_SEEK;
    // 0xFFFFFFFF is also a valid position; only the last error tells them apart.
    SetLastError(NO_ERROR);
    DWORD at = SetFilePointer(Win(handle), distance, nullptr, static_cast<DWORD>(method));
    if (at == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        Trace("SetFilePointer", nullptr);
        return ERROR_SYS_FILE_SEEK;
    }
    if (position != nullptr) *position = at;
    return 0;
}

int SYS_FileLength(SYS_HANDLE handle, uint32_t* length) {
    if (!Valid(handle)) return ERROR_SYS_FILE_LENGTH;
    SetLastError(NO_ERROR);
    DWORD size = GetFileSize(Win(handle), nullptr);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        Trace("GetFileSize", nullptr);
        return ERROR_SYS_FILE_LENGTH;
    }
    if (length != nullptr) *length = size;
    return 0;
}

int SYS_SetLength(SYS_HANDLE handle, uint32_t length) {
    uint32_t current = 0;
    if (SYS_FileLength(handle, &current) != 0) return ERROR_SYS_CHANGE_LENGTH;
    if (length > current) {
        std::vector<char> zeros;
        try {
            zeros.assign(std::min<uint32_t>(length - current, 0x10000), 0);
        } catch (const std::bad_alloc&) {
            return ERROR_SYS_FILE_LENGTH;
        }
        if (SYS_FileSeek(handle, 0, SYS_SEEK_END, nullptr) != 0) return ERROR_SYS_CHANGE_LENGTH;
        for (uint32_t left = length - current; left > 0;) {
            uint32_t chunk = std::min<uint32_t>(left, static_cast<uint32_t>(zeros.size()));
            if (SYS_FileWrite(handle, zeros.data(), chunk, nullptr) != 0) return ERROR_SYS_CHANGE_LENGTH;
            left -= chunk;
        }
    }
    if (SYS_FileSeek(handle, static_cast<int32_t>(length), SYS_SEEK_BEGIN, nullptr) != 0 ||
        !SetEndOfFile(Win(handle))) {
        Trace("SetEndOfFile", nullptr);
        return ERROR_SYS_CHANGE_LENGTH;
    }
    return 0;
}

int SYS_GetAttributes(const char* path, uint32_t* attributes) {
    DWORD result = path ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    if (result == INVALID_FILE_ATTRIBUTES) {
        Trace("GetFileAttributesA", path);
        return ERROR_SYS_ATTRIBUTES;
    }
    if (attributes != nullptr) *attributes = result;
    return 0;
}

int SYS_SetAttributes(const char* path, uint32_t attributes) {
    if (path == nullptr || !SetFileAttributesA(path, attributes)) {
        Trace("SetFileAttributesA", path);
        return ERROR_SYS_ATTRIBUTES;
    }
    return 0;
}

int SYS_Exists(const char* path) { return path != nullptr && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

int SYS_DeleteFile(const char* path) {
    if (path == nullptr) return ERROR_SYS_FILE_DELETE;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(path)) {
        Trace("DeleteFileA", path);
        return ERROR_SYS_FILE_DELETE;
    }
    return 0;
}

int SYS_RenameFile(const char* from, const char* to) {
    if (from == nullptr || to == nullptr) return ERROR_SYS_FILE_RENAME;
    DWORD attributes = GetFileAttributesA(from);
    SetFileAttributesA(from, FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileA(from, to)) {
        Trace("MoveFileA", from);
        if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(from, attributes);
        return ERROR_SYS_FILE_RENAME;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(to, attributes);
    return 0;
}

int SYS_MakeDirectory(const char* path) {
    if (path == nullptr || !CreateDirectoryA(path, nullptr)) {
        Trace("CreateDirectoryA", path);
        return ERROR_SYS_DIRECTORY_MAKE;
    }
    return 0;
}

int SYS_RemoveDirectory(const char* path) {
    if (path == nullptr) return ERROR_SYS_DIRECTORY_DELETE;
    std::string_view last = LastComponent(path);
    if (last == "." || last == "..") return 0;
    SetFileAttributesA(path, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_NORMAL);
    if (!RemoveDirectoryA(path)) {
        Trace("RemoveDirectoryA", path);
        return ERROR_SYS_DIRECTORY_DELETE;
    }
    return 0;
}

int SYS_LoadResource(void* module, const char* name, const char* type, void* buffer, uint32_t size,
                     uint32_t* size_out) {
    const void* data = nullptr;
    uint32_t length = 0;
    if (int error = LocateResource(module, name, type, &data, &length); error != 0) return error;
    if (size_out != nullptr) *size_out = length;
    if (length > size || (length > 0 && buffer == nullptr)) return ERROR_SYS_BUFFER_TOO_SMALL;
    if (length > 0) CopyMemory(buffer, data, length);
    return 0;
}

int SYS_ResourceSize(void* module, const char* name, const char* type, uint32_t* size) {
    const void* data = nullptr;
    uint32_t length = 0;
    if (int error = LocateResource(module, name, type, &data, &length); error != 0) return error;
    if (size != nullptr) *size = length;
    return 0;
}

int SYS_FindFirst(const char* pattern, uint32_t mask, SYS_FINDINFO* found) {
    g_search.Close();
    if (pattern == nullptr) return ERROR_SYS_FILE_NOT_FOUND;
    WIN32_FIND_DATAA data;
    g_search.handle = FindFirstFileA(pattern, &data);
    g_search.mask = mask;
    return NextMatch(data, g_search.handle != INVALID_HANDLE_VALUE, found);
}

int SYS_FindNext(SYS_FINDINFO* found) {
    if (g_search.handle == INVALID_HANDLE_VALUE) return ERROR_SYS_FILE_NOT_FOUND;
    WIN32_FIND_DATAA data;
    return NextMatch(data, FindNextFileA(g_search.handle, &data) != FALSE, found);
}

void SYS_FindClose() { g_search.Close(); }

int SYS_GetCurrentDirectory(char* buffer, uint32_t size) {
    DWORD length = buffer != nullptr ? GetCurrentDirectoryA(size, buffer) : 0;
    if (length == 0 || length >= size) {
        if (buffer != nullptr && size > 0) buffer[0] = '\0';
        return ERROR_SYS_GET_CURRENT_DIRECTORY;
    }
    return 0;
}

void SYS_SetCurrentDirectory(const char* path) {
    if (path != nullptr && !SetCurrentDirectoryA(path)) Trace("SetCurrentDirectoryA", path);
}

int SYS_CheckDrive(char drive) {
    if (!IsCharAlphaA(drive)) return ERROR_SYS_DRIVE_INVALID;
    char saved[MAX_PATH];
    bool restore = SYS_GetCurrentDirectory(saved, sizeof saved) == 0;
    // "X:" alone names the drive's own current directory, which exists whenever the drive does.
    char target[3] = {drive, ':', '\0'};
    bool ok = SetCurrentDirectoryA(target) != FALSE;
    if (!ok) Trace("SetCurrentDirectoryA", target);
    if (restore) SetCurrentDirectoryA(saved);
    return ok ? 0 : ERROR_SYS_DRIVE_INVALID;
}

int SYS_GetClusterSize(const char* path, uint32_t* size) {
    char root[4];
    if (!DriveRoot(path, root)) return ERROR_SYS_DRIVE_INVALID;
    DWORD sectors = 0, bytes = 0, free_clusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectors, &bytes, &free_clusters, &clusters)) {
        Trace("GetDiskFreeSpaceA", root);
        return ERROR_SYS_DRIVE_INVALID;
    }
    if (size != nullptr) *size = sectors * bytes;
    return 0;
}

int SYS_GetFreeSpace(const char* path, double* free_bytes) {
    if (free_bytes != nullptr) *free_bytes = 0;
    char root[4];
    if (!DriveRoot(path, root)) return ERROR_SYS_DRIVE_INVALID;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    // The old call caps its answer at 2 GB on the later Windows 95 builds; only
    // they are sent to the extended call, NT always uses the old one.
    if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
        (version.dwBuildNumber & 0xFFFF) > 1000) {
        using Extended = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
        HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
        auto extended =
            kernel ? reinterpret_cast<Extended>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")))
                   : nullptr;
        ULARGE_INTEGER available{}, total{}, free{};
        if (extended != nullptr && extended(root, &available, &total, &free)) {
            if (free_bytes != nullptr) *free_bytes = static_cast<double>(available.QuadPart);
            return 0;
        }
    }
    DWORD sectors = 0, bytes = 0, free_clusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectors, &bytes, &free_clusters, &clusters)) {
        Trace("GetDiskFreeSpaceA", root);
        return ERROR_SYS_GET_FREE_SPACE;
    }
    if (free_bytes != nullptr) {
        *free_bytes = static_cast<double>(bytes) * static_cast<double>(sectors) * static_cast<double>(free_clusters);
    }
    return 0;
}

int SYS_SourceNotOlder(SYS_HANDLE source, SYS_HANDLE destination) {
    FILETIME source_write{}, destination_write{};
    if (!Valid(source) || !Valid(destination) || !GetFileTime(Win(source), nullptr, nullptr, &source_write) ||
        !GetFileTime(Win(destination), nullptr, nullptr, &destination_write)) {
        Trace("GetFileTime", nullptr);
        ZYNERROR_Fatal(ERROR_SYS_FILE_GET_TIME, "sys32", __LINE__);
    }
    return CompareFileTime(&destination_write, &source_write) <= 0 ? 1 : 0;
}

int SYS_CopyFileTime(SYS_HANDLE from, SYS_HANDLE to) {
    FILETIME created{}, accessed{}, written{};
    if (!Valid(from) || !GetFileTime(Win(from), &created, &accessed, &written)) {
        Trace("GetFileTime", nullptr);
        return ERROR_SYS_FILE_GET_TIME;
    }
    if (!Valid(to) || !SetFileTime(Win(to), &created, &accessed, &written)) {
        Trace("SetFileTime", nullptr);
        return ERROR_SYS_FILE_SET_TIME;
    }
    return 0;
}

int SYS_FileSetInfo(SYS_HANDLE handle, const SYS_FILETIMES* times, uint32_t attributes) {
    if (!Valid(handle)) return ERROR_SYS_FILE_SET_TIME;
    if (SetInfoByHandle call = SetInfoCall(); call != nullptr) {
        // Zero leaves a time as it is; the attributes are never zero here (normal is 0x80).
        BasicInfo info{};
        if (times != nullptr) {
            info.created.QuadPart = static_cast<LONGLONG>(times->created);
            info.accessed.QuadPart = static_cast<LONGLONG>(times->accessed);
            info.written.QuadPart = static_cast<LONGLONG>(times->written);
        }
        info.attributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
        if (!call(Win(handle), kFileBasicInfo, &info, sizeof info)) {
            Trace("SetFileInformationByHandle", nullptr);
            return times != nullptr ? ERROR_SYS_FILE_SET_TIME : ERROR_SYS_ATTRIBUTES;
        }
        return 0;
    }
    if (times != nullptr) {
        FILETIME created = Time(times->created), accessed = Time(times->accessed), written = Time(times->written);
        if (!SetFileTime(Win(handle), &created, &accessed, &written)) {
            Trace("SetFileTime", nullptr);
            return ERROR_SYS_FILE_SET_TIME;
        }
    }
    return 1;
}

int SYS_MessageBox(const char* caption, const char* text, uint32_t type) {
    HWND main = WMINST_GetMainWindow();
    HWND owner = main != nullptr ? GetLastActivePopup(main) : nullptr;
    return MessageBoxA(owner, text ? text : "", caption ? caption : "", type);
}
