// POSIX implementation of the thin system layer for the native build.
#include "sys/sys32.h"

// A native executable carries no Windows resources.
int SYS_LoadResource(void*, const char*, const char*, void*, uint32_t, uint32_t* size_out) {
    if (size_out != nullptr) *size_out = 0;
    return ERROR_SYS_RESOURCE_NOT_FOUND;
}

int SYS_ResourceSize(void*, const char*, const char*, uint32_t* size) {
    if (size != nullptr) *size = 0;
    return ERROR_SYS_RESOURCE_NOT_FOUND;
}
