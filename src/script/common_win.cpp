#include <windows.h>

#include "script/common.h"

void COMMON_DebugOutput(const char* text) {
    if (text != nullptr) OutputDebugStringA(text);
}
