#include "script/zynerror.h"

#include <cstring>

int ZYNERROR_AddHook(ZYNERROR_HOOK) { return 0; }

void ZYNERROR_GetText(int, char* buffer, size_t size) {
    if (size == 0) return;
    std::strncpy(buffer, "The following error has occured:", size - 1);
    buffer[size - 1] = '\0';
}

void COMMON_RegisterErrorHooks() {}
