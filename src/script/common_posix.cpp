#include <cstdio>
#include <cstdlib>

#include "script/common.h"

// Without a debugger to listen, traces go to stderr, and only on request (ZYN_DEBUG set
// and not empty), so that tests and tools stay quiet by default.
void COMMON_DebugOutput(const char* text) {
    const char* wanted = std::getenv("ZYN_DEBUG");
    if (text == nullptr || wanted == nullptr || wanted[0] == '\0') return;
    std::fputs(text, stderr);
    std::fflush(stderr);
}
