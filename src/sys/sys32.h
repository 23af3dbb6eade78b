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
