// A program that reports an error the way the installer does, for the robot tests.
//   fatalchild fatal|warning DIR [CODE]
// Registers two clean-up functions that append "first" and "second" lines to
// DIR\cleanup.txt, then calls ZYNERROR_Fatal or ZYNERROR_Warning with CODE
// (default -2901) from source "fatalchild", line 42. A warning that returns
// writes "continued" to DIR\cleanup.txt and ends with 0.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "script/module.h"
#include "script/zynerror.h"

namespace {

std::string g_log;

void Append(const char* text) {
    if (FILE* f = std::fopen(g_log.c_str(), "ab")) {
        std::fprintf(f, "%s\n", text);
        std::fclose(f);
    }
}

int FirstCleanup() { Append("first"); return 0; }
int SecondCleanup() { Append("second"); return 0; }

// A text of the child's own, so the dialog can be seen to ask the hooks.
const char* ChildHook(int code) { return code == 777 ? "FATALCHILD: the child's own error text" : nullptr; }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 3) return 99;
    const std::string mode = __argv[1];
    g_log = std::string(__argv[2]) + "\\cleanup.txt";
    const int code = __argc > 3 ? std::atoi(__argv[3]) : ERROR_MODULE_NONE_FREE;
    ZYNERROR_AddHook(ChildHook);
    MODULE_Register(FirstCleanup, 0);
    MODULE_Register(SecondCleanup, 0);
    if (mode == "fatal") ZYNERROR_Fatal(code, "fatalchild", 42);
    if (mode != "warning") return 98;
    ZYNERROR_Warning(code, "fatalchild", 42);
    Append("continued");
    return 0;
}
