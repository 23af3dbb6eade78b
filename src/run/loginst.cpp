// The install run's path helpers.
#include "run/loginst.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "log/zynlog.h"
#include "script/var.h"
#include "sections/logfile.h"
#include "sys/sys32.h"
#include "sys/zyndisk.h"

namespace {

int g_demoId = -1;

int MakeAbsolute(const char* base_variable, char* path, int size) {
    if (path == nullptr) return ERROR_LOGINST_BUFFER_TOO_SMALL;
    if (std::strchr(path, ':') != nullptr || std::strstr(path, "\\\\") != nullptr) return 0;
    char base[VAR_MAX_WORK_LENGTH];
    if (int error = VAR_Get(base_variable, base, sizeof base); error != 0) return error;
    size_t needed = std::strlen(base) + std::strlen(path) + 2;
    if (size < 0 || needed > static_cast<size_t>(size)) return ERROR_LOGINST_BUFFER_TOO_SMALL;
    std::string joined = std::string(base) + "\\" + path;
    std::memcpy(path, joined.c_str(), joined.size() + 1);
    return 0;
}

int RecordMadeDirectory(const std::string& directory) {
    if (ZYNLOG_IsInitialized()) return LOGFILE_RecordFile(g_demoId, directory.c_str());
    char list[VAR_MAX_WORK_LENGTH];
    std::string value = directory;
    if (VAR_Get(LOGINST_ADDED_DIRECTORIES, list, sizeof list) == 0 && list[0] != '\0') {
        value = std::string(list) + ";" + directory;
    }
    return VAR_Set(LOGINST_ADDED_DIRECTORIES, value.c_str());
}

}  // namespace

int LOGINST_MakeSourcePath(char* path, int size) { return MakeAbsolute("SourceDirectory", path, size); }

int LOGINST_MakeDestinationPath(char* path, int size) { return MakeAbsolute("DestinationDirectory", path, size); }

int LOGINST_CreateDirectories(const char* path) {
    if (path == nullptr || std::strncmp(path, "\\\\", 2) == 0) return 0;
    std::string text = path;
    if (text.size() <= 3) return 0;
    for (size_t start = 3; start < text.size();) {
        size_t end = text.find('\\', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) {
            std::string prefix = text.substr(0, end);
            if (!SYS_Exists(prefix.c_str())) {
                if (int error = ZYNDISK_CreateDirectory(prefix.c_str()); error != 0) return error;
                if (int error = RecordMadeDirectory(prefix); error != 0) return error;
            }
        }
        start = end + 1;
    }
    return 0;
}

void LOGINST_SetDemoId(int demo_id) { g_demoId = demo_id; }

int LOGINST_GetDemoId() { return g_demoId; }
