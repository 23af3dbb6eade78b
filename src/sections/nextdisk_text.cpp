// Diskette names and the syntax of a diskette path.
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

#include "sections/nextdisk.h"

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// Letters of the ANSI code page above 0x7F count as letters, as the system sees them.
bool IsPathCharacter(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalnum(u) || std::strchr("!@#^_-\\.~ ()[]", c) != nullptr;
}

}  // namespace

bool NEXTDISK_ParseDiskLine(std::string_view line, std::string* number, std::string* name) {
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    if (number != nullptr) *number = std::string(Trimmed(line.substr(0, equals)));
    if (name != nullptr) *name = std::string(Trimmed(line.substr(equals + 1)));
    return true;
}

int NEXTDISK_IsValidPath(std::string& path) {
    while (!path.empty() && path.back() == ' ') path.pop_back();
    while (path.size() >= 2 && path.back() == '\\' && path[path.size() - 2] == ' ') path.erase(path.size() - 2, 1);
    if (path.empty()) return 0;
    const bool network = path.rfind("\\\\", 0) == 0;
    const bool drive = path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
    if (!network && !drive) return 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (i == 1 && drive) continue;
        if (!IsPathCharacter(path[i])) return 0;
    }
    // Both "X:" and the leading "\\" of a network path are two characters; no empty
    // component may follow them.
    if (path.find("\\\\", 2) != std::string::npos) return 0;
    return 1;
}
