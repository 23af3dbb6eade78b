// The Validate Files section.
#include "sections/logvld.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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
#include "sys/handle.h"
#include "sys/sys32.h"
#include "sys/zyndisk.h"

namespace {

constexpr char kSource[] = "logvld";
constexpr int kColumns = 6;
constexpr uint32_t kAnyFile = 0x87;

// What the walk's step needs of the line being carried out.
struct Line {
    std::string dat;
    bool record = false;
    int demo_id = -1;
} g_line;

void Check(int code, int line) {
    if (code < 0) ZYNERROR_Fatal(code, kSource, line);
}

std::string Complete(const char* path, int size) { return SECTION_DestinationPath(kSource, path, size); }

DWORD DatAttributes(const char* letters, const std::string& dat) {
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (std::strchr(letters, 'C') != nullptr) {
        DWORD current = GetFileAttributesA(dat.c_str());
        if (current != INVALID_FILE_ATTRIBUTES) attributes = current;
    }
    const std::pair<char, DWORD> kLetters[] = {{'R', FILE_ATTRIBUTE_READONLY},
                                               {'A', FILE_ATTRIBUTE_ARCHIVE},
                                               {'H', FILE_ATTRIBUTE_HIDDEN},
                                               {'S', FILE_ATTRIBUTE_SYSTEM}};
    for (auto [letter, bit] : kLetters) {
        if (std::strchr(letters, letter) != nullptr) attributes = (attributes & ~FILE_ATTRIBUTE_NORMAL) | bit;
    }
    return attributes;
}

bool WriteAll(HANDLE file, const void* bytes, DWORD size) {
    DWORD done = 0;
    return WriteFile(file, bytes, size, &done, nullptr) && done == size;
}

int WriteSamples(HANDLE dat, HANDLE input, uint32_t size) {
    for (uint32_t i = 0; i < 4; ++i) {
        const uint32_t offset = LOGVLD_SampleOffset(size, i);
        if (!WriteAll(dat, &offset, sizeof offset)) return ERROR_LOGVLD_ERROR_IN_DAT_WRITE;
        unsigned char sample[LOGVLD_SAMPLE_SIZE] = {};
        DWORD done = 0;
        if (SetFilePointer(input, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
            !ReadFile(input, sample, sizeof sample, &done, nullptr) || done != sizeof sample) {
            return ERROR_LOGVLD_INPUT_READ_FAILED;
        }
        if (!WriteAll(dat, sample, sizeof sample)) return ERROR_LOGVLD_ERROR_IN_DAT_WRITE;
    }
    return 0;
}

int WriteRecordTo(const char* dat, const char* file, int full_path) {
    zyn::Handle out(CreateFileA(dat, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!out) return ERROR_LOGVLD_COULDNT_OPEN_DAT;
    SetFilePointer(out.get(), 0, nullptr, FILE_END);
    zyn::Handle input(
        CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!input) return ERROR_LOGVLD_COULDNT_OPEN_INPUT_FILE;
    char path[LOGVLD_PATH_FIELD] = {};
    if (full_path) {
        std::snprintf(path, sizeof path, "%s", file);
    } else {
        char name[_MAX_FNAME], ext[_MAX_EXT];
        _splitpath(file, nullptr, nullptr, name, ext);
        std::snprintf(path, sizeof path, "%s%s", name, ext);
    }
    const uint32_t size = GetFileSize(input.get(), nullptr);
    if (!WriteAll(out.get(), path, sizeof path) || !WriteAll(out.get(), &size, sizeof size))
        return ERROR_LOGVLD_ERROR_IN_DAT_WRITE;
    // The path and size written so far stay: the demo's check sees where it stopped.
    if (size < LOGVLD_MIN_SIZE) return ERROR_LOGVLD_INPUT_FILE_TOO_SMALL;
    return WriteSamples(out.get(), input.get(), size);
}

int RecordStep(ZYNDISK_WALK* walk) {
    const int result = LOGVLD_WriteRecord(g_line.dat.c_str(), walk->source, 1);
    if (g_line.record) {
        ZYNLOG_KEY demo = nullptr, key = nullptr;
        Check(LOGCOMN_GetDemoKey(&demo), __LINE__);
        Check(ZYNLOG_CreateKey(demo, LOGVLD_KEY, &key), __LINE__);
        const std::string name = g_line.dat + "," + walk->source;
        Check(ZYNLOG_SetValue(key, name.c_str(), std::to_string(g_line.demo_id).c_str()), __LINE__);
    }
    Check(result, __LINE__);
    return 0;
}

}  // namespace

uint32_t LOGVLD_SampleOffset(uint32_t size, uint32_t index) { return ((index * size) >> 2) + (size >> 3); }

int LOGVLD_WriteRecord(const char* dat, const char* file, int full_path) {
    DWORD kept = GetFileAttributesA(dat);
    if (kept == INVALID_FILE_ATTRIBUTES) kept = FILE_ATTRIBUTE_NORMAL;
    SetFileAttributesA(dat, FILE_ATTRIBUTE_NORMAL);
    const int result = WriteRecordTo(dat, file, full_path);
    SetFileAttributesA(dat, kept);
    return result;
}

int LOGVLD_Install(int demo_id, const char* section, int action) {
    SECTION_CheckAction(action, kSource);
    if (action == PLIST_INSTALL) {
        ZYNLOG_KEY demo = nullptr;
        Check(LOGCOMN_GetDemoKey(&demo), __LINE__);
    }
    // Fingerprints never make a demo exclusive: the test pass ends at the first line.
    const bool install = action == PLIST_INSTALL;
    const int result = SECTION_ForEachLine(kSource, section, kColumns, install, [&](SECTION_TOKEN* tokens) {
        if (!install) return 2;
        if (!COMMON_IsTrue(tokens[5])) return 0;
        g_line.dat = Complete(tokens[0], 260);
        const std::string pattern = Complete(tokens[2], 270);
        const DWORD attributes = DatAttributes(tokens[1], g_line.dat);
        g_line.record = COMMON_IsTrue(tokens[4]) != 0;
        g_line.demo_id = demo_id;
        if (!SYS_Exists(g_line.dat.c_str())) LOGFILE_RecordFile(demo_id, g_line.dat.c_str());
        const int walked = ZYNDISK_Walk(RecordStep, pattern.c_str(), kAnyFile, "", 0,
                                        COMMON_IsTrue(tokens[3]) ? ZYNDISK_RECURSE : 0, 0);
        SetFileAttributesA(g_line.dat.c_str(), attributes);
        Check(walked, __LINE__);
        return 0;
    });
    return result == 2 ? 0 : result;
}

int LOGVLD_Uninstall(ZYNLOG_KEY key, int) {
    SECTION_ForEachValueBackwards(kSource, key, [key](const char* name, char*) {
        Check(ZYNLOG_DeleteValue(key, name), __LINE__);
        LOGUNINS_Progress(1);
    });
    return 0;
}
