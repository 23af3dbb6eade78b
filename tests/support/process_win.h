// Windows-only test helpers: files built beside the test executable, file times.
#pragma once

#include <windows.h>

#include <string>

#include "sys/handle.h"

namespace zyntest {

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
