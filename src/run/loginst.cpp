// The install run proper and its path helpers.
#include "run/loginst.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "log/logcomn.h"
#include "log/zynlog.h"
#include "run/plist.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/logfile.h"
#include "sections/logini.h"
#include "sys/sys32.h"
#include "sys/zyndisk.h"
#include "ui/dialog.h"
#include "ui/string_ids.h"

namespace {

constexpr char kSource[] = "loginst";
constexpr char kUninsIni[] = "unins.ini";
constexpr int kNameSize = 256;

int g_demoId = -1;

void Check(int code, int line) {
    if (code != 0) ZYNERROR_Fatal(code, kSource, line);
}

std::string ReadVariable(const char* name, int size, int line) {
    std::string value(static_cast<size_t>(size), '\0');
    Check(VAR_Get(name, value.data(), size), line);
    value.resize(std::strlen(value.c_str()));
    return value;
}

void SetVariable(const char* name, const std::string& value, int line) { Check(VAR_Set(name, value.c_str()), line); }

std::string WithoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// The entries that keep a second exclusive demo off this machine, added as recorded INI
// changes so that the uninstaller takes them away again.
void AddExclusiveWinIniEntries(int demo_id) {
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string winIni = WithoutTrailingBackslash(windows) + "\\WIN.INI";
    const std::string demo = ReadVariable("ApplicationName", VAR_MAX_WORK_LENGTH, __LINE__);
    const std::string destination =
        WithoutTrailingBackslash(ReadVariable("DestinationDirectory", VAR_MAX_WORK_LENGTH, __LINE__));
    const char* file = winIni.c_str();
    Check(LOGINI_ChangeEntry(demo_id, "ADD", file, "ZYN INSTALL", "EXCLUSIVE DEMO", demo.c_str(), "", "Y", "Y"),
          __LINE__);
    Check(LOGINI_ChangeEntry(demo_id, "ADD", file, "ZYN INSTALL", "EXCLUSIVE PATH", destination.c_str(), "", "Y", "Y"),
          __LINE__);
}

// The warning about a destination that already holds an installation; true to go on.
bool AcceptEarlierInstall(const std::string& uninsIni) {
    SetVariable("WarningShown", "TRUE", __LINE__);
    int previous = static_cast<int>(GetPrivateProfileIntA("INFO", "DemoID", -1, uninsIni.c_str()));
    char name[VAR_MAX_WORK_LENGTH] = "";
    int answer;
    if (previous == -1 || LOGCOMN_GetDemoName(previous, name, sizeof name) != 0) {
        MSG_SetCaption(IDS_TITLE_FILES_EXIST);
        answer = MSG_Box(IDS_MSG_FILES_EXIST, MB_YESNO | MB_ICONQUESTION, "");
    } else {
        MSG_SetCaption(IDS_TITLE_EARLIER_INSTALL);
        answer = MSG_Box(IDS_MSG_EARLIER_INSTALL, MB_YESNO | MB_ICONQUESTION, name);
    }
    return answer == IDYES;
}

// Directories made before the log was open, recorded now that the demo has its key.
void RecordEarlyDirectories(int demo_id) {
    if (!VAR_Exists(LOGINST_ADDED_DIRECTORIES)) return;
    const std::string list = ReadVariable(LOGINST_ADDED_DIRECTORIES, VAR_MAX_WORK_LENGTH, __LINE__);
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) LOGFILE_RecordFile(demo_id, list.substr(start, end - start).c_str());
        start = end + 1;
    }
    Check(VAR_Delete(LOGINST_ADDED_DIRECTORIES), __LINE__);
}

void WriteUninsIni(const std::string& path, int demo_id, const std::string& log) {
    SYS_HANDLE file = SYS_INVALID_HANDLE;
    Check(SYS_FileOpen(path.c_str(), SYS_OPEN_WRITE | SYS_OPEN_CREATE, 0, &file), __LINE__);
    SYS_FileClose(file);
    LOGFILE_RecordFile(demo_id, path.c_str());
    const std::string id = std::to_string(demo_id);
    if (!WritePrivateProfileStringA("INFO", "DemoID", id.c_str(), path.c_str()) ||
        !WritePrivateProfileStringA("INFO", "LOGFile", log.c_str(), path.c_str())) {
        ZYNERROR_Fatal(ERROR_SYS_FILE_WRITE, kSource, __LINE__);
    }
    // The uninstaller may read it from another process: the profile cache must not hold it.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

// A directory that does not exist yet has no short form; its long form stands in.
void SetShortForm(const char* from, const char* to) {
    const std::string directory = ReadVariable(from, VAR_MAX_WORK_LENGTH, __LINE__);
    char shortPath[VAR_MAX_WORK_LENGTH] = "";
    DWORD length = GetShortPathNameA(directory.c_str(), shortPath, sizeof shortPath);
    SetVariable(to, length > 0 && length < sizeof shortPath ? std::string(shortPath) : directory, __LINE__);
}

// The closing message for the section pass's result, or for a run the user declined
// before anything was installed; then the log is saved and closed.
int CloseRun(int outcome, bool never_started) {
    const std::string name = ReadVariable("ApplicationName", VAR_MAX_WORK_LENGTH, __LINE__);
    int result = outcome;
    if (never_started) {
        MSG_SetCaption(IDS_TITLE_INSTALL_CANCELLED);
        MSG_Box(IDS_MSG_INSTALL_CANCELLED, MB_OK | MB_ICONINFORMATION, name.c_str());
        result = ERROR_INSTALL_NEVER_STARTED;
    } else if (outcome == 0) {
        MSG_SetCaption(IDS_TITLE_INSTALL_DONE);
        MSG_Box(IDS_MSG_INSTALL_DONE, MB_OK | MB_ICONINFORMATION, name.c_str());
    } else if (outcome == 100) {
        MSG_SetCaption(-1);
        MSG_Box(IDS_MSG_INSTALL_CANCELLED, MB_OK | MB_ICONINFORMATION, name.c_str());
    } else if (outcome < 0) {
        ZYNERROR_Fatal(outcome, kSource, __LINE__);
    }
    Check(ZYNLOG_Terminate(), __LINE__);
    return result;
}

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

int LOGINST_Run() {
    std::string log = ReadVariable("LogFile", SYS_MAX_PATH + 1, __LINE__);
    char expanded[SYS_MAX_PATH + 1];
    Check(VAR_Substitute(log.c_str(), expanded, sizeof expanded), __LINE__);
    log = expanded;
    SetVariable("LogFile", log, __LINE__);
    if (size_t slash = log.find_last_of('\\'); slash != std::string::npos) {
        Check(LOGINST_CreateDirectories(log.substr(0, slash).c_str()), __LINE__);
    }
    Check(ZYNLOG_Init(log.c_str(), ZYNLOG_DEFAULT_AUTOSAVE), __LINE__);

    char uninsIni[SYS_MAX_PATH] = "";
    std::strcpy(uninsIni, kUninsIni);
    Check(LOGINST_MakeDestinationPath(uninsIni, sizeof uninsIni), __LINE__);
    if (SYS_Exists(uninsIni) && !AcceptEarlierInstall(uninsIni)) return CloseRun(0, true);

    const std::string name = ReadVariable("ApplicationName", kNameSize, __LINE__);
    int demo_id = -1;
    Check(LOGCOMN_NewDemo(name.c_str(), &demo_id), __LINE__);
    LOGINST_SetDemoId(demo_id);
    RecordEarlyDirectories(demo_id);
    if (VAR_GetFlag("Exclusive")) AddExclusiveWinIniEntries(demo_id);
    Check(LOGINST_CreateDirectories(ReadVariable("DestinationDirectory", VAR_MAX_WORK_LENGTH, __LINE__).c_str()),
          __LINE__);
    WriteUninsIni(uninsIni, demo_id, log);
    // On disk at once, not only at the first periodic save: an install that dies early
    // still leaves a log that names the demo, which the uninstaller can replay.
    Check(ZYNLOG_Save(), __LINE__);
    SetShortForm("SourceDirectory", "ShortSourceDirectory");
    SetShortForm("DestinationDirectory", "ShortDestinationDirectory");
    return CloseRun(PLIST_Run(demo_id, PLIST_INSTALL, 1), false);
}

void LOGINST_SetDemoId(int demo_id) { g_demoId = demo_id; }

int LOGINST_GetDemoId() { return g_demoId; }
