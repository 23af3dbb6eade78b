// Reading Program Manager's description of a group.
#include "sections/logprtct.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "script/common.h"

namespace {

// Fields of one line: split at commas, leading blanks skipped, empty fields kept.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        size_t start = line.find_first_not_of(' ');
        line.remove_prefix(start == std::string_view::npos ? line.size() : start);
        const size_t comma = line.find(',');
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos) return fields;
        line.remove_prefix(comma + 1);
    }
}

}  // namespace

std::string LOGPRTCT_FindPhoneItem(std::string_view group_description) {
    std::vector<std::string_view> lines;
    std::string_view rest = group_description;
    while (!rest.empty()) {
        const size_t start = rest.find_first_not_of("\r\n");
        if (start == std::string_view::npos) break;
        rest.remove_prefix(start);
        const size_t end = rest.find_first_of("\r\n");
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    }
    if (lines.empty()) return {};
    // Group name, group file, number of items, show command.
    const std::vector<std::string_view> header = Fields(lines[0]);
    const int items = header.size() > 2 ? std::atoi(std::string(header[2]).c_str()) : 0;
    for (int i = 1; i <= items && i < static_cast<int>(lines.size()); ++i) {
        const std::vector<std::string_view> item = Fields(lines[static_cast<size_t>(i)]);
        if (item.size() > 1 && COMMON_FindNoCase(std::string(item[1]).c_str(), "cpqphone") != nullptr) {
            return std::string(item[0]);
        }
    }
    return {};
}
