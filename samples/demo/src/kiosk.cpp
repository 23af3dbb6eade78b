// The aquarium's kiosk programs, one source built twice:
//   ZYNSHL32.EXE  a replacement shell: starts every program listed in ZYNSHL32.INI
//                 beside it ([ZYN SHELL] APPS=a.exe;b.exe) and the demo named by
//                 [ZYN SHELL] DEMO, and starts the demo again whenever it ends.
//   CHKSHL32.EXE  (built with ZYN_CHECK_SHELL) tells whether SYSTEM.INI's shell line
//                 names ZYNSHL32.EXE; exit code 0 when it does, 1 when not.
#include <windows.h>

#include <string>

#ifndef ZYN_CHECK_SHELL
namespace {

std::string Directory() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

HANDLE Start(const std::string& dir, const std::string& program) {
    std::string command = program.find(':') == std::string::npos ? dir + program : program;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
        return nullptr;
    }
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

}  // namespace
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
#ifdef ZYN_CHECK_SHELL
    char shell[MAX_PATH] = "";
    GetPrivateProfileStringA("boot", "shell", "", shell, sizeof shell, "system.ini");
    const bool ours = CharUpperA(shell) && std::string(shell).find("ZYNSHL32.EXE") != std::string::npos;
    if (!ours) MessageBoxA(nullptr, "The aquarium kiosk shell is not installed.", "Zyn Aquarium", MB_OK);
    return ours ? 0 : 1;
#else
    const std::string dir = Directory();
    const std::string ini = dir + "ZYNSHL32.INI";
    char apps[1024] = "", demo[MAX_PATH] = "";
    GetPrivateProfileStringA("ZYN SHELL", "APPS", "", apps, sizeof apps, ini.c_str());
    GetPrivateProfileStringA("ZYN SHELL", "DEMO", "aquarium.exe", demo, sizeof demo, ini.c_str());
    std::string list = apps;
    for (size_t begin = 0; begin < list.size();) {
        size_t end = list.find(';', begin);
        if (end == std::string::npos) end = list.size();
        if (end > begin) {
            if (HANDLE started = Start(dir, list.substr(begin, end - begin))) CloseHandle(started);
        }
        begin = end + 1;
    }
    // A kiosk has nothing else to show: the demo comes back whenever it ends, unless
    // it cannot be started at all.
    for (;;) {
        HANDLE process = Start(dir, demo);
        if (!process) return 1;
        WaitForSingleObject(process, INFINITE);
        CloseHandle(process);
        Sleep(1000);
    }
#endif
}
