// Native build: there is no one to show a dialog to, so the report goes to
// stderr; a fatal error then ends the run in the same order as on Windows.
#include <cstdio>
#include <cstdlib>

#include "script/zynerror.h"

namespace {

constexpr size_t kTextSize = 2048;

// Set once the closing steps have begun: a fatal error raised by a terminate
// function must not start the clean-up list over again.
bool g_closingDown = false;

void Report(const char* kind, int code, const char* source, int line) {
    char text[kTextSize];
    ZYNERROR_GetText(code, text, sizeof text);
    std::fprintf(stderr, "%s in %s, line %d (%d): %s\n", kind, source ? source : "", line, code, text);
}

}  // namespace

void ZYNERROR_Fatal(int code, const char* source, int line) {
    if (g_closingDown) std::_Exit(-1);
    Report("fatal error", code, source, line);
    g_closingDown = true;
    ZYNERROR_CloseDown();
    std::exit(-1);
}

// Nobody can answer Continue or Exit here; a warning is by definition survivable,
// so the run goes on.
void ZYNERROR_Warning(int code, const char* source, int line) {
    Report("warning", code, source, line);
}
