// A program for the Launch tests: "launchee MARKER" appends "parent" to MARKER, starts
// "launchee MARKER child" and ends at once; the child waits a while, then appends "child".
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    std::string args(command_line);
    const bool child = args.size() > 6 && args.compare(args.size() - 6, 6, " child") == 0;
    const std::string marker = child ? args.substr(0, args.size() - 6) : args;
    if (child) Sleep(1500);
    if (FILE* out = std::fopen(marker.c_str(), "ab")) {
        std::fputs(child ? "child\n" : "parent\n", out);
        std::fclose(out);
    }
    if (!child) {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        std::string command = std::string("\"") + self + "\" " + marker + " child";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    return 0;
}
