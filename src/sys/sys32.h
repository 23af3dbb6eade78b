// The thin layer over single file-system calls. Each operation returns 0 or one
// code of the SYS band (-1001 to -1020); the Windows build wraps the Win32 call
// the operation is named after, the native build has a small POSIX version of the
// file operations so that the portable modules can be tested on Linux.
#pragma once

#include <cstdint>

#include "script/errcodes.h"

// An open file. Opaque: a Win32 HANDLE in the Windows build, a descriptor in the native one.
using SYS_HANDLE = void*;
inline SYS_HANDLE const SYS_INVALID_HANDLE = reinterpret_cast<SYS_HANDLE>(static_cast<intptr_t>(-1));

// Open modes: the access bits of CreateFileA; bit 0x2 truncates (CREATE_ALWAYS),
// otherwise the file is opened or created (OPEN_ALWAYS).
inline constexpr uint32_t SYS_OPEN_READ = 0x80000000u;
inline constexpr uint32_t SYS_OPEN_WRITE = 0x40000000u;
inline constexpr uint32_t SYS_OPEN_CREATE = 0x2u;
// Share modes (FILE_SHARE_READ, FILE_SHARE_WRITE).
inline constexpr uint32_t SYS_SHARE_READ = 0x1u;
inline constexpr uint32_t SYS_SHARE_WRITE = 0x2u;
// Seek methods (FILE_BEGIN, FILE_CURRENT, FILE_END).
inline constexpr int SYS_SEEK_BEGIN = 0;
inline constexpr int SYS_SEEK_CURRENT = 1;
inline constexpr int SYS_SEEK_END = 2;
// File attribute bits as Windows has them.
inline constexpr uint32_t SYS_ATTR_READONLY = 0x01u;
inline constexpr uint32_t SYS_ATTR_HIDDEN = 0x02u;
inline constexpr uint32_t SYS_ATTR_SYSTEM = 0x04u;
inline constexpr uint32_t SYS_ATTR_DIRECTORY = 0x10u;
inline constexpr uint32_t SYS_ATTR_ARCHIVE = 0x20u;
inline constexpr uint32_t SYS_ATTR_NORMAL = 0x80u;

int SYS_FileOpen(const char* name, uint32_t mode, uint32_t share, SYS_HANDLE* handle);
void SYS_FileClose(SYS_HANDLE handle);
int SYS_FileFlush(SYS_HANDLE handle);
int SYS_FileRead(SYS_HANDLE handle, void* buffer, uint32_t count, uint32_t* done);
int SYS_FileWrite(SYS_HANDLE handle, const void* buffer, uint32_t count, uint32_t* done);
int SYS_FileSeek(SYS_HANDLE handle, int32_t distance, int method, uint32_t* position);
int SYS_FileLength(SYS_HANDLE handle, uint32_t* length);
int SYS_SetLength(SYS_HANDLE handle, uint32_t length);
int SYS_GetAttributes(const char* path, uint32_t* attributes);
int SYS_SetAttributes(const char* path, uint32_t attributes);
int SYS_Exists(const char* path);  // 1 or 0
int SYS_DeleteFile(const char* path);
int SYS_RenameFile(const char* from, const char* to);
int SYS_MakeDirectory(const char* path);
int SYS_RemoveDirectory(const char* path);

// Copies the bytes of resource (name, type) of module (null: the running
// executable) into buffer; -1014 when it is missing, -1015 when it exceeds size.
// size_out receives the resource's size. The native build has no resources: -1014.
int SYS_LoadResource(void* module, const char* name, const char* type, void* buffer, uint32_t size,
                     uint32_t* size_out);
// Size of a resource, for callers that allocate first; -1014 when it is missing.
int SYS_ResourceSize(void* module, const char* name, const char* type, uint32_t* size);

// --- Searches, directories, drives, times and the message box (Windows build) ---

inline constexpr int SYS_MAX_PATH = 260;

// Which entries a search returns for a search attribute mask: the archive bit counts
// only when the mask asks for it, plain files (attributes 0 or normal) always pass,
// and an entry fails when it is a directory, hidden, archived or system without the
// mask saying so. Read-only never excludes. Portable, so the rule is tested natively.
inline constexpr bool SYS_AttributesMatch(uint32_t attributes, uint32_t mask) {
    if ((mask & SYS_ATTR_ARCHIVE) == 0) attributes &= ~SYS_ATTR_ARCHIVE;
    if (attributes == 0 || attributes == SYS_ATTR_NORMAL) return true;
    constexpr uint32_t kFiltered = SYS_ATTR_DIRECTORY | SYS_ATTR_HIDDEN | SYS_ATTR_ARCHIVE | SYS_ATTR_SYSTEM;
    return (attributes & kFiltered & ~mask) == 0;
}

// Creation, last access and last write, each a FILETIME as one number.
struct SYS_FILETIMES {
    uint64_t created;
    uint64_t accessed;
    uint64_t written;
};

// One entry found by a search.
struct SYS_FINDINFO {
    char name[SYS_MAX_PATH];
    uint32_t attributes;
    // What the directory entry says besides, so that a walk over thousands of files
    // need not ask each file again: its size and its times (FILETIME values).
    uint64_t size;
    SYS_FILETIMES times;
};

// The program has one open search at a time: SYS_FindFirst closes the previous one.
// Both return the next entry that passes the mask, or -1006 when there is none (the
// search is then closed).
int SYS_FindFirst(const char* pattern, uint32_t mask, SYS_FINDINFO* found);
int SYS_FindNext(SYS_FINDINFO* found);
void SYS_FindClose();

// Current directory (with its drive) into buffer: 0 or -1010 (also when it does not fit).
int SYS_GetCurrentDirectory(char* buffer, uint32_t size);
void SYS_SetCurrentDirectory(const char* path);
// 0 when drive (a letter) can be made current; the current directory is restored.
// -1012 otherwise.
int SYS_CheckDrive(char drive);
// Bytes per cluster of the drive path begins with ("X:"): 0 or -1012.
int SYS_GetClusterSize(const char* path, uint32_t* size);
// Free bytes on the drive path begins with: 0, -1012 (no drive letter) or -1020 (free
// is then 0). Windows 95 family builds above 1000 ask GetDiskFreeSpaceExA first.
int SYS_GetFreeSpace(const char* path, double* free_bytes);
// 1 when the destination's last write is not later than the source's, else 0. A time
// that cannot be read is fatal (-1018).
int SYS_SourceNotOlder(SYS_HANDLE source, SYS_HANDLE destination);
// Puts from's creation, access and write times on to: 0, -1018 or -1019.
int SYS_CopyFileTime(SYS_HANDLE from, SYS_HANDLE to);
// Puts times (null: left as they are) and attributes on an open file in one call,
// which saves opening it again by name: 0, -1019 or -1005. 1 when this system cannot
// set attributes through a handle: the times are set, and the caller sets the
// attributes by name once the file is closed.
int SYS_FileSetInfo(SYS_HANDLE handle, const SYS_FILETIMES* times, uint32_t attributes);
// MessageBoxA owned by the main window's last active popup; the button pressed.
int SYS_MessageBox(const char* caption, const char* text, uint32_t type);
