#include "run/helper.h"

#include <array>

#include "script/common.h"

namespace {

// Libraries that stay loaded by Windows: deleting them needs a restart first.
constexpr std::array<std::string_view, 2> kRestartLibraries{"eventm32.dll", "audiom32.dll"};

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && COMMON_CompareNoCase(a.data(), b.data(), a.size()) == 0;
}

// Length of the drive and directory part of a path, as the system's path splitter sees it.
size_t DirectoryLength(std::string_view path) {
    size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) return slash + 1;
    if (path.size() >= 2 && path[1] == ':') return 2;
    return 0;
}

}  // namespace

int HELPER_IsRestartLibrary(std::string_view path) {
    std::string_view name = path.substr(DirectoryLength(path));
    for (std::string_view library : kRestartLibraries) {
        if (EqualNoCase(name, library)) return 1;
    }
    return 0;
}

std::string HELPER_MakeCommandLine(std::string_view module_path, std::string_view ini_path) {
    std::string line(module_path.substr(0, DirectoryLength(module_path)));
    line += HELPER_EXE_NAME;
    line += ' ';
    line += ini_path;
    return line;
}

std::string HELPER_MakeIniPath(std::string_view windows_directory) {
    std::string path(windows_directory);
    if (path.empty() || path.back() != '\\') path += '\\';
    path += HELPER_INI_NAME;
    return path;
}
