// The Other Files section.
#include "sections/logother.h"

#include <cstdio>
#include <vector>

#include "run/loginst.h"
#include "run/plist.h"
#include "script/common.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logfile.h"

namespace {

constexpr char kSource[] = "logother";
constexpr int kColumns = 2;

void Check(int code, int line) {
    if (code != 0) ZYNERROR_Fatal(code, kSource, line);
}

}  // namespace

int LOGOTHER_Install(int demo_id, const char* section, int action) {
    if (action != PLIST_INSTALL && action != PLIST_EXCLUSIVE_TEST) {
        ZYNERROR_Fatal(ERROR_PLIST_UNKNOWN_ACTION, kSource, __LINE__);
    }
    char destination[VAR_MAX_WORK_LENGTH];
    Check(VAR_Get("DestinationDirectory", destination, sizeof destination), __LINE__);
    char name[LOGFILE_TOKEN_SIZE];
    std::snprintf(name, sizeof name, "%s", section != nullptr ? section : "");
    Check(INF_FindSection(name), __LINE__);
    char tokens[kColumns][LOGFILE_TOKEN_SIZE];
    std::vector<char> path(LOGFILE_DESTINATION_SIZE);
    for (;;) {
        int result = INF_ReadTokens(&tokens[0][0], kColumns, LOGFILE_TOKEN_SIZE);
        if (result == 1) return 0;
        Check(result, __LINE__);
        for (auto& token : tokens) Check(VAR_Substitute(token, token, LOGFILE_TOKEN_SIZE), __LINE__);
        // The file itself is never looked at: it need not exist.
        if (action == PLIST_INSTALL && !COMMON_IsTrue(tokens[1])) continue;
        std::snprintf(path.data(), path.size(), "%s", tokens[0]);
        Check(LOGINST_MakeDestinationPath(path.data(), static_cast<int>(path.size())), __LINE__);
        if (action == PLIST_INSTALL) {
            LOGFILE_RecordFile(demo_id, path.data());
        } else if (COMMON_FindNoCase(path.data(), destination) == nullptr) {
            return ERROR_PLIST_EXCLUSIVE;
        }
    }
}
