// The sample's video codec installer, started by the demo's [Launch] line:
//   setup.exe LOG   appends "codec copied" to LOG, starts "setup.exe LOG /register" and
//                   ends at once; the second process takes a while, then appends
//                   "codec registered". An installer that waits must wait for both.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr char kRegister[] = " /register";

void Append(const std::string& log, const char* line) {
    if (FILE* out = std::fopen(log.c_str(), "ab")) {
        std::fprintf(out, "%s\r\n", line);
        std::fclose(out);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    std::string log(command_line);
    const size_t suffix = log.rfind(kRegister);
    if (suffix != std::string::npos && suffix + sizeof kRegister - 1 == log.size()) {
        Sleep(1500);
        Append(log.substr(0, suffix), "codec registered");
        return 0;
    }
    Append(log, "codec copied");
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" " + log + kRegister;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 1;
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return 0;
}
