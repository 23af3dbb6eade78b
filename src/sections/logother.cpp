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
#include "sections/section.h"

namespace {

constexpr char kSource[] = "logother";
constexpr int kColumns = 2;

void Check(int code, int line) {
    if (code != 0) ZYNERROR_Fatal(code, kSource, line);
}

}  // namespace

int LOGOTHER_Install(int demo_id, const char* section, int action) {
    SECTION_CheckAction(action, kSource);
    char destination[VAR_MAX_WORK_LENGTH];
    Check(VAR_Get("DestinationDirectory", destination, sizeof destination), __LINE__);
    const int result = SECTION_ForEachLine(kSource, section, kColumns, true, [&](SECTION_TOKEN* tokens) {
        // The file itself is never looked at: it need not exist.
        if (action == PLIST_INSTALL && !COMMON_IsTrue(tokens[1])) return 0;
        const std::string path = SECTION_DestinationPath(kSource, tokens[0]);
        if (action == PLIST_INSTALL) {
            LOGFILE_RecordFile(demo_id, path.c_str());
        } else if (COMMON_FindNoCase(path.c_str(), destination) == nullptr) {
            return ERROR_PLIST_EXCLUSIVE;
        }
        return 0;
    });
    return result == 1 ? 0 : result;
}
