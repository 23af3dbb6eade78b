#include "sections/section.h"

#include <cstdio>
#include <vector>

#include "run/loginst.h"
#include "run/plist.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"

void SECTION_CheckAction(int action, const char* source) {
    if (action != PLIST_INSTALL && action != PLIST_EXCLUSIVE_TEST) {
        ZYNERROR_Fatal(ERROR_PLIST_UNKNOWN_ACTION, source, __LINE__);
    }
}

int SECTION_ForEachLine(const char* source, const char* section, int columns, bool expand,
                        const std::function<int(SECTION_TOKEN* tokens)>& each) {
    char name[LOGFILE_TOKEN_SIZE];
    std::snprintf(name, sizeof name, "%s", section != nullptr ? section : "");
    if (int result = INF_FindSection(name); result != 0) ZYNERROR_Fatal(result, source, __LINE__);
    std::vector<SECTION_TOKEN> tokens(static_cast<size_t>(columns));
    for (;;) {
        int result = INF_ReadTokens(&tokens[0][0], columns, LOGFILE_TOKEN_SIZE);
        if (result == 1) return result;
        if (result < 0) ZYNERROR_Fatal(result, source, __LINE__);
        for (int i = 0; expand && i < columns; ++i) {
            int expanded = VAR_Substitute(tokens[i], tokens[i], LOGFILE_TOKEN_SIZE);
            if (expanded < 0) ZYNERROR_Fatal(expanded, source, __LINE__);
        }
        if (int outcome = each(tokens.data()); outcome != 0) return outcome;
    }
}

void SECTION_ForEachValueBackwards(const char* source, ZYNLOG_KEY key,
                                   const std::function<void(const char* name, char* data)>& visit) {
    int values = 0, longest_name = 0, longest_data = 0;
    if (int result = ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &values, &longest_name, &longest_data); result < 0)
        ZYNERROR_Fatal(result, source, __LINE__);
    std::vector<char> name(static_cast<size_t>(longest_name) + 1), data(static_cast<size_t>(longest_data) + 1);
    for (int i = values - 1; i >= 0; --i) {
        if (int result = ZYNLOG_EnumValue(key, i, name.data(), static_cast<int>(name.size()), data.data(),
                                          static_cast<int>(data.size()));
            result < 0)
            ZYNERROR_Fatal(result, source, __LINE__);
        visit(name.data(), data.data());
    }
}

std::string SECTION_DestinationPath(const char* source, const char* path, int size) {
    std::vector<char> buffer(static_cast<size_t>(size));
    std::snprintf(buffer.data(), buffer.size(), "%s", path);
    if (int result = LOGINST_MakeDestinationPath(buffer.data(), size); result < 0)
        ZYNERROR_Fatal(result, source, __LINE__);
    return buffer.data();
}
