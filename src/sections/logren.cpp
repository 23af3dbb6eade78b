// The Rename section.
#include "sections/logren.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "log/logcomn.h"
#include "run/loginst.h"
#include "run/logunins.h"
#include "run/plist.h"
#include "script/common.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logfile.h"
#include "sections/section.h"
#include "sys/zyndisk.h"
#include "ui/status.h"

namespace {

constexpr char kSource[] = "logren";
constexpr int kColumns = 4;
constexpr uint32_t kAnyFile = 0x87;

void Check(int code, int line) {
    if (code < 0) ZYNERROR_Fatal(code, kSource, line);
}

std::string ResolvePath(const char* file) { return SECTION_DestinationPath(kSource, file); }

// The new name's drive and directory, or the source's where the new name has none.
std::string TargetName(const char* source, const char* new_name) {
    char source_drive[_MAX_DRIVE], source_dir[_MAX_DIR];
    char drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath(source, source_drive, source_dir, nullptr, nullptr);
    _splitpath(new_name, drive, dir, name, ext);
    return std::string(drive[0] != '\0' ? drive : source_drive) + (dir[0] != '\0' ? dir : source_dir) + name + ext;
}

ZYNLOG_KEY RenameKey() {
    ZYNLOG_KEY common = nullptr, key = nullptr;
    Check(ZYNLOG_CreateKey(ZYNLOG_ROOT_KEY, "Common", &common), __LINE__);
    Check(ZYNLOG_CreateKey(common, LOGREN_KEY, &key), __LINE__);
    return key;
}

}  // namespace

int LOGREN_RenameFile(int demo_id, const char* source, const char* new_name, const char* uninstall,
                      const char* install) {
    ZYNLOG_KEY demo = nullptr;
    Check(LOGCOMN_GetDemoKey(&demo), __LINE__);
    if (!COMMON_IsTrue(install)) return 0;
    // The target's missing drive and folder come from the resolved source, so a bare new
    // name renames a file of the destination in place.
    const std::string from = ResolvePath(source);
    const std::string target = TargetName(from.c_str(), new_name);
    const int result = ZYNDISK_Rename(from.c_str(), kAnyFile, target.c_str(), 0, 0);
    if (result == 0 && COMMON_IsTrue(uninstall)) {
        ZYNLOG_KEY key = RenameKey();
        const std::string name = from + ", " + target;
        const std::string id = std::to_string(demo_id);
        char data[1024];
        std::string owners = id;
        if (ZYNLOG_GetValue(key, name.c_str(), data, sizeof data) == 0) owners = std::string(data) + "," + id;
        Check(ZYNLOG_SetValue(key, name.c_str(), owners.c_str()), __LINE__);
    }
    return result;
}

int LOGREN_Install(int demo_id, const char* section, int action) {
    SECTION_CheckAction(action, kSource);
    char destination[VAR_MAX_WORK_LENGTH];
    Check(VAR_Get("DestinationDirectory", destination, sizeof destination), __LINE__);
    const int result = SECTION_ForEachLine(kSource, section, kColumns, true, [&](SECTION_TOKEN* tokens) {
        if (action == PLIST_INSTALL) {
            LOGREN_RenameFile(demo_id, tokens[0], tokens[1], tokens[2], tokens[3]);
        } else if (COMMON_IsTrue(tokens[3]) && ResolvePath(tokens[0]).find(destination) == std::string::npos) {
            return ERROR_PLIST_EXCLUSIVE;
        }
        return 0;
    });
    if (result == 1) STATUS_Terminate();
    return result;
}

int LOGREN_Uninstall(ZYNLOG_KEY key, int demo_id) {
    const std::string id = std::to_string(demo_id);
    SECTION_ForEachValueBackwards(kSource, key, [&](const char* name, char* data) {
        if (lstrcmpiA(data, id.c_str()) == 0) {
            std::string record(name);
            size_t comma = record.find(',');
            std::string source = record.substr(0, comma);
            size_t start = comma == std::string::npos ? record.size() : record.find_first_not_of(' ', comma + 1);
            std::string target = start == std::string::npos ? "" : record.substr(start);
            // A file that cannot be moved back is left where it is; the record is spent.
            ZYNDISK_Rename(target.c_str(), kAnyFile, source.c_str(), 0, 0);
            Check(ZYNLOG_DeleteValue(key, record.c_str()), __LINE__);
        } else {
            LOGCOMN_RemoveDemoFromList(demo_id, data);
            Check(ZYNLOG_SetValue(key, name, data), __LINE__);
        }
        LOGUNINS_Progress(1);
    });
    return 0;
}
