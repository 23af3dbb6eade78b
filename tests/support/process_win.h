// Windows-only test helpers: running child programs, copies of the test executable
// used as child programs, and waiting for files to go away.
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

// 1 June of year, as a file time.
inline FILETIME FileTimeOfYear(int year) {
    const SYSTEMTIME when{static_cast<WORD>(year), 6, 0, 1, 0, 0, 0, 0};  // year, month, weekday, day, time
    FILETIME time{};
    SystemTimeToFileTime(&when, &time);
    return time;
}

// Sets the last write time of path to FileTimeOfYear(year); false when it cannot.
inline bool SetWriteYear(const std::string& path, int year) {
    zyn::Handle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    const FILETIME time = FileTimeOfYear(year);
    return file && SetFileTime(file.get(), nullptr, nullptr, &time) != 0;
}

inline bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Polls until path no longer exists; false when it is still there after timeout_ms.
inline bool WaitUntilGone(const std::string& path, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    while (PathExists(path)) {
        if (GetTickCount() - start >= timeout_ms) return false;
        Sleep(50);
    }
    return true;
}

// Runs one disabled test of a copy of this test executable (at exe_path) as a child
// program and returns its exit code: 0 when that test passed. The child inherits the
// environment, which is how a test hands it its arguments.
inline long RunChildTest(const std::string& exe_path, const std::string& test_name, DWORD timeout_ms) {
    ChildProcess child;
    if (!child.Start("\"" + exe_path + "\" --gtest_also_run_disabled_tests --gtest_filter=" + test_name)) return -998;
    return child.Wait(timeout_ms);
}

// Copies this test executable to dir under a name of its own, tells Wine to present
// itself to that name as Windows 95, runs test_name in it and returns its exit code.
inline long RunChildTestAsWindows95(const std::string& dir, const std::string& test_name, DWORD timeout_ms) {
    std::string name = "zyn95_" + std::to_string(GetCurrentProcessId()) + ".exe";
    std::string copy = dir + "\\" + name;
    if (!CopyFileA(BesideTests("zyntests.exe").c_str(), copy.c_str(), FALSE)) return -997;
    std::string key = "Software\\Wine\\AppDefaults\\" + name;
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) != 0) return -996;
    RegSetValueExA(zyn::RegKey(handle).get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win95"), 6);
    long code = RunChildTest(copy, test_name, timeout_ms);
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    DeleteFileA(copy.c_str());
    return code;
}

}  // namespace zyntest
