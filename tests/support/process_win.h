// Windows-only test helpers: child programs, files built beside the test executable, file times.
#pragma once

#include <windows.h>

#include <string>

#include "sys/handle.h"

namespace zyntest {

// Owns a process handle; the child is not killed when the object dies.
class ChildProcess {
public:
    // Starts command_line (the first token names the program); false when it cannot start.
    bool Start(const std::string& command_line) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        std::string line = command_line;
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            return false;
        }
        zyn::Handle thread(info.hThread);
        process_.reset(info.hProcess);
        return true;
    }
    // The exit code, or -999 when the process has not ended within timeout_ms.
    long Wait(DWORD timeout_ms) {
        DWORD code = 0;
        if (!process_ || WaitForSingleObject(process_.get(), timeout_ms) != WAIT_OBJECT_0) return -999;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<long>(static_cast<int>(code));
    }

private:
    zyn::Handle process_;
};

// A file built beside the test executable (language libraries, helper programs).
inline std::string BesideTests(const std::string& file) {
    char path[MAX_PATH];
    const std::string self(path, GetModuleFileNameA(nullptr, path, sizeof path));
    return self.substr(0, self.find_last_of('\\') + 1) + file;
}

// Sets the last write time of path to 1 June of year; false when it cannot.
inline bool SetWriteYear(const std::string& path, int year) {
    zyn::Handle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    const SYSTEMTIME when{static_cast<WORD>(year), 6, 0, 1, 0, 0, 0, 0};  // year, month, weekday, day, time
    FILETIME time{};
    return file && SystemTimeToFileTime(&when, &time) && SetFileTime(file.get(), nullptr, nullptr, &time) != 0;
}

}  // namespace zyntest
