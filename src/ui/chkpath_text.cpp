#include "ui/chkpath_text.h"

#include <cstring>
#include <string>

namespace {

constexpr char kAllowedPunctuation[] = "!@#^_-\\.~ ()[]";

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Letters of the Western code page beyond ASCII, as the system classifies them.
bool Latin1IsAlnum(unsigned char c) {
    if (IsAsciiLetter(c) || (c >= '0' && c <= '9')) return true;
    switch (c) {
        case 0x83: case 0x8A: case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E: case 0x9F:
        case 0xAA: case 0xB5: case 0xBA:
            return true;
        default:
            return c >= 0xC0 && c != 0xD7 && c != 0xF7;
    }
}

void Latin1ToUpper(char* text) {
    for (; *text != '\0'; ++text) {
        auto c = static_cast<unsigned char>(*text);
        if (c >= 'a' && c <= 'z') {
            c = static_cast<unsigned char>(c - 0x20);
        } else if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
            c = static_cast<unsigned char>(c - 0x20);
        } else if (c == 0x9A || c == 0x9C || c == 0x9E) {
            c = static_cast<unsigned char>(c - 0x10);
        } else if (c == 0xFF) {
            c = 0x9F;
        }
        *text = static_cast<char>(c);
    }
}

void TrimTrailingBlanks(char* path) {
    size_t length = std::strlen(path);
    while (length > 0 && path[length - 1] == ' ') path[--length] = '\0';
    // "DEMO FILES  \" becomes "DEMO FILES\".
    while (length >= 2 && path[length - 1] == '\\' && path[length - 2] == ' ') {
        path[length - 2] = '\\';
        path[--length] = '\0';
    }
}

bool IsBareDrive(std::string_view path) {
    return (path.size() == 2 && path[1] == ':') || (path.size() == 3 && path[1] == ':' && path[2] == '\\');
}

bool HasOnlyAllowedCharacters(std::string_view path, const PATH_CHARSET& charset) {
    for (size_t i = 0; i < path.size(); ++i) {
        auto c = static_cast<unsigned char>(path[i]);
        if (c == ':' && i == 1) continue;
        if (c != '\0' && std::strchr(kAllowedPunctuation, c) != nullptr) continue;
        if (!charset.is_alnum(c)) return false;
    }
    return path.size() < 2 || path[1] != ':' || IsAsciiLetter(static_cast<unsigned char>(path[0]));
}

bool ContainsUpper(std::string_view path, std::string_view directory, const PATH_CHARSET& charset) {
    if (directory.empty()) return false;
    std::string upper(directory);
    charset.to_upper(upper.data());
    return path.find(upper.c_str()) != std::string_view::npos;
}

}  // namespace

const PATH_CHARSET& PATH_Latin1Charset() {
    static const PATH_CHARSET charset{Latin1IsAlnum, Latin1ToUpper};
    return charset;
}

int PATH_CheckText(char* path, std::string_view windows_directory, std::string_view system_directory,
                   const PATH_CHARSET& charset) {
    if (path == nullptr) return 0;
    bool drive = path[0] != '\0' && path[1] == ':';
    bool network = path[0] == '\\' && path[1] == '\\';
    if (!drive && !network) return 0;

    TrimTrailingBlanks(path);
    std::string_view text(path);
    if (text.empty() || IsBareDrive(text)) return 0;
    if (!HasOnlyAllowedCharacters(text, charset)) return 0;
    // A network path has no drive part, so its leading pair is an empty component.
    if (text.find("\\\\", drive ? 2 : 0) != std::string_view::npos) return 0;

    charset.to_upper(path);
    if (ContainsUpper(text, windows_directory, charset) || ContainsUpper(text, system_directory, charset)) return 0;
    return 1;
}
