// The copy engine's decisions that need no file system: pattern parts, wildcard
// matching, where a walked entry goes, which deletes are refused, size arithmetic.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "sys/zyndisk.h"

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string UpperCopy(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), Upper);
    return result;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveRoot(std::string_view folder) {
    if (folder.size() < 2 || folder.size() > 3) return false;
    if (!std::isalpha(static_cast<unsigned char>(folder[0])) || folder[1] != ':') return false;
    return folder.size() == 2 || folder[2] == '\\';
}

}  // namespace

ZYNDISK_PATTERN ZYNDISK_SplitPattern(std::string_view pattern) {
    ZYNDISK_PATTERN parts;
    if (pattern.size() >= 2 && pattern[1] == ':') {
        parts.drive = std::string(pattern.substr(0, 2));
        pattern.remove_prefix(2);
    }
    size_t last = pattern.find_last_of("\\/");
    if (last != std::string_view::npos) {
        parts.directory = std::string(pattern.substr(0, last + 1));
        pattern.remove_prefix(last + 1);
    }
    parts.file = std::string(pattern);
    return parts;
}

bool ZYNDISK_WildcardMatch(std::string_view pattern, std::string_view text) {
    // Greedy with one back-track point: the last "*" seen absorbs one more character
    // each time the rest fails to match.
    size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Upper(pattern[p]) == Upper(text[t]))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string ZYNDISK_EntryDestination(std::string_view destination, std::string_view root,
                                     std::string_view directory, std::string_view name) {
    if (destination.empty() || destination.back() != '\\') return std::string(destination);
    std::string_view below = directory.size() >= root.size() ? directory.substr(root.size()) : std::string_view{};
    while (!below.empty() && IsSeparator(below.front())) below.remove_prefix(1);
    std::string result(destination);
    if (!below.empty()) {
        result.append(below);
        result.push_back('\\');
    }
    result.append(name);
    return result;
}

int ZYNDISK_IsProhibited(std::string_view pattern, std::string_view windows_directory,
                         std::string_view system_directory) {
    if (pattern.find_first_of("*?") == std::string_view::npos) return 0;
    ZYNDISK_PATTERN parts = ZYNDISK_SplitPattern(pattern);
    std::string folder = parts.drive + parts.directory;
    // "\" alone is the root of the current drive: as dangerous as "C:\".
    if (IsDriveRoot(folder) || folder == "\\") return 1;
    std::string upper = UpperCopy(folder);
    for (std::string_view system_folder : {windows_directory, system_directory}) {
        if (!system_folder.empty() && upper.find(UpperCopy(system_folder)) != std::string::npos) return 1;
    }
    return 0;
}

uint32_t ZYNDISK_AddSaturating(uint32_t a, uint32_t b) {
    uint32_t sum = a + b;
    return sum < a ? std::numeric_limits<uint32_t>::max() : sum;
}

uint32_t ZYNDISK_RoundToClusters(uint32_t size, uint32_t cluster) {
    if (cluster == 0) cluster = 1;
    uint64_t rounded = (static_cast<uint64_t>(size) + cluster - 1) / cluster * cluster;
    return rounded > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                          : static_cast<uint32_t>(rounded);
}
