// Native build of the file layer: the same contract as the Win32 version, on POSIX
// calls, so that the portable modules run and are tested on Linux. Windows-only
// notions (share modes, resources) have no native counterpart.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <string_view>

#include "sys/sys32.h"

namespace {

int Descriptor(SYS_HANDLE handle) { return static_cast<int>(reinterpret_cast<intptr_t>(handle)); }

SYS_HANDLE Handle(int fd) { return reinterpret_cast<SYS_HANDLE>(static_cast<intptr_t>(fd)); }

bool Valid(SYS_HANDLE handle) { return handle != SYS_INVALID_HANDLE && Descriptor(handle) >= 0; }

// The final path component, as Windows would see it ("\" and "/" both separate).
std::string_view LastComponent(std::string_view path) {
    while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.remove_suffix(1);
    size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

int SYS_FileOpen(const char* name, uint32_t mode, uint32_t /*share*/, SYS_HANDLE* handle) {
    if (handle != nullptr) *handle = SYS_INVALID_HANDLE;
    if (name == nullptr || handle == nullptr) return ERROR_SYS_FILE_OPEN;
    bool read = (mode & SYS_OPEN_READ) != 0;
    bool write = (mode & SYS_OPEN_WRITE) != 0;
    int flags = O_CREAT | O_CLOEXEC | (write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY);
    if (mode & SYS_OPEN_CREATE) flags |= O_TRUNC;
    int fd = ::open(name, flags, 0666);
    if (fd < 0) return ERROR_SYS_FILE_OPEN;
    // CreateFileA refuses directories; open(2) accepts them read-only.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return ERROR_SYS_FILE_OPEN;
    }
    *handle = Handle(fd);
    return 0;
}

void SYS_FileClose(SYS_HANDLE handle) {
    if (Valid(handle)) ::close(Descriptor(handle));
}

int SYS_FileFlush(SYS_HANDLE handle) {
    if (!Valid(handle) || ::fsync(Descriptor(handle)) != 0) return ERROR_SYS_FILE_FLUSH;
    return 0;
}

int SYS_FileRead(SYS_HANDLE handle, void* buffer, uint32_t count, uint32_t* done) {
    uint32_t total = 0;
    bool failed = !Valid(handle) || (buffer == nullptr && count > 0);
    while (!failed && total < count) {
        ssize_t n = ::read(Descriptor(handle), static_cast<char*>(buffer) + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<uint32_t>(n);
    }
    if (done != nullptr) *done = total;
    return failed || total != count ? ERROR_SYS_FILE_READ : 0;
}

int SYS_FileWrite(SYS_HANDLE handle, const void* buffer, uint32_t count, uint32_t* done) {
    uint32_t total = 0;
    bool failed = !Valid(handle) || (buffer == nullptr && count > 0);
    while (!failed && total < count) {
        ssize_t n = ::write(Descriptor(handle), static_cast<const char*>(buffer) + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<uint32_t>(n);
    }
    if (done != nullptr) *done = total;
    return failed || total != count ? ERROR_SYS_FILE_WRITE : 0;
}

int SYS_FileSeek(SYS_HANDLE handle, int32_t distance, int method, uint32_t* position) {
    int whence = method == SYS_SEEK_BEGIN ? SEEK_SET : method == SYS_SEEK_CURRENT ? SEEK_CUR : SEEK_END;
    if (!Valid(handle) || method < SYS_SEEK_BEGIN || method > SYS_SEEK_END) return ERROR_SYS_FILE_SEEK;
    off_t at = ::lseek(Descriptor(handle), distance, whence);
    if (at < 0 || at > static_cast<off_t>(UINT32_MAX)) return ERROR_SYS_FILE_SEEK;
    if (position != nullptr) *position = static_cast<uint32_t>(at);
    return 0;
}

int SYS_FileLength(SYS_HANDLE handle, uint32_t* length) {
    struct stat info {};
    if (!Valid(handle) || ::fstat(Descriptor(handle), &info) != 0 || info.st_size > static_cast<off_t>(UINT32_MAX))
        return ERROR_SYS_FILE_LENGTH;
    if (length != nullptr) *length = static_cast<uint32_t>(info.st_size);
    return 0;
}

int SYS_SetLength(SYS_HANDLE handle, uint32_t length) {
    // ftruncate both cuts and grows; grown bytes read back as zeros, as on Windows.
    if (!Valid(handle) || ::ftruncate(Descriptor(handle), length) != 0 ||
        ::lseek(Descriptor(handle), length, SEEK_SET) < 0)
        return ERROR_SYS_CHANGE_LENGTH;
    return 0;
}

int SYS_GetAttributes(const char* path, uint32_t* attributes) {
    struct stat info {};
    if (path == nullptr || ::stat(path, &info) != 0) return ERROR_SYS_ATTRIBUTES;
    uint32_t result = S_ISDIR(info.st_mode) ? SYS_ATTR_DIRECTORY : 0;
    if ((info.st_mode & S_IWUSR) == 0) result |= SYS_ATTR_READONLY;
    if (attributes != nullptr) *attributes = result == 0 ? SYS_ATTR_NORMAL : result;
    return 0;
}

int SYS_SetAttributes(const char* path, uint32_t attributes) {
    struct stat info {};
    if (path == nullptr || ::stat(path, &info) != 0) return ERROR_SYS_ATTRIBUTES;
    // Only the read-only bit has a POSIX meaning: the write permissions.
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & SYS_ATTR_READONLY) ? mode & ~(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
    if (::chmod(path, mode) != 0) return ERROR_SYS_ATTRIBUTES;
    return 0;
}

int SYS_Exists(const char* path) {
    struct stat info {};
    return path != nullptr && ::stat(path, &info) == 0 ? 1 : 0;
}

int SYS_DeleteFile(const char* path) {
    if (path == nullptr) return ERROR_SYS_FILE_DELETE;
    SYS_SetAttributes(path, SYS_ATTR_NORMAL);
    if (::unlink(path) != 0) return ERROR_SYS_FILE_DELETE;
    return 0;
}

int SYS_RenameFile(const char* from, const char* to) {
    if (from == nullptr || to == nullptr) return ERROR_SYS_FILE_RENAME;
    uint32_t attributes = 0;
    if (SYS_GetAttributes(from, &attributes) != 0) return ERROR_SYS_FILE_RENAME;
    // MoveFileA never replaces an existing target; rename(2) would.
    if (SYS_Exists(to)) return ERROR_SYS_FILE_RENAME;
    SYS_SetAttributes(from, SYS_ATTR_NORMAL);
    if (::rename(from, to) != 0) {
        SYS_SetAttributes(from, attributes);
        return ERROR_SYS_FILE_RENAME;
    }
    SYS_SetAttributes(to, attributes);
    return 0;
}

int SYS_MakeDirectory(const char* path) {
    if (path == nullptr || ::mkdir(path, 0777) != 0) return ERROR_SYS_DIRECTORY_MAKE;
    return 0;
}

int SYS_RemoveDirectory(const char* path) {
    if (path == nullptr) return ERROR_SYS_DIRECTORY_DELETE;
    std::string_view last = LastComponent(path);
    if (last == "." || last == "..") return 0;
    SYS_SetAttributes(path, SYS_ATTR_DIRECTORY | SYS_ATTR_NORMAL);
    if (::rmdir(path) != 0) return ERROR_SYS_DIRECTORY_DELETE;
    return 0;
}

int SYS_LoadResource(void* /*module*/, const char* /*name*/, const char* /*type*/, void* /*buffer*/,
                     uint32_t /*size*/, uint32_t* size_out) {
    if (size_out != nullptr) *size_out = 0;
    return ERROR_SYS_RESOURCE_NOT_FOUND;
}

int SYS_ResourceSize(void* /*module*/, const char* /*name*/, const char* /*type*/, uint32_t* size) {
    if (size != nullptr) *size = 0;
    return ERROR_SYS_RESOURCE_NOT_FOUND;
}
