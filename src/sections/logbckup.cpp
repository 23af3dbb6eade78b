// The Protection Backup section.
#include "sections/logbckup.h"

#include <cstdio>
#include <string>

#include "run/plist.h"
#include "script/common.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sys/sys32.h"
#include "sys/zyndisk.h"

namespace {

constexpr char kSource[] = "logbckup";
constexpr int kTokenSize = 256;
constexpr uint32_t kNormalFiles = 0x80;

void Check(int code, int line) {
    if (code < 0) ZYNERROR_Fatal(code, kSource, line);
}

// The token, expanded, in a buffer of the handler's size.
std::string Expand(const char* token) {
    char buffer[kTokenSize];
    std::snprintf(buffer, sizeof buffer, "%s", token != nullptr ? token : "");
    Check(VAR_Substitute(buffer, buffer, sizeof buffer), __LINE__);
    return buffer;
}

// "X:\BASE.EXT" with the extension, or the first three-digit one not taken.
std::string FreeBackupName(const std::string& drive, const char* base, const std::string& extension) {
    char name[300];
    std::snprintf(name, sizeof name, "%s\\%s.%s", drive.c_str(), base, extension.c_str());
    for (int number = 0; SYS_Exists(name) && number < 1000; ++number) {
        std::snprintf(name, sizeof name, "%s\\%s.%03d", drive.c_str(), base, number);
    }
    return name;
}

void Backup(const std::string& drive, const char* base, const char* extension_of_source,
            const std::string& extension) {
    const std::string source = drive + "\\" + base + "." + extension_of_source;
    if (!SYS_Exists(source.c_str())) return;
    const std::string backup = FreeBackupName(drive, base, extension);
    // All 1000 names taken: the last one would be overwritten, so the backup is skipped.
    if (SYS_Exists(backup.c_str())) return;
    Check(ZYNDISK_Copy(source.c_str(), kNormalFiles, backup.c_str(), 0, 0, 0), __LINE__);
}

}  // namespace

int LOGBCKUP_Install(int, const char* section, int action) {
    if (action != PLIST_INSTALL && action != PLIST_EXCLUSIVE_TEST) {
        ZYNERROR_Fatal(ERROR_PLIST_UNKNOWN_ACTION, kSource, __LINE__);
    }
    char name[kTokenSize];
    std::snprintf(name, sizeof name, "%s", section != nullptr ? section : "");
    Check(INF_FindSection(name), __LINE__);
    char line[255];
    for (;;) {
        int result = INF_ReadLine(line, sizeof line);
        if (result == 1) return result;
        Check(result, __LINE__);
        const char* keyword = COMMON_NextToken(line, ",", " \t\n");
        const char* tokens[3] = {};
        for (auto& token : tokens) token = COMMON_NextToken(nullptr, ",", " \t\n");
        const std::string extension = Expand(tokens[0]);
        Expand(tokens[1]);  // the uninstall flag: backups are never undone
        if (!COMMON_IsTrue(Expand(tokens[2]).c_str())) continue;
        // Any line to be carried out makes the demo non-exclusive, whatever its keyword.
        if (action == PLIST_EXCLUSIVE_TEST) return ERROR_PLIST_EXCLUSIVE;
        if (keyword == nullptr || COMMON_CompareNoCase(keyword, "BackupExt", sizeof "BackupExt") != 0) continue;
        char drive[VAR_MAX_WORK_LENGTH];
        Check(VAR_Get("BootDrive", drive, sizeof drive), __LINE__);
        Backup(drive, "CONFIG", "SYS", extension);
        Backup(drive, "AUTOEXEC", "BAT", extension);
    }
}
