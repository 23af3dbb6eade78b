// The Files sections and the file record of the change log.
#include "sections/logfile.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "log/logcomn.h"
#include "run/helper.h"
#include "run/loginst.h"
#include "run/logunins.h"
#include "run/plist.h"
#include "script/common.h"
#include "script/inf.h"
#include "script/var.h"
#include "script/zynerror.h"
#include "sections/nextdisk.h"
#include "sys/sys32.h"
#include "sys/zyndisk.h"
#include "ui/dialog.h"
#include "ui/status.h"
#include "ui/string_ids.h"

namespace {

constexpr char kSource[] = "logfile";
constexpr int kPathSize = 260;
constexpr uint32_t kDeleteMask = 0x87;

enum Column {
    kSourceDescription,
    kSourceFile,
    kDestDescription,
    kDestFile,
    kAttributes,
    kDiskette,
    kAppend,
    kCompressed,
    kSize,
    kWarn,
    kRecurse,
    kUninstall,
    kInstall,
};

int FindSource(int disk, char* source, int size, bool recurse);

// The demo whose copies the created-file hook records.
int g_demoId = -1;

[[noreturn]] void Fatal(int code, int line) { ZYNERROR_Fatal(code, kSource, line); }

void Check(int code, int line) {
    if (code < 0) Fatal(code, line);
}

// One script line of a Files section, every token expanded.
struct Line {
    char tokens[LOGFILE_COLUMNS][LOGFILE_TOKEN_SIZE];
    const char* operator[](int column) const { return tokens[column]; }
};

// 0 with a line, 1 at the end of the section; a reader failure is fatal.
int ReadLine(Line& line, int columns) {
    int result = INF_ReadTokens(&line.tokens[0][0], columns, LOGFILE_TOKEN_SIZE);
    if (result == 1) return 1;
    if (result != 0) Fatal(result, __LINE__);
    for (int i = 0; i < columns; ++i) {
        Check(VAR_Substitute(line.tokens[i], line.tokens[i], LOGFILE_TOKEN_SIZE), __LINE__);
    }
    return 0;
}

void FindSection(const char* section) {
    char name[LOGFILE_TOKEN_SIZE];
    std::snprintf(name, sizeof name, "%s", section != nullptr ? section : "");
    Check(INF_FindSection(name), __LINE__);
}

std::string ReadDestinationDirectory() {
    char destination[VAR_MAX_WORK_LENGTH];
    Check(VAR_Get("DestinationDirectory", destination, sizeof destination), __LINE__);
    return destination;
}

// Creating a key that exists counts as a change of the log and so brings the next
// autosave nearer; a record per copied file would otherwise save the log twice as often.
int OpenOrCreateKey(ZYNLOG_KEY parent, const char* name, ZYNLOG_KEY* key) {
    int result = ZYNLOG_OpenKey(parent, name, key);
    return result == ERROR_ZYNLOG_SUB_KEY_NOT_FOUND ? ZYNLOG_CreateKey(parent, name, key) : result;
}

bool Inside(const char* path, const std::string& destination) {
    return COMMON_FindNoCase(path, destination.c_str()) != nullptr;
}

std::vector<char> AbsoluteDestination(const char* token) {
    std::vector<char> target(LOGFILE_DESTINATION_SIZE);
    std::snprintf(target.data(), target.size(), "%s", token);
    Check(LOGINST_MakeDestinationPath(target.data(), static_cast<int>(target.size())), __LINE__);
    return target;
}

uint32_t AttributesOf(const char* letters) {
    uint32_t attributes = SYS_ATTR_NORMAL;
    for (const char* c = letters; *c != '\0'; ++c) {
        if (*c == 'C') attributes = (attributes & ~SYS_ATTR_NORMAL) | ZYNDISK_ATTR_FROM_SOURCE;
    }
    for (const char* c = letters; *c != '\0'; ++c) {
        switch (*c) {
        case 'R': attributes |= SYS_ATTR_READONLY; break;
        case 'A': attributes |= SYS_ATTR_ARCHIVE; break;
        case 'H': attributes |= SYS_ATTR_HIDDEN; break;
        case 'S': attributes |= SYS_ATTR_SYSTEM; break;
        default: break;
        }
    }
    return attributes;
}

uint32_t FlagsOf(const Line& line) {
    uint32_t flags = 0;
    if (COMMON_IsTrue(line[kRecurse])) flags |= ZYNDISK_RECURSE;
    if (COMMON_IsTrue(line[kAppend])) flags |= ZYNDISK_APPEND;
    if (COMMON_IsTrue(line[kCompressed])) flags |= ZYNDISK_COMPRESSED;
    if (COMMON_IsTrue(line[kUninstall])) flags |= ZYNDISK_REPORT_CREATED;
    switch (line[kWarn][0]) {
    case '0': flags |= ZYNDISK_ASK_OVERWRITE; break;
    case '2': flags |= ZYNDISK_IF_NOT_NEWER; break;
    case '4': flags |= ZYNDISK_NEVER_OVERWRITE; break;
    default: break;  // "1" and "3" overwrite without asking
    }
    return flags;
}

// Asked before an existing file is replaced under Warn "0": once per install.
int AskOverwrite(const char* destination) {
    if (VAR_Exists("WarningShown")) return 0;
    if (!SYS_Exists(destination)) return 0;
    Check(VAR_Set("WarningShown", "TRUE"), __LINE__);
    STATUS_Refresh();  // the question stands beside the name of the file it is about
    MSG_SetCaption(IDS_TITLE_FILES_EXIST);
    return MSG_Box(IDS_MSG_FILES_EXIST, MB_YESNO | MB_ICONQUESTION, "") == IDNO ? 1 : 0;
}

void RecordCreated(const char* path) { LOGFILE_RecordFile(g_demoId, path); }

int ExclusivityTest(const char* section) {
    std::string destination = ReadDestinationDirectory();
    FindSection(section);
    Line line;
    while (ReadLine(line, LOGFILE_COLUMNS) == 0) {
        if (!COMMON_IsTrue(line[kInstall])) continue;
        if (!Inside(AbsoluteDestination(line[kDestFile]).data(), destination)) return ERROR_PLIST_EXCLUSIVE;
    }
    return 0;
}

int CopySection() {
    Line line;
    for (;;) {
        if (ReadLine(line, LOGFILE_COLUMNS) == 1) return 0;
        if (!COMMON_IsTrue(line[kInstall])) continue;
        char source[kPathSize];
        std::snprintf(source, sizeof source, "%s", line[kSourceFile]);
        Check(LOGINST_MakeSourcePath(source, sizeof source), __LINE__);
        std::vector<char> target = AbsoluteDestination(line[kDestFile]);
        int found = FindSource(std::atoi(line[kDiskette]), source, sizeof source, COMMON_IsTrue(line[kRecurse]));
        if (found == 100) return 100;
        Check(found, __LINE__);
        STATUS_SetDescriptions(line[kSourceDescription], line[kDestDescription]);
        int result = ZYNDISK_Copy(source, LOGFILE_SEARCH_MASK, target.data(), AttributesOf(line[kAttributes]),
                                  FlagsOf(line), 0);
        if (result == 100) return 100;
        if (result < 0) STATUS_Refresh();  // the error report stands beside the file that failed
        Check(result, __LINE__);
    }
}

// Adds what one section's lines will copy and checks the room for everything so far.
int SizePass(const char* section, const std::string& destination) {
    FindSection(section);
    char calculate[VAR_MAX_WORK_LENGTH] = "";
    const bool given_sizes =
        VAR_Get("CalculateSize", calculate, sizeof calculate) == 0 && lstrcmpiA(calculate, "FALSE") == 0;
    Line line;
    while (ReadLine(line, LOGFILE_COLUMNS) == 0) {
        if (!COMMON_IsTrue(line[kInstall])) continue;
        char source[kPathSize];
        std::snprintf(source, sizeof source, "%s", line[kSourceFile]);
        Check(LOGINST_MakeSourcePath(source, sizeof source), __LINE__);
        int result = given_sizes ? ZYNDISK_AddSize(source, LOGFILE_SEARCH_MASK, ZYNDISK_GIVEN_SIZE,
                                                   static_cast<uint32_t>(std::strtoul(line[kSize], nullptr, 10)))
                                 : ZYNDISK_AddSize(source, LOGFILE_SEARCH_MASK,
                                                   COMMON_IsTrue(line[kRecurse]) ? ZYNDISK_RECURSE : 0, 0);
        if (result != 0 && result != ERROR_ZYNDISK_FILE_NOT_FOUND) return result;
    }
    uint32_t allocated = 0;
    ZYNDISK_GetTotalAllocated(&allocated);
    // Read wider than a long: today's drives and reserves pass 2 GB easily.
    char extra[VAR_MAX_WORK_LENGTH];
    long long reserve = VAR_Get("ExtraSpace", extra, sizeof extra) == 0 ? std::strtoll(extra, nullptr, 10) : 0;
    double needed = static_cast<double>(allocated) + static_cast<double>(reserve);
    double free_bytes = 0;
    if (ZYNDISK_GetFreeSpace(destination.c_str(), &free_bytes) != 0) free_bytes = 0;
    return free_bytes > needed ? 0 : ERROR_ZYNDISK_NO_DISKSPACE;
}

bool CleanDirectories() { return VAR_Exists("UninstallCleanDirs") && VAR_GetFlag("UninstallCleanDirs"); }

// The helper beside the running uninstaller stays: it is started at the end and
// removes itself.
bool IsOwnHelper(const char* path) {
    char folder[VAR_MAX_WORK_LENGTH];
    if (VAR_Get("UninstallDirectory", folder, sizeof folder) != 0) return false;
    std::string own_helper = std::string(folder) + "\\" + HELPER_EXE_NAME;
    return lstrcmpiA(own_helper.c_str(), path) == 0;
}

// Deletes one entry of a directory being emptied; what cannot go now goes later.
int CleanStep(ZYNDISK_WALK* record) {
    if (IsOwnHelper(record->source)) return 0;
    uint32_t attributes = 0;
    bool directory = SYS_GetAttributes(record->source, &attributes) == 0 && (attributes & SYS_ATTR_DIRECTORY);
    int result = directory ? SYS_RemoveDirectory(record->source) : SYS_DeleteFile(record->source);
    if (result != 0) HELPER_AddFile(record->source);
    return 0;
}

void RemoveRecordedPath(const char* path) {
    if (IsOwnHelper(path)) return;
    uint32_t attributes = 0;
    bool directory = SYS_GetAttributes(path, &attributes) == 0 && (attributes & SYS_ATTR_DIRECTORY);
    int result = 0;
    if (!directory) {
        result = ZYNDISK_Delete(path, kDeleteMask, 0, 0);
    } else if (!CleanDirectories()) {
        result = ZYNDISK_DeleteTree(path, kDeleteMask, 0, 0);
    } else {
        std::string pattern = std::string(path) + "\\*.*";
        ZYNDISK_Walk(CleanStep, pattern.c_str(), kDeleteMask, "", 0, ZYNDISK_RECURSE | ZYNDISK_DIRECTORIES, 0);
        // The walk hands over what is inside; the emptied directory itself goes here.
        result = SYS_RemoveDirectory(path);
    }
    if (result != 0) HELPER_AddFile(path);
}

// A match for the source pattern: with the copy's own mask, so that hidden and system
// sources count, and with folders, so that a tree whose files all lie in sub-folders
// counts too. The dot entries say nothing about the diskette.
bool SourcePresent(const char* source) {
    SYS_FINDINFO entry;
    for (int r = SYS_FindFirst(source, LOGFILE_SEARCH_MASK | SYS_ATTR_DIRECTORY, &entry); r == 0;
         r = SYS_FindNext(&entry)) {
        if (std::strcmp(entry.name, ".") != 0 && std::strcmp(entry.name, "..") != 0) {
            SYS_FindClose();
            return true;
        }
    }
    return false;
}

int StopAtFirst(ZYNDISK_WALK*) { return 1; }

// A recursive line has its source when the walk would find anything in the tree.
bool TreePresent(const char* source) {
    return ZYNDISK_Walk(StopAtFirst, source, LOGFILE_SEARCH_MASK, "", 0, ZYNDISK_RECURSE, 0) == 1;
}

int FindSource(int disk, char* source, int size, bool recurse) {
    if (source == nullptr) return ERROR_LOGFILES_BUFFER_TOO_SMALL;
    for (;;) {
        if (recurse ? TreePresent(source) : SourcePresent(source)) return 0;
        if (NEXTDISK_Prompt(NEXTDISK_GetDiskName(disk).c_str(), source) == 2) return 100;
        char folder[VAR_MAX_WORK_LENGTH];
        Check(VAR_Get("SourceDirectory", folder, sizeof folder), __LINE__);
        std::string moved = folder;
        if (moved.empty() || moved.back() != '\\') moved.push_back('\\');
        moved += ZYNDISK_SplitPattern(source).file;
        if (size < 0 || moved.size() >= static_cast<size_t>(size)) return ERROR_LOGFILES_BUFFER_TOO_SMALL;
        std::memcpy(source, moved.c_str(), moved.size() + 1);
    }
}

}  // namespace

int LOGFILE_Install(int demo_id, const char* section, int action) {
    if (action == PLIST_EXCLUSIVE_TEST) return ExclusivityTest(section);
    if (action != PLIST_INSTALL) Fatal(ERROR_PLIST_UNKNOWN_ACTION, __LINE__);
    ReadDestinationDirectory();
    ZYNLOG_KEY demo_key = nullptr;
    Check(LOGCOMN_GetDemoKey(&demo_key), __LINE__);
    g_demoId = demo_id;
    Check(NEXTDISK_LoadDiskNames(), __LINE__);
    Check(STATUS_Init(STATUS_INSTALL), __LINE__);
    ZYNDISK_SetOverwriteHook(AskOverwrite);
    ZYNDISK_SetCreatedHook(RecordCreated);
    FindSection(section);
    int result = CopySection();
    STATUS_Terminate();
    return result;
}

int LOGFILE_RecordFile(int demo_id, const char* path) {
    if (path == nullptr) return 0;
    const std::string id = std::to_string(demo_id);
    ZYNLOG_KEY files = nullptr;
    if (Inside(path, ReadDestinationDirectory())) {
        ZYNLOG_KEY demo_key = nullptr;
        Check(LOGCOMN_GetDemoKey(&demo_key), __LINE__);
        Check(OpenOrCreateKey(demo_key, LOGFILE_KEY, &files), __LINE__);
        Check(ZYNLOG_SetValue(files, path, id.c_str()), __LINE__);
        return 0;
    }
    ZYNLOG_KEY common = nullptr;
    Check(OpenOrCreateKey(ZYNLOG_ROOT_KEY, LOGCOMN_COMMON_KEY, &common), __LINE__);
    Check(OpenOrCreateKey(common, LOGFILE_KEY, &files), __LINE__);
    int longest = 0;
    Check(ZYNLOG_QueryKeyInfo(files, nullptr, nullptr, nullptr, nullptr, &longest), __LINE__);
    std::vector<char> owners(static_cast<size_t>(longest) + 1);
    int read = ZYNLOG_GetValue(files, path, owners.data(), static_cast<int>(owners.size()));
    std::string data = id;
    if (read == 0) {
        data = std::string(owners.data()) + ", " + id;
    } else if (read != ERROR_ZYNLOG_VALUE_NOT_FOUND) {
        Fatal(read, __LINE__);
    }
    Check(ZYNLOG_SetValue(files, path, data.c_str()), __LINE__);
    return 0;
}

int LOGFILE_CheckDiskSpace() {
    INF_SetEventLines(false);
    HWND wait = nullptr;
    if (VAR_Exists("ShowPleaseWait") && VAR_GetFlag("ShowPleaseWait")) {
        MSG_SetCaption(IDS_TITLE_CHECKING_SPACE);
        wait = STATUS_ShowWait(IDS_MSG_CHECKING_SPACE);
    }
    std::string destination = ReadDestinationDirectory();
    int result = ZYNDISK_BeginSize(destination.c_str());
    char section[PLIST_NAME_SIZE];
    for (int i = 0; result == 0 && PLIST_GetNameByHandler(i, LOGFILE_Install, section, sizeof section) == 0; ++i) {
        result = SizePass(section, destination);
    }
    STATUS_CloseWait(wait);
    if (result != 0) {
        MSG_SetCaption(IDS_TITLE_NO_DISK_SPACE);
        MSG_Box(IDS_MSG_NO_DISK_SPACE, MB_OK | MB_ICONEXCLAMATION, destination.c_str());
        return result;
    }
    INF_SetEventLines(true);
    return 0;
}

int LOGFILE_Uninstall(ZYNLOG_KEY key, int demo_id) {
    const std::string id = std::to_string(demo_id);
    int values = 0, longest_name = 0, longest_data = 0;
    Check(ZYNLOG_QueryKeyInfo(key, nullptr, nullptr, &values, &longest_name, &longest_data), __LINE__);
    std::vector<char> name(static_cast<size_t>(longest_name) + 1), data(static_cast<size_t>(longest_data) + 1);
    // Last first: files recorded after their directory go before it.
    for (int i = values - 1; i >= 0; --i) {
        Check(ZYNLOG_EnumValue(key, i, name.data(), static_cast<int>(name.size()), data.data(),
                               static_cast<int>(data.size())),
              __LINE__);
        bool sole_owner = lstrcmpiA(data.data(), id.c_str()) == 0;
        if (!sole_owner) {
            LOGCOMN_RemoveDemoFromList(demo_id, data.data());
            // A list emptied here had only this demo in it, however often.
            sole_owner = data[0] == '\0';
        }
        if (sole_owner) {
            RemoveRecordedPath(name.data());
            Check(ZYNLOG_DeleteValue(key, name.data()), __LINE__);
        } else {
            Check(ZYNLOG_SetValue(key, name.data(), data.data()), __LINE__);
        }
        LOGUNINS_Progress(1);
    }
    return 0;
}

int LOGFILE_FindSource(int disk, char* source, int size) { return FindSource(disk, source, size, false); }
