// zynrecord: a stand-in for a system program that a test wants to see called but not
// run. Appends its command line to the file beside it named like itself plus ".calls".
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    char own[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, own, sizeof own);
    if (n == 0 || n >= sizeof own) return 1;
    std::string calls = std::string(own) + ".calls";
    FILE* out = std::fopen(calls.c_str(), "ab");
    if (out == nullptr) return 1;
    std::fprintf(out, "%s\n", GetCommandLineA());
    std::fclose(out);
    return 0;
}
