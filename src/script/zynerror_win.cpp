// Placeholder until the dialogs exist: the report goes to stderr.
#include <cstdio>
#include <cstdlib>

#include "script/module.h"
#include "script/zynerror.h"

void ZYNERROR_Fatal(int code, const char* source, int line) {
    char text[2048];
    ZYNERROR_GetText(code, text, sizeof text);
    std::fprintf(stderr, "fatal error in %s, line %d: %d %s\n", source ? source : "", line, code, text);
    MODULE_RunAll();
    std::exit(-1);
}

void ZYNERROR_Warning(int code, const char* source, int line) {
    char text[2048];
    ZYNERROR_GetText(code, text, sizeof text);
    std::fprintf(stderr, "warning in %s, line %d: %d %s\n", source ? source : "", line, code, text);
}
