// Win32 implementation of the thin system layer.
#include "sys/sys32.h"

#include <windows.h>

namespace {

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

}  // namespace

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
